// The rich edit control on a real form, offscreen: positions, search, formatting, paragraph
// rules, the modified state, keys, the clipboard and printing.
#include "platform/richtext/RichEdit.h"
#include "platform/core/Exception.h"
#include "platform/core/Stream.h"
#include "platform/richtext/Rtf.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "tests/richtext/RichFormats.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace vyn;
using vyn::test::Fmt;
using vyn::test::Para;

namespace {

RichParaFormat Indents(int li, int fi, int ri)
{
    return Para([&](RichParaFormat& p) {
        p.li = li;
        p.fi = fi;
        p.ri = ri;
    });
}

// A document of one paragraph per entry, each one run of default format.
RichDocument Paragraphs(const std::vector<std::pair<RichParaFormat, QString>>& paras)
{
    RichDocument d;
    for (const auto& [format, text] : paras) {
        d.AppendParagraph(format);
        d.AppendText(text);
    }
    return d;
}

class RichEdit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app = std::make_unique<TApplication>();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        edit = new TRichEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(0, 0, 380, 280);
        edit->OnChange = [this](TObject*) { ++changes; };
    }
    void TearDown() override
    {
        SetPrintToPdf(QString());
        form.reset();
        m_app.reset();
    }

    void Load(const RichDocument& doc) { edit->LoadRichText(WriteRtf(doc)); }
    RichDocument Saved() const { return ReadRtf(edit->RichText()); }
    // What the widget itself shows.
    QString Shown() const
    {
        return edit->Editor()->document()->toRawText().replace(QChar::ParagraphSeparator,
                                                               QLatin1Char('\n'));
    }
    void Select(int start, int length)
    {
        edit->SetSelStart(start);
        edit->SetSelLength(length);
    }

    std::unique_ptr<TApplication> m_app;
    std::unique_ptr<TForm> form;
    TRichEdit* edit = nullptr;
    int changes = 0;
};

// Each document goes into the editor and comes back out through the codec unchanged, and the
// plain text the control reports before the editor is built equals the one after.
TEST_F(RichEdit, DocumentsPassThroughTheEditorUnchanged)
{
    RichDocument lists;
    lists.AppendParagraph(Para([](RichParaFormat& p) {
        p.numbering = {RichNumberStyle::Bullet, 0, 1};
        p.SetIndents(0, 360, 0);
    }));
    lists.AppendText(QStringLiteral("bullet"));
    lists.AppendParagraph(Para([](RichParaFormat& p) {
        p.numbering = {RichNumberStyle::Bullet, 0, 1};
        p.SetIndents(0, 360, 0);
    }));
    lists.AppendText(QStringLiteral("bullet two"));
    lists.AppendParagraph(Para([](RichParaFormat& p) {
        p.numbering = {RichNumberStyle::LowerRoman, 1, 4};
        p.alignment = RichAlignment::Justify;
    }));
    lists.AppendText(QStringLiteral("roman from iv"));
    lists.AppendParagraph(Para([](RichParaFormat& p) {
        p.numbering = {RichNumberStyle::OrdinalText, 0, 1};
    }));
    lists.AppendText(QStringLiteral("ordinal text, which the editor shows as numbers"));

    RichDocument runs;
    runs.AppendParagraph(Para([](RichParaFormat& p) {
        p.alignment = RichAlignment::Center;
        p.li = -50;
        p.fi = 10;
        p.ri = 725;
    }));
    runs.AppendText(QStringLiteral("plain "));
    runs.AppendText(QStringLiteral("bold"), Fmt([](RichCharFormat& f) { f.bold = true; }));
    runs.AppendText(QStringLiteral(" serif"), Fmt([](RichCharFormat& f) {
                        f.fontName = QStringLiteral("Times New Roman");
                        f.sizeHalfPoints = 21;
                        f.italic = f.underline = f.strikeOut = true;
                        f.color = QColor(0x12, 0x34, 0x56);
                    }));
    runs.AppendText(QStringLiteral(" tab\there, line\u2028break"));

    const std::vector<std::pair<const char*, RichDocument>> cases = {
        {"empty", RichDocument()},
        {"two paragraphs", Paragraphs({{{}, "one"}, {{}, "two"}})},
        {"last paragraph empty", Paragraphs({{{}, "end"}, {{}, ""}})},
        {"blank paragraphs between", Paragraphs({{{}, "a"}, {{}, ""}, {{}, ""}, {{}, "b"}})},
        {"beyond latin", Paragraphs({{{}, QStringLiteral("café\u00a0€ \U0001F600 Ωμέγα")}})},
        {"lists", lists},
        {"runs", runs},
    };
    for (const auto& [name, doc] : cases) {
        SCOPED_TRACE(name);
        Load(doc);
        EXPECT_EQ(edit->Text(), doc.PlainText()); // answered before the editor is built
        EXPECT_EQ(edit->GetTextLen(), doc.PlainText().size());
        EXPECT_EQ(Shown(), doc.PlainText());
        EXPECT_EQ(edit->Text(), doc.PlainText());
        EXPECT_EQ(Saved(), doc);
        EXPECT_FALSE(edit->Modified());
    }
}

