#include "platform/richtext/Rtf.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <random>

using namespace vyn;

namespace {

RichCharFormat Named(const QString& font, int halfPoints = 24)
{
    RichCharFormat f;
    f.fontName = font;
    f.sizeHalfPoints = halfPoints;
    return f;
}

QString U(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

const RichRun* FindRun(const RichDocument& d, const QString& text)
{
    for (const RichParagraph& p : d.Paragraphs())
        for (const RichRun& r : p.runs)
            if (r.text.contains(text))
                return &r;
    return nullptr;
}

// The plain-text fast path must agree with the document on every input, good or bad.
void ExpectFastPathAgrees(const QByteArray& rtf)
{
    EXPECT_EQ(RtfPlainText(rtf), ReadRtf(rtf).PlainText()) << rtf.toStdString();
}

} // namespace

TEST(RtfReader, TextOfEachConstruct)
{
    const struct
    {
        const char* name;
        QByteArray rtf;
        QString text;
    } table[] = {
        // paragraphs
        {"no paragraph", "{\\rtf1 }", ""},
        {"one unterminated", "{\\rtf1 abc}", "abc"},
        {"one terminated", "{\\rtf1 abc\\par}", "abc"},
        {"two", "{\\rtf1 a\\par b}", "a\nb"},
        {"empty last", "{\\rtf1 a\\par\\par}", "a\n"},
        {"backslash newline is \\par", "{\\rtf1 a\\\nb}", "a\nb"},
        {"line, tab and specials",
         "{\\rtf1 a\\line b\\tab c\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"
         "\\~\\-\\_}",
         U("a\u2028b\tc—–•‘’“”\u00a0\u00ad\u2011")},
        {"raw newlines ignored, raw tab kept", "{\\rtf1 a\r\nb\tc\x01}", "ab\tc"},
        {"escapes", "{\\rtf1 \\\\ \\{ \\}}", "\\ { }"},
        {"delimiter space only once", "{\\rtf1 \\b  two}", " two"},
        {"table cells", "{\\rtf1 a\\cell b\\cell\\row c}", "a\tb\nc"},
        // code pages
        {"ansi default 1252", "{\\rtf1\\ansi caf\\'e9 \\'80}", U("café €")},
        {"ansicpg 1251", "{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}", U("Аб")},
        {"ansicpg 1250", "{\\rtf1\\ansi\\ansicpg1250 \\'9e\\'e8}", U("žč")},
        {"font charset wins",
         "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 B;}{\\f2\\fcharset161 "
         "G;}}\\f1\\'c0\\f0\\'c0\\f2\\'c1}",
         U("АÀΑ")},
        {"Shift-JIS pair", "{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0\\'82\\'a0\\'93\\'fa}",
         U("あ日")},
        {"Shift-JIS raw trail byte", "{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0\\'83A}",
         U("ア")},
        {"GBK", "{\\rtf1\\ansicpg936 \\'c4\\'e3\\'ba\\'c3}", U("你好")},
        {"raw 8-bit byte", "{\\rtf1\\ansi caf\xe9}", U("café")},
        {"bad hex", "{\\rtf1 a\\'g1\\'4}", "ag1\x04"},
        // Unicode
        {"\\u with one fallback", "{\\rtf1 \\u233?x}", U("éx")},
        {"\\u negative", "{\\rtf1 \\u-3913?}", U("\uf0b7")},
        {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", U("😀")},
        {"\\uc2 skips two", "{\\rtf1\\uc2 \\u26085\\'93\\'fa!}", U("日!")},
        {"\\uc0 skips none", "{\\rtf1\\uc0 \\u26085 !}", U("日!")},
        {"\\uc scoped to group", "{\\rtf1 {\\uc2 \\u26085\\'93\\'fa}\\u233?}", U("日é")},
        {"fallback cut short by group end", "{\\rtf1\\uc3 {\\u233?}x}", U("éx")},
        {"fallback counts control words", "{\\rtf1 \\u233\\'e9x}", U("éx")},
        {"\\upr keeps the Unicode form", "{\\rtf1 {\\upr{ansi}{\\*\\ud{\\u233?t\\u233?}}}}",
         U("été")},
        // what is not text
        {"header tables",
         "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
         "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}x}",
         "x"},
        {"ignorable destination", "{\\rtf1 a{\\*\\foo b{c}}d}", "ad"},
        {"unknown word ignored, unknown group kept", "{\\rtf1 a\\foo b{\\bar c}d}", "abcd"},
        {"picture", "{\\rtf1 a{\\pict\\pngblip 89504e47{\\*\\blipuid 0}}b}", "ab"},
        {"binary data with braces", "{\\rtf1 a{\\pict\\bin5 }{\\}\\b}c}", "ac"},
        {"\\bin outside a picture", "{\\rtf1 a\\bin3 xyzb}", "ab"},
        {"field shows its result",
         "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}", "link"},
        {"unstarred field instruction", "{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 3}}}", "3"},
        {"list labels", "{\\rtf1 {\\pntext 1.\\tab}{\\listtext \\'95\\tab}item}", "item"},
        {"headers and footnotes", "{\\rtf1 {\\header h}a{\\footnote n}b}", "ab"},
        // damage
        {"truncated in a group", "{\\rtf1 abc{\\b def", "abcdef"},
        {"truncated in a control word", "{\\rtf1 abc\\pa", "abc"},
        {"truncated after backslash", "{\\rtf1 abc\\", "abc"},
        {"truncated in hex", "{\\rtf1 abc\\'e", U("abc\u000e")},
        {"unbalanced open", "{\\rtf1 {{{abc", "abc"},
        {"stray close ends the document", "{\\rtf1 a}b}", "a"},
        {"trailing bytes ignored", QByteArray("{\\rtf1 a}\r\n\0\0", 8), "a"},
        {"truncated font table", "{\\rtf1{\\fonttbl{\\f0 Ari", ""},
        {"truncated picture", "{\\rtf1 a{\\pict 0102", "a"},
        {"huge \\bin", "{\\rtf1 a\\bin99999999999 b}", "a"},
        {"huge parameters", "{\\rtf1\\fs99999999999999999999\\u99999999\\uc2147483647 a}", "a"},
        {"negative \\bin", "{\\rtf1 a\\bin-5 b}", "ab"},
    };
    for (const auto& t : table) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(ReadRtf(t.rtf).PlainText(), t.text);
        EXPECT_EQ(RtfPlainText(t.rtf), t.text);
    }
}

TEST(RtfReader, PlainTextWhenNotRtf)
{
    const struct
    {
        QByteArray in;
        QString text;
        size_t paragraphs;
    } table[] = {
        {"", "", 1},
        {"one", "one", 1},
        {"a\r\nb\rc\nd", "a\nb\nc\nd", 4},
        {"last line ends\r\n", "last line ends\n", 2},
        {"caf\xc3\xa9", U("café"), 1},    // UTF-8
        {"caf\xe9 \x80", U("café €"), 1}, // not UTF-8: Windows-1252
        {" {\\rtf1 not at start}", " {\\rtf1 not at start}", 1},
    };
    for (const auto& t : table) {
        SCOPED_TRACE(t.in.toStdString());
        const RichDocument d = ReadRtf(t.in);
        EXPECT_EQ(d.PlainText(), t.text);
        EXPECT_EQ(d.Paragraphs().size(), t.paragraphs);
        EXPECT_EQ(RtfPlainText(t.in), t.text);
        EXPECT_FALSE(IsRtf(t.in));
    }
    // A QString holding RTF with characters beyond Latin-1 still reads them.
    const QString rtf = U("{\\rtf1 \\b 日本\\b0  x}");
    EXPECT_TRUE(IsRtf(rtf));
    EXPECT_EQ(ReadRtf(rtf).PlainText(), U("日本 x"));
    EXPECT_EQ(RtfPlainText(rtf), U("日本 x"));
    EXPECT_TRUE(FindRun(ReadRtf(rtf), U("日本"))->format.bold);
    EXPECT_EQ(RtfPlainText(U("x\r\ny")), "x\ny");
}

TEST(RtfReader, CharacterFormatting)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman{\\*\\panose 0}Times New "
        "Roman{\\*\\falt Tms};}\\f2\\fmodern Courier New;}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "deffont {\\f0\\fs32\\b\\i\\ul\\strike\\cf1 all} {\\f2\\uldb dbl\\ulnone no}"
        " {\\b\\b0 off}{\\cf2\\plain plain}{\\cf9 badcolour}{\\f7 badfont}{\\fs0 zero}}";
    const RichDocument d = ReadRtf(rtf);
    const RichRun* r = FindRun(d, "deffont");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->format, Named("Times New Roman"));

    r = FindRun(d, "all");
    ASSERT_TRUE(r);
    RichCharFormat all{"Arial", 32, true, true, true, true, QColor(255, 0, 0)};
    EXPECT_EQ(r->format, all);

    r = FindRun(d, "dbl");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->format.fontName, "Courier New");
    EXPECT_TRUE(r->format.underline);
    EXPECT_FALSE(FindRun(d, "no")->format.underline);

    for (const char* text : {"off", "plain", "badcolour", "zero"}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(FindRun(d, text));
        EXPECT_EQ(FindRun(d, text)->format, Named("Times New Roman"));
    }
    EXPECT_EQ(FindRun(d, "badfont")->format, RichCharFormat{});
}

