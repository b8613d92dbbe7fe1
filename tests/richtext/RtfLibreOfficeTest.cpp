// RTF exchanged with LibreOffice: samples it wrote (kept as test data, with the text its own
// export gives for them), and what our writer produces, opened by soffice where it is installed.
#include "platform/richtext/Rtf.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <gtest/gtest.h>

using namespace vyn;

namespace {

RichCharFormat Named(const QString& font, int halfPoints = 24)
{
    RichCharFormat f;
    f.fontName = font;
    f.sizeHalfPoints = halfPoints;
    return f;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << path.toStdString();
    return f.readAll();
}

QByteArray Sample(const QString& name)
{
    return ReadFile(QStringLiteral(VYN_RTF_DATA_DIR "/") + name);
}

// LibreOffice's text export: one line per paragraph and per line break, list labels in front.
QStringList LibreOfficeLines(QByteArray txt)
{
    if (txt.startsWith("\xef\xbb\xbf"))
        txt.remove(0, 3);
    QString s = QString::fromUtf8(txt);
    if (s.endsWith('\n'))
        s.chop(1);
    return s.split('\n');
}

// Compares the document's text with LibreOffice's export of the same RTF. The editor keeps list
// labels out of the text, so a numbered paragraph's line may carry one in front.
void ExpectSameText(const RichDocument& doc, const QStringList& lo)
{
    static const QRegularExpression label("^\\s*\\S+\\s+$");
    int line = 0;
    for (const RichParagraph& p : doc.Paragraphs()) {
        const QStringList ours = p.Text().split(QChar(0x2028));
        for (int i = 0; i < ours.size(); ++i, ++line) {
            ASSERT_LT(line, lo.size()) << "LibreOffice has fewer lines";
            const QString& theirs = lo[line];
            if (i == 0 && !p.format.numbering.IsNone()) {
                EXPECT_TRUE(theirs.endsWith(ours[i]) &&
                            label.match(theirs.chopped(ours[i].size())).hasMatch())
                    << "line " << line << ": " << theirs.toStdString();
            } else {
                EXPECT_EQ(theirs, ours[i]) << "line " << line;
            }
        }
    }
    EXPECT_EQ(line, lo.size()) << "LibreOffice has more lines";
}

const RichRun* FindRun(const RichDocument& d, const QString& text)
{
    for (const RichParagraph& p : d.Paragraphs())
        for (const RichRun& r : p.runs)
            if (r.text == text)
                return &r;
    return nullptr;
}

} // namespace

TEST(RtfLibreOffice, SamplesGiveLibreOfficesText)
{
    for (const char* name : {"fonts", "lists", "layout", "international", "breaks"}) {
        SCOPED_TRACE(name);
        const QByteArray rtf = Sample(QString(name) + ".rtf");
        const RichDocument doc = ReadRtf(rtf);
        ExpectSameText(doc, LibreOfficeLines(Sample(QString(name) + ".txt")));
        EXPECT_EQ(RtfPlainText(rtf), doc.PlainText());
        EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc);
    }
}

TEST(RtfLibreOffice, SampleCharacterFormats)
{
    const RichDocument d = ReadRtf(Sample("fonts.rtf"));
    const auto fmt = [&](const char* text) {
        const RichRun* r = FindRun(d, text);
        EXPECT_TRUE(r) << text;
        return r ? r->format : RichCharFormat{};
    };
    EXPECT_EQ(fmt("Plain serif text."), Named("Liberation Serif"));
    const RichCharFormat sans = Named("Liberation Sans", 28);
    const struct
    {
        const char* text;
        bool b, i, u, s;
    } styles[] = {{"Bold", 1, 0, 0, 0},
                  {"italic", 0, 1, 0, 0},
                  {"underlined", 0, 0, 1, 0},
                  {"struck", 0, 0, 0, 1},
                  {"bold italic", 1, 1, 0, 0}};
    for (const auto& s : styles) {
        RichCharFormat f = sans;
        f.bold = s.b, f.italic = s.i, f.underline = s.u, f.strikeOut = s.s;
        EXPECT_EQ(fmt(s.text), f) << s.text;
    }
    const RichCharFormat mono = Named("Liberation Mono", 20);
    EXPECT_EQ(fmt("Mono "), mono);
    for (const auto& [text, rgb] :
         {std::pair{"red", 0xff0000}, {"blue", 0x0000ff}, {"green", 0x008000}}) {
        RichCharFormat f = mono;
        f.color = QColor::fromRgb(QRgb(rgb));
        EXPECT_EQ(fmt(text), f) << text;
    }
    EXPECT_EQ(fmt("Twenty points").sizeHalfPoints, 40);
}