TEST_F(RichEdit, PositionsCountOnePerCharacterAndParagraphBreak)
{
    Load(Paragraphs({{{}, "first"}, {{}, QStringLiteral("sec\u2028ond")}, {{}, "third"}}));
    Select(3, 6); // "st", the break, "sec"
    EXPECT_EQ(edit->SelText(), QStringLiteral("st\nsec"));
    EXPECT_EQ(edit->SelText(), edit->Text().mid(3, 6));
    Select(9, 8);
    EXPECT_EQ(edit->SelText(), QStringLiteral("\u2028ond\nthi"));
    Select(10, 1000);
    EXPECT_EQ(edit->SelStart(), 10);
    EXPECT_EQ(edit->SelLength(), edit->GetTextLen() - 10);

    Select(6, 4);
    edit->SetSelTextBuf(QStringLiteral("X\r\nY"));
    EXPECT_EQ(edit->Text(), QStringLiteral("first\nX\nYond\nthird"));
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(edit->SelStart(), 9); // right after the inserted text
    EXPECT_EQ(edit->Lines()->Count(), 4);
    EXPECT_EQ(edit->Lines()->Strings(2), QStringLiteral("Yond"));

    edit->SelectAll();
    EXPECT_EQ(edit->SelLength(), edit->GetTextLen());
}

TEST_F(RichEdit, FindTextFindsTheFirstOccurrenceWhollyInsideTheRange)
{
    // 0         1         2         3
    // 0123456789012345678901234567890123456789
    // The cat scattered; CAT_dog cat¶Cat end.
    Load(Paragraphs({{{}, "The cat scattered; CAT_dog cat"}, {{}, "Cat end."}}));
    ASSERT_EQ(edit->GetTextLen(), 39);
    const TSearchTypes none, whole{stWholeWord}, match{stMatchCase};
    const TSearchTypes both{stWholeWord, stMatchCase};
    struct Case
    {
        const char* text;
        int start, length;
        TSearchTypes options;
        int expected;
    };
    const Case cases[] = {
        {"cat", 0, 39, none, 4},
        {"cat", 5, 34, none, 9}, // inside "scattered"
        {"CAT", 0, 39, match, 19},
        {"cat", 5, 34, whole, 27}, // neither "scattered" nor "CAT_dog"
        {"dog", 0, 39, whole, -1}, // an underscore joins words
        {"Cat", 0, 39, both, 31},
        {"cat", 0, 6, none, -1}, // crosses the end of the range
        {"cat", 4, 3, none, 4},  // fills the range exactly
        {"cat", 28, 11, none, 31},
        {"cat\ncat", 0, 39, none, 27}, // across a paragraph break
        {"end.", 0, 39, whole, 35},
        {"cat", 30, 1000, none, 31}, // a range past the end stops at the end
        {"cat", 31, 2, none, -1},
        {"cat", 0, -1, match, 4}, // a negative length runs to the end
        {"", 0, 39, none, -1},
    };
    // Once answered from the loaded text, once from the built editor.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1)
            edit->Editor();
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "pass " << pass << " '" << c.text << "' from "
                                            << c.start << " for " << c.length);
            EXPECT_EQ(edit->FindText(QString::fromUtf8(c.text), c.start, c.length, c.options),
                      c.expected);
        }
    }
}