TEST(RtfReader, ParagraphFormatting)
{
    const QByteArray rtf = "{\\rtf1 \\qc\\li100\\ri50\\fi-20 centred\\par "
                           "still centred\\par "
                           "\\pard right\\qr\\par"
                           "{\\qj grouped\\par}"
                           "after group\\par"
                           "\\pard\\qj last without par}";
    const RichDocument d = ReadRtf(rtf);
    ASSERT_EQ(d.Paragraphs().size(), 6u);
    const auto& p = d.Paragraphs();
    RichParaFormat centred;
    centred.alignment = RichAlignment::Center;
    centred.li = 100;
    centred.ri = 50;
    centred.fi = -20;
    EXPECT_EQ(p[0].format, centred);
    EXPECT_EQ(p[1].format, centred);
    EXPECT_EQ(p[2].format.alignment, RichAlignment::Right); // properties at \par count
    EXPECT_EQ(p[2].format.li, 0);
    EXPECT_EQ(p[3].format.alignment, RichAlignment::Justify);
    EXPECT_EQ(p[4].format.alignment, RichAlignment::Right); // the group restored it
    EXPECT_EQ(p[5].format.alignment, RichAlignment::Justify);
}

TEST(RtfReader, NumberingInBothForms)
{
    // The older \pn form, as word processors of the 1990s wrote it, then the list-table form.
    const QByteArray rtf =
        "{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}"
        "{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat3{\\leveltext\\'02\\'00.;}}"
        "{\\listlevel\\levelnfc4\\levelnfcn2}\\listid7}"
        "{\\list{\\listlevel\\levelnfc23}\\listid8}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0{\\lfolevel"
        "\\levelstartat9}\\ls1}{\\listoverride\\listid8\\ls2}}"
        "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}bullet\\par"
        "{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart4{\\pntxta .}}roman\\par"
        "{\\*\\pn\\pnlvl3\\pnlcltr}outline\\par"
        "\\pard plain\\par"
        "\\ls1 list one\\par"
        "\\ilvl1 level two\\par"
        "\\pard\\ls2\\ilvl0 list bullet\\par"
        "\\pard\\ls5 unknown override\\par"
        "\\pard\\ls1\\ilvl5 missing level\\par}";
    const RichDocument d = ReadRtf(rtf);
    ASSERT_EQ(d.Paragraphs().size(), 9u);
    EXPECT_EQ(d.PlainText(), "bullet\nroman\noutline\nplain\nlist one\nlevel two\nlist "
                             "bullet\nunknown override\nmissing level");
    const RichNumbering expected[] = {
        {RichNumberStyle::Bullet, 0, 1},      {RichNumberStyle::UpperRoman, 0, 4},
        {RichNumberStyle::LowerLetter, 2, 1}, {},
        {RichNumberStyle::Arabic, 0, 3},      {RichNumberStyle::LowerRoman, 1, 1},
        {RichNumberStyle::Bullet, 0, 1},      {RichNumberStyle::Bullet, 0, 1},
        {RichNumberStyle::LowerRoman, 5, 1},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(d.Paragraphs()[i].format.numbering, expected[i]);
    }
}