TEST(RtfLibreOffice, SampleParagraphFormats)
{
    const RichDocument layout = ReadRtf(Sample("layout.rtf"));
    const struct
    {
        RichAlignment align;
        int first, left, right; // the toolkit's indents
    } expected[] = {
        {RichAlignment::Left, 0, 0, 0},         {RichAlignment::Center, 0, 0, 0},
        {RichAlignment::Right, 0, 0, 0},        {RichAlignment::Justify, 0, 0, 0},
        {RichAlignment::Left, 1440, 0, 0},      {RichAlignment::Left, 720, 720, 0},
        {RichAlignment::Left, 720, -720, 1440},
    };
    ASSERT_EQ(layout.Paragraphs().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const RichParaFormat& f = layout.Paragraphs()[i].format;
        EXPECT_EQ(f.alignment, expected[i].align);
        EXPECT_EQ(f.FirstIndent(), expected[i].first);
        EXPECT_EQ(f.LeftIndent(), expected[i].left);
        EXPECT_EQ(f.RightIndent(), expected[i].right);
    }

    using S = RichNumberStyle;
    const RichDocument lists = ReadRtf(Sample("lists.rtf"));
    const S styles[] = {S::None,        S::Bullet,     S::Bullet,     S::None,
                        S::Arabic,      S::Arabic,     S::Arabic,     S::LowerLetter,
                        S::LowerLetter, S::UpperRoman, S::UpperRoman, S::None};
    ASSERT_EQ(lists.Paragraphs().size(), std::size(styles));
    for (size_t i = 0; i < std::size(styles); ++i) {
        SCOPED_TRACE(i);
        const RichParaFormat& f = lists.Paragraphs()[i].format;
        EXPECT_EQ(f.numbering.style, styles[i]);
        if (styles[i] != S::None) {
            EXPECT_EQ(f.numbering.start, 1);
            EXPECT_EQ(f.li, 709);
            EXPECT_EQ(f.fi, -283);
        }
    }

    const RichDocument breaks = ReadRtf(Sample("breaks.rtf"));
    ASSERT_EQ(breaks.Paragraphs().size(), 5u);
    EXPECT_EQ(breaks.Paragraphs()[0].Text(), "Name\tQty\tPrice");
    EXPECT_EQ(breaks.Paragraphs()[2].Text(), QString("First line") + QChar(0x2028) + "second line" +
                                                 QChar(0x2028) + "third, bold");
    ASSERT_TRUE(FindRun(breaks, "third, bold"));
    EXPECT_TRUE(FindRun(breaks, "third, bold")->format.bold);
    EXPECT_TRUE(breaks.Paragraphs()[3].runs.empty());
}