TEST_F(RichEdit, TextAndStreamsTellRtfFromPlainText)
{
    const RichDocument doc = Paragraphs({{Indents(400, -370, 0), "one"}, {{}, "two"}});
    const QByteArray rtf = WriteRtf(doc);

    edit->SetText(QString::fromLatin1(rtf));
    EXPECT_EQ(Saved(), doc);
    edit->SetText(QStringLiteral("plain\r\ntext\n"));
    EXPECT_EQ(edit->Text(), QStringLiteral("plain\ntext\n"));

    TMemoryStream in(rtf);
    edit->Lines()->LoadFromStream(&in);
    EXPECT_EQ(Saved(), doc);
    TMemoryStream out;
    edit->Lines()->SaveToStream(&out);
    EXPECT_EQ(ReadRtf(out.Memory()), doc);

    // Bytes that are not UTF-8 are Windows-1252; a line list ends with its last line break.
    TMemoryStream cp1252(QByteArray("caf\xe9\r\nna\xefve\r\n"));
    edit->Lines()->LoadFromStream(&cp1252);
    EXPECT_EQ(edit->Text(), QStringLiteral("café\nnaïve"));
    edit->Lines()->SetText(QString::fromLatin1(rtf));
    EXPECT_EQ(Saved(), doc);

    // Plain text mode reads RTF as the characters it is made of and writes plain lines.
    edit->SetPlainText(true);
    edit->SetText(QString::fromLatin1(rtf));
    EXPECT_EQ(edit->Text(), QString::fromLatin1(rtf));
    edit->Lines()->SetText(QStringLiteral("a\r\nb\r\n"));
    TMemoryStream plain;
    edit->Lines()->SaveToStream(&plain);
    EXPECT_EQ(plain.Memory(), QByteArray("a\r\nb\r\n"));
    edit->SetPlainText(false);

    // Malformed RTF shows the text it holds.
    edit->SetText(QStringLiteral("{\\rtf1 {\\b broken} te\\'xt"));
    EXPECT_TRUE(edit->Text().startsWith(QStringLiteral("broken te")));
    EXPECT_EQ(Shown(), edit->Text());
}

TEST_F(RichEdit, LinesAreParagraphs)
{
    edit->Lines()->SetText(QString::fromLatin1(WriteRtf(
        Paragraphs({{Para([](RichParaFormat& p) { p.alignment = RichAlignment::Right; }), "one"},
                    {{}, "two"}}))));
    TStrings* lines = edit->Lines();
    EXPECT_EQ(lines->Count(), 2);
    lines->Add(QStringLiteral("three"));
    lines->Insert(0, QStringLiteral("zero"));
    lines->Put(2, QStringLiteral("TWO"));
    lines->Delete(1);
    EXPECT_EQ(lines->Text(), QStringLiteral("zero\r\nTWO\r\nthree\r\n"));
    EXPECT_THROW(lines->Get(3), Exception);
    lines->Delete(2);
    lines->Delete(0);
    EXPECT_EQ(edit->Text(), QStringLiteral("TWO"));
    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
    lines->Add(QStringLiteral("only"));
    EXPECT_EQ(edit->Text(), QStringLiteral("only"));
}

TEST_F(RichEdit, ParagraphAttributesReadInPointsTowardsZero)
{
    RichDocument doc = Paragraphs({
        {Indents(400, -370, 30), "a"},
        {Para([](RichParaFormat& p) {
             p.li = -50;
             p.fi = 10;
             p.ri = -30;
             p.alignment = RichAlignment::Center;
         }),
         "b"},
        {Para([](RichParaFormat& p) {
             p.SetIndents(0, 360, 0);
             p.numbering = {RichNumberStyle::Bullet, 0, 1};
             p.alignment = RichAlignment::Right;
         }),
         "c"},
        {Para([](RichParaFormat& p) {
             p.numbering = {RichNumberStyle::Arabic, 0, 1};
             p.alignment = RichAlignment::Justify;
         }),
         "d"},
        {Para([](RichParaFormat& p) {
             p.numbering = {RichNumberStyle::LowerLetter, 2, 1};
         }),
         "e"},
    });
    struct Row
    {
        int first, left, right;
        TAlignment alignment;
        TNumberingStyle numbering;
    };
    const Row rows[] = {
        {1, 18, 1, taLeftJustify, nsNone},         {-2, 0, -1, taCenter, nsNone},
        {0, 18, 0, taRightJustify, nsBullet},      {0, 0, 0, taJustify, nsArabicNumbers},
        {0, 0, 0, taLeftJustify, nsArabicNumbers},
    };
    Load(doc);
    TParaAttributes* para = edit->Paragraph();
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        Select(2 * i, 0);
        EXPECT_EQ(para->FirstIndent(), rows[i].first);
        EXPECT_EQ(para->LeftIndent(), rows[i].left);
        EXPECT_EQ(para->RightIndent(), rows[i].right);
        EXPECT_EQ(para->Alignment(), rows[i].alignment);
        EXPECT_EQ(para->Numbering(), rows[i].numbering);
    }
    EXPECT_FALSE(rows[3].alignment == taLeftJustify || rows[3].alignment == taCenter ||
                 rows[3].alignment == taRightJustify);
}