TEST(RtfReader, HostileInputStaysBounded)
{
    // Deep nesting, long words and long runs of escapes: all read, text kept.
    const int n = 200000;
    const struct
    {
        const char* name;
        QByteArray rtf;
        QString text;
    } table[] = {
        {"deep nesting", "{\\rtf1 " + QByteArray(n, '{') + "x" + QByteArray(n, '}') + "y}", "xy"},
        {"deep nesting with formats",
         "{\\rtf1 " + QByteArray("{\\b").repeated(n) + " x" + QByteArray(n, '}') + "y}", "xy"},
        {"deep skipped group", "{\\rtf1 {\\*\\x" + QByteArray(n, '{') + QByteArray(n, '}') + "}z}",
         "z"},
        {"long control word", "{\\rtf1 \\" + QByteArray(n, 'a') + " b}", "b"},
        {"long parameter", "{\\rtf1 \\fs" + QByteArray(n, '9') + " b}", "b"},
        {"many \\u", "{\\rtf1 " + QByteArray("\\u233?").repeated(n) + "}", QString(n, QChar(0xe9))},
        {"many paragraphs", "{\\rtf1 " + QByteArray("\\par").repeated(n) + "}",
         QString(n - 1, '\n')},
    };
    for (const auto& t : table) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(ReadRtf(t.rtf).PlainText(), t.text);
        EXPECT_EQ(RtfPlainText(t.rtf), t.text);
    }
}

