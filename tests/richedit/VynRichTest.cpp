#include "richedit/VynRich.h"
#include "common/VynUtils.h"
#include "tests/dbctrls/DbFormFixture.h"

#include <QKeyEvent>
#include <QTest>
#include <QTextEdit>

using namespace vyn;
using namespace vyn::test;

namespace {

class VynRichTest : public DBCtrlsTest
{
protected:
    void SetUp() override
    {
        DBCtrlsTest::SetUp();
        SetRich(QByteArray("{\\rtf1\\ansi Hello \\b world\\b0\\par}"));
        edit = new TVynDBRichEdit(form);
        edit->SetParent(form);
        edit->SetBounds(8, 8, 300, 120);
        edit->SetDataSource(source);
        edit->SetDataField(QStringLiteral("Rich"));
        edit->OnKeyPress = [this](TObject*, QChar&) { statesAtKeyPress.push_back(table->State()); };
        table->BeforeEdit = [this](TDataSet*) { savedAtEdit << TDBRichEditAccess::DataSave(edit); };
    }
    void SetRich(const QByteArray& rtf)
    {
        table->Edit();
        table->FieldByName(QStringLiteral("Rich"))->SetAsVariant(Variant(rtf));
        table->Post();
    }

    TVynDBRichEdit* edit = nullptr;
    std::vector<TDataSetState> statesAtKeyPress;
    QStringList savedAtEdit;
};

} // namespace

TEST_F(VynRichTest, PublishesSearchGlobalAndRecordName)
{
    EXPECT_FALSE(edit->SearchGlobal());
    EXPECT_EQ(GetStringProperty(edit, QStringLiteral("RecordName")), QString());
    SetOrdProp(edit, QStringLiteral("SearchGlobal"), 1);
    SetStrProp(edit, QStringLiteral("RecordName"), QStringLiteral("person"));
    EXPECT_TRUE(edit->SearchGlobal());
    EXPECT_EQ(GetStringProperty(edit, QStringLiteral("RecordName")), QStringLiteral("person"));
}

TEST_F(VynRichTest, WhichKeysStartTheEditAndWhen)
{
    Show();
    edit->SetFocus();
    struct Case
    {
        const char* what;
        std::function<void()> press;
        TDataSetState atKeyPress; // the state the control's OnKeyPress sees
        TDataSetState after;
    } cases[] = {
        {"a letter", [&] { QTest::keyClicks(edit->Editor(), "a"); }, dsEdit, dsEdit},
        {"Backspace", [&] { QTest::keyClick(edit->Editor(), Qt::Key_Backspace); }, dsBrowse,
         dsEdit},
        {"Enter", [&] { QTest::keyClick(edit->Editor(), Qt::Key_Return); }, dsBrowse, dsEdit},
        {"Ctrl+X", [&] { QTest::keyClick(edit->Editor(), Qt::Key_X, Qt::ControlModifier); },
         dsBrowse, dsEdit},
        {"a letter beyond Latin-1",
         [&] {
             QKeyEvent e(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x0416)));
             QCoreApplication::sendEvent(edit->Editor(), &e);
         },
         dsEdit, dsEdit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        statesAtKeyPress.clear();
        savedAtEdit.clear();
        c.press();
        ASSERT_EQ(statesAtKeyPress.size(), 1u);
        EXPECT_EQ(statesAtKeyPress[0], c.atKeyPress);
        EXPECT_EQ(table->State(), c.after);
        // While editing already, nothing more happens for the next key.
        savedAtEdit.clear();
        QTest::keyClicks(edit->Editor(), "b");
        EXPECT_TRUE(savedAtEdit.isEmpty());
        EXPECT_TRUE(TDBRichEditAccess::DataSave(edit).isEmpty());
        table->Cancel();
    }
}

TEST_F(VynRichTest, AFieldThatRefusesTheCharacterGetsNoEdit)
{
    edit->SetDataField(QStringLiteral("Age"));
    Show();
    edit->SetFocus();
    const QString before = edit->Text();
    QTest::keyClicks(edit->Editor(), "x");
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(edit->Text(), before);
    QTest::keyClicks(edit->Editor(), "7");
    EXPECT_EQ(table->State(), dsEdit);
    ASSERT_EQ(savedAtEdit.size(), 1);
    EXPECT_EQ(savedAtEdit[0], QStringLiteral("{}")); // not a blob
}

TEST_F(VynRichTest, TheSavedTextDecidesWhetherTheEditorIsReloaded)
{
    Show();
    // The field holds exactly "{}": entering edit mode leaves the editor as it is.
    SetRich(QByteArray("{}"));
    edit->SetText(QStringLiteral("typed but not stored"));
    BeginEditing(edit);
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(edit->Text(), QStringLiteral("typed but not stored"));
    EXPECT_TRUE(TDBRichEditAccess::DataSave(edit).isEmpty());
    table->Cancel();

    // An empty field never equals "{}": the editor is loaded again from it.
    SetRich(QByteArray());
    edit->SetText(QStringLiteral("stale"));
    savedAtEdit.clear();
    BeginEditing(edit);
    ASSERT_EQ(savedAtEdit.size(), 1);
    EXPECT_EQ(savedAtEdit[0], QStringLiteral("{}"));
    EXPECT_EQ(edit->Text(), QString());
    table->Cancel();
}

TEST_F(VynRichTest, AMemoNotLoadedTakesNoEditUntilEnterLoadsIt)
{
    edit->SetAutoDisplay(false);
    table->Refresh();
    Show();
    edit->SetFocus();
    QTest::keyClicks(edit->Editor(), "a");
    EXPECT_EQ(table->State(), dsBrowse);
    QTest::keyClick(edit->Editor(), Qt::Key_Return);
    EXPECT_EQ(edit->Text(), QStringLiteral("Hello world"));
    EXPECT_EQ(table->State(), dsBrowse);
    QTest::keyClicks(edit->Editor(), "a");
    EXPECT_EQ(table->State(), dsEdit);
}
