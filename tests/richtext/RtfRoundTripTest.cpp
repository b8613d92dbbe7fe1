#include "platform/richtext/Rtf.h"
#include "tests/richtext/RichFormats.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vyn;
using vyn::test::Fmt;
using vyn::test::Para;

namespace {

RichParaFormat Numbered(RichNumberStyle style, int level = 0, int start = 1)
{
    return Para([&](RichParaFormat& p) { p.numbering = {style, level, start}; });
}

struct Para_
{
    RichParaFormat format;
    std::vector<std::pair<QString, RichCharFormat>> runs;
};

RichDocument Doc(std::initializer_list<Para_> paras)
{
    RichDocument d;
    for (const Para_& p : paras) {
        d.AppendParagraph(p.format);
        for (const auto& [text, fmt] : p.runs)
            d.AppendText(text, fmt);
    }
    return d;
}

struct Case
{
    const char* name;
    RichDocument doc;
};

std::vector<Case> Cases()
{
    const RichCharFormat plain;
    const auto bold = Fmt([](auto& f) { f.bold = true; });
    return {
        {"empty document", {}},
        {"one empty paragraph", Doc({{{}, {}}})},
        {"plain text", Doc({{{}, {{"Hello, world", plain}}}})},
        {"empty paragraphs between",
         Doc({{{}, {{"a", plain}}}, {{}, {}}, {{}, {}}, {{}, {{"b", plain}}}})},
        {"font names",
         Doc({{{},
               {{"Arial ", Fmt([](auto& f) { f.fontName = "Arial"; })},
                {"Times ", Fmt([](auto& f) { f.fontName = "Times New Roman"; })},
                {"odd name ", Fmt([](auto& f) { f.fontName = "A;B {x} \\y\tz"; })},
                {"non-Latin ", Fmt([](auto& f) { f.fontName = QString::fromUtf8("ＭＳ 明朝 é"); })},
                {"back to default", plain}}}})},
        {"sizes", Doc({{{},
                        {{"8pt ", Fmt([](auto& f) { f.sizeHalfPoints = 16; })},
                         {"6.5pt ", Fmt([](auto& f) { f.sizeHalfPoints = 13; })},
                         {"72pt", Fmt([](auto& f) { f.sizeHalfPoints = 144; })}}}})},
        {"styles on and off",
         Doc({{{},
               {{"b", bold},
                {"i", Fmt([](auto& f) { f.italic = true; })},
                {"u", Fmt([](auto& f) { f.underline = true; })},
                {"s", Fmt([](auto& f) { f.strikeOut = true; })},
                {"all", Fmt([](auto& f) { f.bold = f.italic = f.underline = f.strikeOut = true; })},
                {" none", plain}}}})},
        {"colours", Doc({{{},
                          {{"red", Fmt([](auto& f) { f.color = QColor(255, 0, 0); })},
                           {"black", Fmt([](auto& f) { f.color = QColor(0, 0, 0); })},
                           {"auto", plain},
                           {"teal bold", Fmt([](auto& f) {
                                f.color = QColor(0, 128, 128);
                                f.bold = true;
                            })},
                           {"red again", Fmt([](auto& f) { f.color = QColor(255, 0, 0); })}}}})},
        {"everything at once then default", Doc({{{},
                                                  {{"x", Fmt([](auto& f) {
                                                        f.fontName = "Courier New";
                                                        f.sizeHalfPoints = 20;
                                                        f.bold = f.italic = f.underline =
                                                            f.strikeOut = true;
                                                        f.color = QColor(1, 2, 3);
                                                    })},
                                                   {"y", plain}}},
                                                 {{}, {{"formats carry over paragraphs", bold}}}})},
        {"alignments",
         Doc({{Para([](auto& p) { p.alignment = RichAlignment::Left; }), {{"l", plain}}},
              {Para([](auto& p) { p.alignment = RichAlignment::Center; }), {{"c", plain}}},
              {Para([](auto& p) { p.alignment = RichAlignment::Right; }), {{"r", plain}}},
              {Para([](auto& p) { p.alignment = RichAlignment::Justify; }), {{"j", plain}}}})},
        {"indents",
         Doc({{Para([](auto& p) { p.SetIndents(720, 360, 144); }), {{"hanging", plain}}},
              {Para([](auto& p) { p.SetIndents(0, -360, 0); }), {{"first line out", plain}}},
              {Para([](auto& p) {
                   p.li = 1440;
                   p.fi = 0;
                   p.ri = 2880;
               }),
               {{"block", plain}}},
              {Para([](auto& p) { p.li = -200; }), {{"negative", plain}}}})},
        {"numbering kinds",
         Doc({{Numbered(RichNumberStyle::Bullet), {{"bullet", plain}}},
              {Numbered(RichNumberStyle::Arabic, 0, 5), {{"five", plain}}},
              {Numbered(RichNumberStyle::LowerLetter, 1), {{"nested letter", plain}}},
              {Numbered(RichNumberStyle::Arabic, 0, 5), {{"six", plain}}},
              {Numbered(RichNumberStyle::UpperRoman), {{"roman restarts a list", plain}}},
              {Numbered(RichNumberStyle::LowerRoman, 8), {{"deepest level", plain}}},
              {Numbered(RichNumberStyle::UpperLetter), {{"upper letter", plain}}},
              {Numbered(RichNumberStyle(22)), {{"a kind the editor does not show", plain}}},
              {{}, {{"not numbered", plain}}},
              {Numbered(RichNumberStyle::Bullet), {{"a second list", plain}}},
              {Numbered(RichNumberStyle::Bullet), {}}})},
        {"numbered with indents and alignment",
         Doc({{Para([](auto& p) {
                   p.numbering = {RichNumberStyle::Arabic, 0, 1};
                   p.SetIndents(0, 360, 0);
                   p.alignment = RichAlignment::Center;
               }),
               {{"item", bold}}}})},
        {"special characters", Doc({{{},
                                     {{"tab\there\tb 1 -x", plain},
                                      {QString::fromUtf8("line\u2028break\u2028\u2028two"), plain},
                                      {"escapes \\ { } \\par {\\rtf1", plain},
                                      {"  leading and trailing spaces  ", bold}}}})},
        {"control words before letters, digits, spaces and dashes",
         Doc({{{}, {{"\ta\t1\t \t-\t?", plain}}},
              {{}, {{QString::fromUtf8("\u2028x\u20289\u2028-"), plain}}}})},
        {"non-ASCII text",
         Doc({{{},
               {{QString::fromUtf8("café € “quoted” – Größe Příliš Ελληνικά Русский"), plain},
                {QString::fromUtf8(" 日本語 中文 한국어 עברית العربية"), bold},
                {QString::fromUtf8(" 😀 𝄞 and an unpaired ") + QChar(0xD800) + " surrogate", plain},
                {QString::fromUtf8("\u00a0nbsp\u00adsoft\u2011hyphen ÿ\u0081"), plain}}}})},
        {"control characters", Doc({{{},
                                     {{QString("nul") + QChar(0) + "bell" + QChar(7) + "esc" +
                                           QChar(27) + "del" + QChar(127),
                                       plain}}}})},
    };
}

} // namespace