TEST(RtfReader, FastPathAgreesOnDamagedInput)
{
    // Random cuts and byte changes of a rich sample: the reader survives and both ways of
    // reading give the same text.
    const QByteArray base =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset128 "
        "M;}}{\\colortbl;\\red255\\green0\\blue0;}{\\*\\listtable{\\list{\\listlevel\\levelnfc23}"
        "\\listid1}}{\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1\\qc "
        "{\\b\\cf1 bold}\\tab\\u233?\\line{\\f1\\'82\\'a0}\\par{\\pict\\bin3 {}}"
        "{\\field{\\*\\fldinst x}{\\fldrslt r}}\\cell\\row\\'e9\\uc2\\u26085\\'93\\'fa end\\par}";
    ExpectFastPathAgrees(base);
    std::mt19937 rng(12345);
    const char alphabet[] = "{}\\'*;09afuxcbp -\x80\xff";
    for (int i = 0; i < 3000; ++i) {
        QByteArray m = base;
        const int edits = 1 + int(rng() % 4);
        for (int e = 0; e < edits && !m.isEmpty(); ++e) {
            const int pos = int(rng() % m.size());
            switch (rng() % 3) {
            case 0:
                m[pos] = alphabet[rng() % (sizeof(alphabet) - 1)];
                break;
            case 1:
                m.remove(pos, 1 + int(rng() % 8));
                break;
            case 2:
                m.truncate(std::max(5, pos));
                break;
            }
        }
        if (!m.startsWith("{\\rtf"))
            continue;
        ExpectFastPathAgrees(m);
        if (HasFailure())
            break;
    }
}

TEST(RtfReader, FuzzFindingsStayFixed)
{
    // Inputs the fuzzer once found failing, held to the fuzz target's own checks.
    const QDir dir(QStringLiteral(VYN_RTF_DATA_DIR "/fuzz"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray in = f.readAll();
        const RichDocument doc = ReadRtf(in);
        EXPECT_EQ(RtfPlainText(in), doc.PlainText());
        EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc);
    }
}
