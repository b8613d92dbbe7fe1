#include "demo/RichEdit.h"
#include "demo/fRich.h"
#include "platform/core/TypInfo.h"
#include "platform/core/Unit.h"
#include "platform/richtext/Rtf.h"
#include "platform/ui/Application.h"
#include "platform/ui/Desktop.h"
#include "platform/ui/Modal.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace vyn;
using namespace vyn::test;

namespace {

// The program started in process, from a copy of its folder, with its own alias file.
class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VYN_ALIAS_FILE", dir.File(QStringLiteral("aliases.ini")).toUtf8());
        QDir().mkpath(programDir());
        SetProgramPath(QDir(programDir()).filePath(QStringLiteral("RichEdit")));
        SetLockTimeoutMs(200);
        launched.clear();
        previousLauncher = SetDesktopLauncher([this](const QString& address, const QString&) {
            launched << address;
            return true;
        });
        app = std::make_unique<TApplication>();
    }
    void TearDown() override
    {
        app.reset();
        TSessionRef::Free();
        SetDesktopLauncher(previousLauncher);
        SetProgramPath(QString());
        qunsetenv("VYN_ALIAS_FILE");
    }
    QString programDir() const { return dir.File(QStringLiteral("program")); }
    void CopyTable()
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(VYN_DEMO_DIR "/People.DB"),
                                QDir(programDir()).filePath(QStringLiteral("People.DB"))));
    }
    TForm1* Start()
    {
        TForm1* form = StartRichEdit();
        form->Show();
        form->Widget()->activateWindow();
        QCoreApplication::processEvents();
        return form;
    }
    static QString FirstPlainText()
    {
        TTable t(nullptr);
        t.SetDatabaseName(QStringLiteral(VYN_DEMO_DIR));
        t.SetTableName(QStringLiteral("People.DB"));
        t.Open();
        return RtfPlainText(t.FieldByName(QStringLiteral("Rich"))->AsBytes());
    }

    TempDir dir;
    std::unique_ptr<TApplication> app;
    QStringList launched;
    TDesktopLauncher previousLauncher;
};

} // namespace

TEST_F(StartupTest, StartsOnTheFirstRecordWithTheEditorGridAndNavigator)
{
    CopyTable();
    TScriptedModalDriver noBoxes;
    TForm1* form = Start();
    EXPECT_TRUE(noBoxes.Shown().isEmpty());

    // The alias: for the program's folder, in the session only; all three modes afterwards.
    ASSERT_TRUE(Session->IsAlias(QStringLiteral("VynExample")));
    TStringList params;
    Session->GetAliasParams(QStringLiteral("VynExample"), &params);
    EXPECT_EQ(params.Strings(0), QStringLiteral("PATH=") + programDir() + QLatin1Char('/'));
    EXPECT_EQ(GetOrdProp(Session, QStringLiteral("ConfigMode")), 7);
    EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("aliases.ini"))));

    ASSERT_TRUE(form->Table1->Active());
    EXPECT_EQ(form->Table1->RecNo(), 1);
    EXPECT_EQ(form->VynDBRichEdit1->Text(), FirstPlainText());
    EXPECT_TRUE(form->VynDBRichEdit1->SearchGlobal());
    EXPECT_EQ(form->DBGrid1->ColumnCount(), 2); // Id and Name; Rich is not visible
    EXPECT_EQ(form->DBGrid1->Columns(1)->FieldName(), QStringLiteral("Name"));
    EXPECT_TRUE(form->DBGrid1->ReadOnly());
    EXPECT_EQ(form->Label2->Caption().split(QStringLiteral("\r\n")).size(), 8);

    // The navigator moves; the editor follows.
    form->DBNavigator1->Button(nbNext)->click();
    EXPECT_EQ(form->Table1->RecNo(), 2);
    EXPECT_TRUE(form->VynDBRichEdit1->Text().startsWith(form->Table1Name->AsString()));

    // Typing: the record is being edited before the control's OnKeyPress; a post stores RTF.
    TDataSetState atKeyPress = dsInactive;
    form->VynDBRichEdit1->OnKeyPress = [&](TObject*, QChar&) {
        atKeyPress = form->Table1->State();
    };
    form->VynDBRichEdit1->SetFocus();
    form->VynDBRichEdit1->SetSelStart(0);
    QTest::keyClicks(form->VynDBRichEdit1->Editor(), "X");
    EXPECT_EQ(atKeyPress, dsEdit);
    form->DBNavigator1->Button(nbPost)->click();
    const QByteArray stored = form->Table1Rich->AsBytes();
    EXPECT_TRUE(stored.startsWith("{\\rtf"));
    EXPECT_TRUE(RtfPlainText(stored).startsWith(QStringLiteral("X")));

    // Activating the main form again leaves the table alone (the form's Tag is 0).
    int refreshes = 0;
    form->Table1->AfterScroll = [&](TDataSet*) { ++refreshes; };
    Screen->OnActiveFormChange(Screen);
    EXPECT_EQ(refreshes, 0);

    // The address labels.
    ClickControl(form->LabelMail);
    ClickControl(form->LabelHomePage);
    form->LabelMail->SetCaption(QStringLiteral("someone@else.example"));
    ClickControl(form->LabelMail);
    EXPECT_EQ(launched, (QStringList{"mailto:info@vyn.example", "https://vyn.example/",
                                     "mailto:someone@else.example"}));

    // The main form, as the user sees it.
    form->Table1->First();
    QCoreApplication::processEvents();
    const QImage image = form->Widget()->grab().toImage();
    ASSERT_TRUE(image.save(
        QDir(QStringLiteral(VYN_DEMO_TEST_OUTPUT_DIR)).filePath(QStringLiteral("MainForm.png"))));
}

TEST_F(StartupTest, WithoutPeopleDbTheFormOpensQuietlyWithTheTableClosed)
{
    TScriptedModalDriver noBoxes;
    TForm1* form = Start();
    EXPECT_TRUE(noBoxes.Shown().isEmpty());
    EXPECT_FALSE(form->Table1->Active());
    EXPECT_EQ(form->DBGrid1->RowCount(), 0);
    EXPECT_EQ(form->VynDBRichEdit1->Text(), QString());
    for (int i = 0; i <= int(nbRefresh); ++i)
        EXPECT_FALSE(form->DBNavigator1->Button(TNavigateBtn(i))->isEnabled());
}

TEST_F(StartupTest, AnAliasInThePersistentConfigurationIsUsedUnchanged)
{
    // The alias points at another folder that holds the table; the program's own has none.
    const QString elsewhere = dir.File(QStringLiteral("elsewhere"));
    QDir().mkpath(elsewhere);
    ASSERT_TRUE(QFile::copy(QStringLiteral(VYN_DEMO_DIR "/People.DB"),
                            QDir(elsewhere).filePath(QStringLiteral("People.DB"))));
    Session->AddStandardAlias(QStringLiteral("VynExample"), elsewhere, QStringLiteral("PARADOX"));
    TSessionRef::Free();
    Session->SetConfigMode({cfmPersistent}); // must stay as it is
    TForm1* form = Start();
    EXPECT_EQ(GetOrdProp(Session, QStringLiteral("ConfigMode")), 2);
    EXPECT_TRUE(form->Table1->Active());
    TStringList params;
    Session->GetAliasParams(QStringLiteral("VynExample"), &params);
    EXPECT_EQ(params.Strings(0), QStringLiteral("PATH=") + elsewhere);
}