TEST_F(RichEdit, ParagraphWritesFollowTheRules)
{
    struct Case
    {
        const char* name;
        RichParaFormat before;
        std::function<void(TParaAttributes*)> write;
        RichParaFormat after;
    };
    const RichNumbering bullet{RichNumberStyle::Bullet, 0, 1};
    const auto bulleted = [&](int li, int fi, int ri) {
        RichParaFormat p = Indents(li, fi, ri);
        p.numbering = bullet;
        return p;
    };
    const Case cases[] = {
        {"bullet raises a left indent of 5 to 10", Indents(140, -100, 0),
         [](TParaAttributes* p) { p->SetNumbering(nsBullet); }, bulleted(240, -200, 0)},
        {"bullet raises 199 twips, read as 9", Indents(199, -199, 0),
         [](TParaAttributes* p) { p->SetNumbering(nsBullet); }, bulleted(200, -200, 0)},
        {"bullet raises a negative left indent", Indents(0, 40, 0),
         [](TParaAttributes* p) { p->SetNumbering(nsBullet); }, bulleted(240, -200, 0)},
        {"bullet keeps a left indent of 15", Indents(300, -300, 0),
         [](TParaAttributes* p) { p->SetNumbering(nsBullet); }, bulleted(300, -300, 0)},
        {"none sets the left indent to 0", bulleted(460, -360, 20),
         [](TParaAttributes* p) { p->SetNumbering(nsNone); }, Indents(100, 0, 20)},
        {"a first indent of 30 twips reads 1 and is written as 20", Indents(30, 0, 0),
         [](TParaAttributes* p) { p->SetFirstIndent(p->FirstIndent()); }, Indents(20, 0, 0)},
        {"left indent keeps the first line", Indents(100, 0, 0),
         [](TParaAttributes* p) { p->SetLeftIndent(-3); }, Indents(40, 60, 0)},
        {"right indent", Indents(0, 0, 0), [](TParaAttributes* p) { p->SetRightIndent(-7); },
         Indents(0, 0, -140)},
        {"the dialog's order leaves exactly its indents", bulleted(360, -360, 0),
         [](TParaAttributes* p) {
             p->SetNumbering(nsBullet);
             p->SetFirstIndent(2);
             p->SetLeftIndent(5);
             p->SetRightIndent(0);
             p->SetAlignment(taCenter);
         },
         Para([&](RichParaFormat& p) {
             p.SetIndents(40, 100, 0);
             p.numbering = bullet;
             p.alignment = RichAlignment::Center;
         })},
        {"justified becomes left",
         Para([](RichParaFormat& p) { p.alignment = RichAlignment::Justify; }),
         [](TParaAttributes* p) { p->SetAlignment(taLeftJustify); }, RichParaFormat()},
        {"numbering other than a bullet is removed", Para([](RichParaFormat& p) {
             p.numbering = {RichNumberStyle::UpperRoman, 0, 1};
         }),
         [](TParaAttributes* p) { p->SetNumbering(nsNone); }, RichParaFormat()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(Paragraphs({{c.before, "text"}}));
        c.write(edit->Paragraph());
        ASSERT_EQ(Saved().Paragraphs().size(), 1u);
        EXPECT_EQ(Saved().Paragraphs()[0].format, c.after);
        EXPECT_TRUE(edit->Modified());
    }
}

TEST_F(RichEdit, ParagraphWritesApplyToEveryParagraphTheSelectionTouches)
{
    // "one" 0-2, break 3, "two" 4-6, break 7, "three" 8-12
    Load(Paragraphs({{Indents(40, 0, 0), "one"}, {Indents(60, 0, 0), "two"}, {{}, "three"}}));
    TParaAttributes* para = edit->Paragraph();
    Select(1, 4);                      // from inside "one" into "two"
    EXPECT_EQ(para->FirstIndent(), 2); // the first paragraph's
    para->SetNumbering(nsBullet);
    EXPECT_EQ(para->LeftIndent(), 10); // at once, before any other write
    para->SetFirstIndent(1);
    std::vector<RichParagraph> p = Saved().Paragraphs();
    EXPECT_EQ(p[0].format, p[1].format);
    EXPECT_EQ(p[0].format.FirstIndent(), 20);
    EXPECT_EQ(p[2].format, RichParaFormat());

    Select(0, 8); // ends at the very start of "three", which it does not touch
    para->SetAlignment(taRightJustify);
    p = Saved().Paragraphs();
    EXPECT_EQ(p[1].format.alignment, RichAlignment::Right);
    EXPECT_EQ(p[2].format.alignment, RichAlignment::Left);
    Select(7, 2); // the break before "three" and its first letter
    para->SetAlignment(taCenter);
    EXPECT_EQ(Saved().Paragraphs()[1].format.alignment, RichAlignment::Center);
    EXPECT_EQ(Saved().Paragraphs()[2].format.alignment, RichAlignment::Center);
}

TEST_F(RichEdit, SelectionAttributesOnPartOfAParagraph)
{
    edit->Font()->SetName(QStringLiteral("Arial"));
    edit->Font()->SetSize(10);
    edit->SetText(QStringLiteral("Hello brave world"));
    TTextAttributes* sel = edit->SelAttributes();
    Select(6, 5);
    EXPECT_EQ(sel->Name(), QStringLiteral("Arial")); // the control's font fills in
    EXPECT_EQ(sel->Size(), 10);
    sel->SetStyle({fsBold, fsUnderline});
    sel->SetColor(clRed);
    sel->SetName(QStringLiteral("Times New Roman"));
    sel->SetSize(14);
    EXPECT_EQ(sel->Name(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(sel->Size(), 14);
    EXPECT_EQ(sel->Height(), 19);
    EXPECT_EQ(sel->Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(sel->Color(), clRed);

    const RichParagraph p = Saved().Paragraphs().at(0);
    ASSERT_EQ(p.runs.size(), 3u);
    EXPECT_EQ(p.runs[0].text, QStringLiteral("Hello "));
    EXPECT_FALSE(p.runs[0].format.bold);
    EXPECT_EQ(p.runs[0].format.sizeHalfPoints, 20);
    EXPECT_EQ(p.runs[1].text, QStringLiteral("brave"));
    EXPECT_EQ(p.runs[1].format, Fmt([](RichCharFormat& f) {
                  f.fontName = QStringLiteral("Times New Roman");
                  f.sizeHalfPoints = 28;
                  f.bold = f.underline = true;
                  f.color = QColor(255, 0, 0);
              }));
    EXPECT_EQ(p.runs[2].format, p.runs[0].format);
    // The classic name shows in its Liberation face.
    QTextCursor c = edit->Editor()->textCursor();
    c.setPosition(8);
    EXPECT_EQ(c.charFormat().fontFamilies().toStringList(),
              QStringList{QStringLiteral("Liberation Serif")});

    // To and from a font, as one change.
    TFont font;
    font.Assign(sel);
    EXPECT_EQ(font.Name(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(font.Size(), 14);
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(font.Color(), clRed);
    font.SetName(QStringLiteral("Courier New"));
    font.SetStyle({fsItalic});
    font.SetColor(clWindowText); // the automatic colour
    Select(0, 5);
    const int before = changes;
    sel->Assign(&font);
    EXPECT_EQ(changes, before + 1);
    EXPECT_EQ(Saved().Paragraphs()[0].runs[0].format, Fmt([](RichCharFormat& f) {
                  f.fontName = QStringLiteral("Courier New");
                  f.sizeHalfPoints = 28;
                  f.italic = true;
              }));

    // The default attributes are the control's font.
    EXPECT_EQ(edit->DefAttributes()->Name(), QStringLiteral("Arial"));
    edit->DefAttributes()->SetSize(12);
    EXPECT_EQ(edit->Font()->Size(), 12);
    EXPECT_EQ(Saved().Paragraphs()[0].runs.back().format.sizeHalfPoints, 24);
}

TEST_F(RichEdit, AChangeOfFormattingAloneMarksTheControlModified)
{
    const struct
    {
        const char* name;
        std::function<void(TRichEdit*)> change;
        bool modifies;
    } cases[] = {
        {"selecting", [](TRichEdit* e) { e->SelectAll(); }, false},
        {"the control's font", [](TRichEdit* e) { e->Font()->SetSize(20); }, false},
        {"bold at the caret, no text yet",
         [](TRichEdit* e) { e->SelAttributes()->SetStyle({fsBold}); }, false},
        {"bold on a selection",
         [](TRichEdit* e) {
             e->SelectAll();
             e->SelAttributes()->SetStyle({fsBold});
         },
         true},
        {"a colour",
         [](TRichEdit* e) {
             e->SetSelStart(2);
             e->SetSelLength(1);
             e->SelAttributes()->SetColor(clBlue);
         },
         true},
        {"alignment", [](TRichEdit* e) { e->Paragraph()->SetAlignment(taCenter); }, true},
        {"indent", [](TRichEdit* e) { e->Paragraph()->SetRightIndent(3); }, true},
        {"text", [](TRichEdit* e) { e->SetSelTextBuf(QStringLiteral("x")); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        edit->SetText(QStringLiteral("some text"));
        EXPECT_FALSE(edit->Modified());
        const int before = changes;
        c.change(edit);
        EXPECT_EQ(edit->Modified(), c.modifies);
        EXPECT_EQ(changes, before + (c.modifies ? 1 : 0));
    }
    edit->SetModified(false);
    EXPECT_FALSE(edit->Modified());
}

// A descendant as a data-aware one would be: it drops a character, and makes itself writable
// when the user pastes.
class TGuardedRichEdit : public TRichEdit
{
public:
    using TRichEdit::TRichEdit;
    QStringList Log;

protected:
    void KeyPress(QChar& Key) override
    {
        Log << QStringLiteral("press ") + Key;
        if (Key == QLatin1Char('#'))
            Key = QChar();
        TRichEdit::KeyPress(Key);
    }
    void BeforePaste() override
    {
        Log << QStringLiteral("paste");
        SetReadOnly(false);
    }
};

TEST_F(RichEdit, KeysReachTheDescendantBeforeTheEditor)
{
    auto* guarded = new TGuardedRichEdit(form.get());
    guarded->SetParent(form.get());
    guarded->SetText(QStringLiteral("ab"));
    QTextEdit* w = guarded->Editor();
    QTest::keyClick(w, Qt::Key_End);
    QTest::keyClicks(w, "c#d");
    QTest::keyClick(w, Qt::Key_Return);
    QTest::keyClicks(w, "e");
    EXPECT_EQ(guarded->Text(), QStringLiteral("abcd\ne"));
    EXPECT_TRUE(guarded->Modified());

    // Read-only: typing does nothing, moving and selecting still work, a paste asks first.
    guarded->SetReadOnly(true);
    QTest::keyClick(w, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(w, "zz");
    QTest::keyClick(w, Qt::Key_Right);
    QTest::keyClick(w, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(guarded->Text(), QStringLiteral("abcd\ne"));
    EXPECT_EQ(guarded->SelStart(), 1);
    EXPECT_EQ(guarded->SelText(), QStringLiteral("b"));
    QApplication::clipboard()->setText(QStringLiteral("B"));
    guarded->Log.clear();
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(guarded->Log, (QStringList{QStringLiteral("press \x16"), QStringLiteral("paste")}));
    EXPECT_EQ(guarded->Text(), QStringLiteral("aBcd\ne"));

    guarded->SetReadOnly(true);
    guarded->Log.clear();
    guarded->SelectAll();
    guarded->PasteFromClipboard();
    EXPECT_EQ(guarded->Log, QStringList{QStringLiteral("paste")});
    EXPECT_EQ(guarded->Text(), QStringLiteral("B"));

    // Without the hook a read-only editor takes no paste and no cut.
    edit->SetText(QStringLiteral("kept"));
    edit->SetReadOnly(true);
    edit->SelectAll();
    edit->PasteFromClipboard();
    edit->CutToClipboard();
    EXPECT_EQ(edit->Text(), QStringLiteral("kept"));
}

TEST_F(RichEdit, CopyAndPasteKeepFormattingExactly)
{
    RichDocument doc;
    doc.AppendParagraph(Indents(370, -370, 15));
    doc.AppendText(QStringLiteral("plain "));
    doc.AppendText(QStringLiteral("bold"), Fmt([](RichCharFormat& f) { f.bold = true; }));
    doc.AppendParagraph();
    doc.AppendText(QStringLiteral("second"));
    Load(doc);
    edit->SelectAll();
    edit->CopyToClipboard();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    EXPECT_EQ(mime->text(), QStringLiteral("plain bold\nsecond"));
    EXPECT_EQ(ReadRtf(mime->data(QStringLiteral("text/rtf"))), doc);

    auto* other = new TRichEdit(form.get());
    other->SetParent(form.get());
    other->SetText(QStringLiteral("[]"));
    other->SetSelStart(1);
    other->PasteFromClipboard();
    EXPECT_EQ(other->Text(), QStringLiteral("[plain bold\nsecond]"));
    const RichDocument pasted = ReadRtf(other->RichText());
    EXPECT_EQ(pasted.Paragraphs()[0].runs[2].format.bold, true);
    EXPECT_EQ(pasted.Paragraphs()[1].format, RichParaFormat());

    // Pasted into an empty editor, the paragraphs keep their twips.
    edit->Clear();
    edit->PasteFromClipboard();
    EXPECT_EQ(ReadRtf(edit->RichText()).Paragraphs()[1], doc.Paragraphs()[1]);
    edit->SelectAll();
    edit->CutToClipboard();
    EXPECT_EQ(edit->GetTextLen(), 0);
}

TEST_F(RichEdit, LoadingWhileShownShowsTheLastContent)
{
    form->Show();
    for (const char* text : {"first", "second", "third"})
        edit->SetText(QString::fromLatin1(text));
    EXPECT_EQ(changes, 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->Editor()->document()->toPlainText(), QStringLiteral("third"));

    // A key right after a load goes into the loaded text.
    edit->SetText(QStringLiteral("tail"));
    QTest::keyClicks(edit->Editor(), "X");
    EXPECT_EQ(edit->Text(), QStringLiteral("Xtail"));
}

QString Output(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(RichEdit, PrintsTheWholeDocumentToAPdfWithTheCaptionAsTitle)
{
    test::TempDir dir;
    const QString pdf = dir.File(QStringLiteral("notes.pdf"));
    RichDocument doc;
    for (int i = 0; i < 120; ++i) { // several pages
        doc.AppendParagraph();
        doc.AppendText(QStringLiteral("Paragraph number %1 of the customer notes").arg(i));
    }
    Load(doc);
    Select(5, 3); // a selection does not limit printing
    SetPrintToPdf(pdf);
    edit->Print(QStringLiteral("Customer notes"));

    const QString printed = Output(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QStringList lines = printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeAll(QStringLiteral("\f"));
    for (QString& l : lines)
        l = l.remove(QLatin1Char('\f')).trimmed();
    lines.removeAll(QString());
    EXPECT_EQ(lines.join(QLatin1Char('\n')).toStdString(), doc.PlainText().toStdString());
    EXPECT_TRUE(Output(QStringLiteral("pdfinfo"), {pdf})
                    .contains(QRegularExpression(QStringLiteral("Title: +Customer notes\n"))));

    SetPrintToPdf(dir.File(QStringLiteral("missing/folder/out.pdf")));
    EXPECT_THROW(edit->Print(QStringLiteral("x")), EPrinter);
}

TEST_F(RichEdit, WithoutAPrinterPrintingFailsClearly)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "this machine has a printer";
    edit->SetText(QStringLiteral("text"));
    try {
        edit->Print(QStringLiteral("job"));
        FAIL() << "printed without a printer";
    } catch (const EPrinter& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("printer")));
    }
}

} // namespace