TEST(RtfRoundTrip, DocumentsComeBackUnchanged)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const QByteArray rtf = WriteRtf(c.doc);
        EXPECT_TRUE(IsRtf(rtf));
        for (char b : rtf)
            ASSERT_TRUE(static_cast<unsigned char>(b) < 0x80) << "RTF is written 7-bit";
        const RichDocument back = ReadRtf(rtf);
        EXPECT_EQ(back, c.doc) << rtf.toStdString();
        EXPECT_EQ(back.PlainText(), c.doc.PlainText());
        EXPECT_EQ(RtfPlainText(rtf), c.doc.PlainText()) << rtf.toStdString();
        // A second trip gives the same bytes: nothing drifts.
        EXPECT_EQ(WriteRtf(back), rtf);
    }
}

TEST(RtfRoundTrip, ToolkitIndentsMapExactly)
{
    // FirstIndent = \li + \fi, LeftIndent = -\fi, RightIndent = \ri.
    const struct
    {
        int first, left, right;
    } table[] = {{0, 0, 0}, {720, 360, 144}, {0, -360, 0}, {-100, 200, -5}, {32767, -32768, 1}};
    for (const auto& t : table) {
        RichParaFormat p;
        p.SetIndents(t.first, t.left, t.right);
        EXPECT_EQ(p.FirstIndent(), t.first);
        EXPECT_EQ(p.LeftIndent(), t.left);
        EXPECT_EQ(p.RightIndent(), t.right);
        EXPECT_EQ(p.li + p.fi, t.first);
        EXPECT_EQ(-p.fi, t.left);
    }
    const RichDocument d = ReadRtf(QByteArray("{\\rtf1\\pard\\li720\\fi-360\\ri100 x\\par}"));
    const RichParaFormat& f = d.Paragraphs().at(0).format;
    EXPECT_EQ(f.FirstIndent(), 360);
    EXPECT_EQ(f.LeftIndent(), 360);
    EXPECT_EQ(f.RightIndent(), 100);
}

TEST(RtfRoundTrip, WriterIsCompact)
{
    // Formats shared by neighbours are stated once, not per run or per paragraph.
    RichDocument d;
    RichCharFormat f;
    f.fontName = "Arial";
    f.bold = true;
    for (int i = 0; i < 50; ++i) {
        d.AppendParagraph();
        d.AppendText("line", f);
    }
    const QByteArray rtf = WriteRtf(d);
    EXPECT_EQ(rtf.count("\\f0"), 2); // the table entry and its one use
    EXPECT_EQ(rtf.count("\\b"), 1);
    EXPECT_EQ(rtf.count("\\pard"), 1);
    EXPECT_LT(rtf.size(), 50 * 12 + 100);
}