namespace {

// Runs soffice on one file; its own profile folder keeps parallel runs apart.
bool Convert(const vyn::test::TempDir& dir, const QString& file, const QString& to,
             const QString& outDir)
{
    QProcess p;
    p.start(
        QStandardPaths::findExecutable("soffice"),
        QStringList{"-env:UserInstallation=" + QUrl::fromLocalFile(dir.File("profile")).toString(),
                    "--headless", "--convert-to", to, "--outdir", outDir, file});
    return p.waitForFinished(120000) && p.exitCode() == 0;
}

RichDocument EverythingDocument()
{
    RichDocument d;
    RichParaFormat para;
    d.AppendParagraph(para);
    RichCharFormat f;
    f.fontName = "Liberation Serif";
    d.AppendText("Plain, ", f);
    f.bold = true;
    d.AppendText("bold, ", f);
    f.bold = false, f.italic = true;
    d.AppendText("italic, ", f);
    f.italic = false, f.underline = true;
    d.AppendText("underlined, ", f);
    f.underline = false, f.strikeOut = true;
    d.AppendText("struck, ", f);
    f.strikeOut = false, f.color = QColor(200, 0, 0);
    d.AppendText("red, ", f);
    f.color = QColor(), f.fontName = "Liberation Mono", f.sizeHalfPoints = 32;
    d.AppendText("mono 16pt", f);

    const RichCharFormat serif = Named("Liberation Sans");
    para.alignment = RichAlignment::Center;
    d.AppendParagraph(para);
    d.AppendText(QString::fromUtf8("Centred: café € “ok” Ελληνικά Русский 日本語 😀"), serif);
    para.alignment = RichAlignment::Right;
    d.AppendParagraph(para);
    d.AppendText(QString("Right\ttab") + QChar(0x2028) + "after a line break", serif);
    para.alignment = RichAlignment::Justify;
    para.SetIndents(720, 360, 1440);
    d.AppendParagraph(para);
    d.AppendText("Justified with a hanging indent {braces} \\backslash", serif);
    d.AppendParagraph();
    const RichNumberStyle kinds[] = {RichNumberStyle::Bullet, RichNumberStyle::Bullet,
                                     RichNumberStyle::Arabic, RichNumberStyle::LowerLetter,
                                     RichNumberStyle::UpperRoman};
    int i = 0;
    for (RichNumberStyle k : kinds) {
        RichParaFormat n;
        n.numbering = {k, k == RichNumberStyle::LowerLetter ? 1 : 0, 1};
        n.SetIndents(360 * (n.numbering.level + 1), 360, 0);
        d.AppendParagraph(n);
        d.AppendText("item " + QString::number(++i), serif);
    }
    d.AppendParagraph();
    d.AppendText("The end.", serif);
    return d;
}

} // namespace

TEST(RtfLibreOffice, WrittenRtfOpensInLibreOffice)
{
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "soffice (LibreOffice) is not on PATH; install libreoffice-writer-nogui to "
                        "check that LibreOffice opens the RTF this writer produces";
    const vyn::test::TempDir dir;
    const RichDocument doc = EverythingDocument();
    const QString file = dir.File("ours.rtf");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(WriteRtf(doc));
    }

    // The text LibreOffice sees is ours.
    ASSERT_TRUE(Convert(dir, file, "txt:Text (encoded):UTF8,LF,,,", dir.Path()));
    ExpectSameText(doc, LibreOfficeLines(ReadFile(dir.File("ours.txt"))));

    // And so is the formatting: LibreOffice's own RTF of our document reads back to it.
    QDir(dir.Path()).mkdir("lo");
    ASSERT_TRUE(Convert(dir, file, "rtf", dir.File("lo")));
    const RichDocument back = ReadRtf(ReadFile(dir.File("lo/ours.rtf")));
    ASSERT_EQ(back.Paragraphs().size(), doc.Paragraphs().size());
    for (size_t i = 0; i < doc.Paragraphs().size(); ++i) {
        SCOPED_TRACE(i);
        const RichParagraph& ours = doc.Paragraphs()[i];
        const RichParagraph& theirs = back.Paragraphs()[i];
        EXPECT_EQ(theirs.Text(), ours.Text());
        EXPECT_EQ(theirs.format.alignment, ours.format.alignment);
        EXPECT_EQ(theirs.format.numbering.style, ours.format.numbering.style);
        EXPECT_EQ(theirs.format.numbering.level, ours.format.numbering.level);
        EXPECT_EQ(theirs.format.FirstIndent(), ours.format.FirstIndent());
        EXPECT_EQ(theirs.format.LeftIndent(), ours.format.LeftIndent());
        EXPECT_EQ(theirs.format.RightIndent(), ours.format.RightIndent());
        for (const RichRun& r : ours.runs) {
            const RichRun* t = FindRun(back, r.text);
            ASSERT_TRUE(t) << r.text.toStdString();
            EXPECT_EQ(t->format, r.format) << r.text.toStdString();
        }
    }
}
