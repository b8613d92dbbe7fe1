#include "platform/dbctrls/DBRichEdit.h"
#include "platform/richtext/Rtf.h"
#include "tests/dbctrls/DbFormFixture.h"

#include <QTest>
#include <QTextEdit>

using namespace vyn;
using namespace vyn::test;

namespace {

// Opens the protected state for the checks.
class TProbeRichEdit : public TDBRichEdit
{
public:
    using TDBRichEdit::BeginEditing;
    using TDBRichEdit::DataSave;
    using TDBRichEdit::MemoLoaded;
    using TDBRichEdit::TDBRichEdit;
};

class DBRichEditTest : public DBCtrlsTest
{
protected:
    void SetUp() override
    {
        DBCtrlsTest::SetUp();
        // Rich text in the first two records; the third holds plain text.
        table->Edit();
        table->FieldByName(QStringLiteral("Rich"))
            ->SetAsVariant(Variant(QByteArray("{\\rtf1\\ansi Hello \\b world\\b0\\par}")));
        table->Post();
        table->Next();
        table->Edit();
        table->FieldByName(QStringLiteral("Rich"))
            ->SetAsVariant(Variant(QByteArray("{\\rtf1\\ansi Second\\par}")));
        table->Post();
        table->Next();
        table->Edit();
        table->FieldByName(QStringLiteral("Rich"))->SetAsString(QStringLiteral("just text"));
        table->Post();
        table->First();
        edit = new TProbeRichEdit(form);
        edit->SetParent(form);
        edit->SetBounds(8, 8, 300, 120);
        edit->SetDataSource(source);
        edit->SetDataField(QStringLiteral("Rich"));
    }
    TProbeRichEdit* edit = nullptr;
};

} // namespace

TEST_F(DBRichEditTest, TypingEditsAndPostingStoresRtfWithTheFormatting)
{
    Show();
    EXPECT_EQ(edit->Text(), QStringLiteral("Hello world"));
    EXPECT_EQ(GetObjectProp(edit, QStringLiteral("DataSource")), source);
    edit->SetFocus();
    edit->SetSelStart(0);
    QTest::keyClicks(edit->Editor(), "Oh ");
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(edit->Text(), QStringLiteral("Oh Hello world"));
    table->Post();
    const QByteArray stored = table->FieldByName(QStringLiteral("Rich"))->AsBytes();
    EXPECT_TRUE(stored.startsWith("{\\rtf"));
    EXPECT_EQ(RtfPlainText(stored), QStringLiteral("Oh Hello world"));
    EXPECT_TRUE(stored.contains("\\b")); // the bold word kept its formatting

    table->Next();
    EXPECT_EQ(edit->Text(), QStringLiteral("Second")); // moving reloads at once
    table->Next();
    EXPECT_EQ(edit->Text(), QStringLiteral("just text")); // not RTF: shown as text
    EXPECT_EQ(table->FieldByName(QStringLiteral("Rich"))->AsString(), QStringLiteral("just text"));
}

TEST_F(DBRichEditTest, EscapeRestoresAndRefusedStatesDropKeys)
{
    Show();
    edit->SetFocus();
    QTest::keyClicks(edit->Editor(), "xyz");
    EXPECT_NE(edit->Text(), QStringLiteral("Hello world"));
    QTest::keyClick(edit->Editor(), Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), QStringLiteral("Hello world"));
    table->Cancel();

    // A read-only link never starts an edit; the editor stays as it is.
    edit->SetReadOnly(true);
    QTest::keyClicks(edit->Editor(), "abc");
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(edit->Text(), QStringLiteral("Hello world"));
}

TEST_F(DBRichEditTest, AnUnchangedFieldKeepsCaretSelectionAndFormattingWhenTheEditStarts)
{
    Show();
    edit->SetSelStart(6);
    edit->SetSelLength(5);
    edit->SelAttributes()->SetColor(clRed); // not yet in the field
    edit->BeginEditing();
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_TRUE(edit->DataSave().isEmpty());
    EXPECT_EQ(edit->SelStart(), 6);
    EXPECT_EQ(edit->SelLength(), 5);
    EXPECT_EQ(edit->SelAttributes()->Color(), clRed);
    table->Cancel();

    // A field that changed meanwhile is loaded again.
    auto other = OpenTable();
    other->Edit();
    other->FieldByName(QStringLiteral("Rich"))
        ->SetAsVariant(Variant(QByteArray("{\\rtf1 Changed\\par}")));
    other->Post();
    edit->BeginEditing();
    EXPECT_EQ(edit->Text(), QStringLiteral("Changed"));
    table->Cancel();
}

TEST_F(DBRichEditTest, WithoutAutoDisplayTheLabelShowsUntilEnterLoadsTheMemo)
{
    edit->SetAutoDisplay(false);
    table->Next();
    table->Prior();
    Show();
    EXPECT_FALSE(edit->MemoLoaded());
    EXPECT_EQ(edit->Text(), QStringLiteral("(Rich)"));
    edit->SetFocus();
    QTest::keyClicks(edit->Editor(), "abc");
    EXPECT_EQ(edit->Text(), QStringLiteral("(Rich)"));
    EXPECT_EQ(table->State(), dsBrowse);
    QTest::keyClick(edit->Editor(), Qt::Key_Return);
    EXPECT_TRUE(edit->MemoLoaded());
    EXPECT_EQ(edit->Text(), QStringLiteral("Hello world"));
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(DBRichEditTest, PasteStartsTheEditAndFormattingAloneMarksTheRecord)
{
    Show();
    edit->SetSelStart(0);
    edit->SetSelLength(5);
    edit->CopyToClipboard();
    edit->SetSelStart(11);
    edit->SetSelLength(0);
    edit->PasteFromClipboard();
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(edit->Text(), QStringLiteral("Hello worldHello"));
    table->Cancel();

    // Formatting alone: the editor is marked modified and the post stores the change.
    edit->BeginEditing();
    edit->SelectAll();
    edit->SelAttributes()->SetStyle(TFontStyles{fsItalic});
    table->Post();
    EXPECT_TRUE(table->FieldByName(QStringLiteral("Rich"))->AsBytes().contains("\\i"));
}

TEST_F(DBCtrlsTest, TabStopsAtEditorsThatAreReadOnlyWhileBrowsing)
{
    auto* name = Add<TDBEdit>(QStringLiteral("Name"), 8);
    auto* memo = Add<TDBMemo>(QStringLiteral("Rich"), 40);
    auto* rich = new TDBRichEdit(form);
    rich->SetParent(form);
    rich->SetBounds(8, 80, 200, 60);
    rich->SetDataSource(source);
    rich->SetDataField(QStringLiteral("Rich"));
    Show();
    name->SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(memo->Focused());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(rich->Focused());
    EXPECT_EQ(table->State(), dsBrowse);
}
