#include "platform/richtext/RichTextDocument.h"

#include "platform/ui/Graphics.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <cmath>

namespace vyn::richtext {

namespace {

// Document units are pixels at 96 per inch: 15 twips each.
constexpr double kTwipsPerUnit = 15.0;

constexpr char16_t kBeginFrame = 0xFDD0;
constexpr char16_t kEndFrame = 0xFDD1;
constexpr char16_t kObject = 0xFFFC;

QTextListFormat::Style ListStyleOf(RichNumberStyle Style)
{
    switch (Style) {
    case RichNumberStyle::Bullet:
        return QTextListFormat::ListDisc;
    case RichNumberStyle::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case RichNumberStyle::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case RichNumberStyle::UpperLetter:
        return QTextListFormat::ListUpperAlpha;
    case RichNumberStyle::LowerLetter:
        return QTextListFormat::ListLowerAlpha;
    default:
        return QTextListFormat::ListDecimal;
    }
}

// A list pasted from elsewhere has only Qt's style.
RichNumberStyle NumberStyleOf(QTextListFormat::Style Style)
{
    switch (Style) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare:
        return RichNumberStyle::Bullet;
    case QTextListFormat::ListUpperRoman:
        return RichNumberStyle::UpperRoman;
    case QTextListFormat::ListLowerRoman:
        return RichNumberStyle::LowerRoman;
    case QTextListFormat::ListUpperAlpha:
        return RichNumberStyle::UpperLetter;
    case QTextListFormat::ListLowerAlpha:
        return RichNumberStyle::LowerLetter;
    default:
        return RichNumberStyle::Arabic;
    }
}

QTextListFormat ListFormatOf(const RichNumbering& n)
{
    QTextListFormat f;
    f.setStyle(ListStyleOf(n.style));
    f.setProperty(NumberStyle, int(n.style));
    f.setProperty(NumberLevel, n.level);
    f.setProperty(NumberStart, n.start);
    return f;
}

RichNumbering NumberingOf(const QTextBlock& Block)
{
    RichNumbering n;
    const QTextList* list = Block.textList();
    if (!list)
        return n;
    const QTextListFormat f = list->format();
    n.style = f.hasProperty(NumberStyle) ? RichNumberStyle(f.intProperty(NumberStyle))
                                         : NumberStyleOf(f.style());
    if (f.hasProperty(NumberLevel))
        n.level = f.intProperty(NumberLevel);
    if (f.hasProperty(NumberStart))
        n.start = f.intProperty(NumberStart);
    return n;
}

int TwipsOf(const QTextBlockFormat& f, int Prop, double Units)
{
    return f.hasProperty(Prop) ? f.intProperty(Prop) : int(std::lround(Units * kTwipsPerUnit));
}

QTextBlockFormat BlockFormatOf(QTextBlockFormat f, const RichParaFormat& p)
{
    static constexpr Qt::Alignment align[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                              Qt::AlignJustify};
    f.setAlignment(align[int(p.alignment)]);
    f.setProperty(LeftTwips, p.li);
    f.setProperty(FirstTwips, p.fi);
    f.setProperty(RightTwips, p.ri);
    f.setLeftMargin(p.li / kTwipsPerUnit);
    // A list's marker hangs in the indent: the first line starts with the others.
    f.setTextIndent(p.numbering.IsNone() ? p.fi / kTwipsPerUnit : 0);
    f.setRightMargin(p.ri / kTwipsPerUnit);
    return f;
}

} // namespace

QString EditorText(QString Text)
{
    for (QChar& c : Text) {
        switch (c.unicode()) {
        case u'\r':
        case QChar::ParagraphSeparator:
            c = QLatin1Char('\n');
            break;
        case kBeginFrame:
        case kEndFrame:
        case kObject:
            c = QChar::ReplacementCharacter;
            break;
        default:
            break;
        }
    }
    return Text;
}

QTextCharFormat CharFormatOf(const RichCharFormat& r)
{
    QTextCharFormat f;
    if (!r.fontName.isEmpty()) {
        f.setFontFamilies({FontFamilyFor(r.fontName)});
        f.setProperty(FontName, r.fontName);
    }
    f.setFontPointSize(r.sizeHalfPoints / 2.0);
    f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(r.italic);
    f.setFontUnderline(r.underline);
    f.setFontStrikeOut(r.strikeOut);
    if (r.color.isValid())
        f.setForeground(r.color);
    return f;
}

QString FontNameOf(const QTextCharFormat& f)
{
    if (f.hasProperty(FontName))
        return f.stringProperty(FontName);
    const QStringList families = f.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

RichCharFormat RichCharFormatOf(const QTextCharFormat& f, const QFont& d)
{
    RichCharFormat r;
    r.fontName = FontNameOf(f);
    const double points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize()
                          : d.pointSizeF() > 0                      ? d.pointSizeF()
                                                                    : d.pixelSize() * 0.75;
    r.sizeHalfPoints = std::max(1, int(std::lround(points * 2)));
    r.bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold : d.bold();
    r.italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : d.italic();
    r.underline =
        f.hasProperty(QTextFormat::FontUnderline) || f.hasProperty(QTextFormat::TextUnderlineStyle)
            ? f.fontUnderline()
            : d.underline();
    r.strikeOut = f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut() : d.strikeOut();
    // No brush is the automatic colour.
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        r.color = f.foreground().color();
    return r;
}

RichParaFormat ParaFormatOf(const QTextBlock& Block)
{
    const QTextBlockFormat f = Block.blockFormat();
    RichParaFormat p;
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    p.alignment = a & Qt::AlignHCenter   ? RichAlignment::Center
                  : a & Qt::AlignJustify ? RichAlignment::Justify
                  : a & Qt::AlignRight   ? RichAlignment::Right
                                         : RichAlignment::Left;
    p.numbering = NumberingOf(Block);
    p.li = TwipsOf(f, LeftTwips, f.leftMargin());
    p.fi = TwipsOf(f, FirstTwips, f.textIndent());
    p.ri = TwipsOf(f, RightTwips, f.rightMargin());
    return p;
}

void SetParaFormat(QTextCursor& Cursor, const RichParaFormat& Format)
{
    QTextBlock block = Cursor.block();
    if (NumberingOf(block) != Format.numbering) {
        if (QTextList* old = block.textList())
            old->remove(block);
        if (!Format.numbering.IsNone()) {
            const QTextBlock prev = block.previous();
            if (prev.isValid() && prev.textList() && NumberingOf(prev) == Format.numbering)
                prev.textList()->add(block);
            else
                Cursor.createList(ListFormatOf(Format.numbering));
        }
    }
    Cursor.setBlockFormat(BlockFormatOf(Cursor.block().blockFormat(), Format));
}

void InsertDocument(QTextCursor& Cursor, const RichDocument& Doc, bool Whole)
{
    const std::vector<RichParagraph>& paras = Doc.Paragraphs();
    for (size_t i = 0; i < paras.size(); ++i) {
        const RichParagraph& p = paras[i];
        if (i > 0) {
            Cursor.insertBlock(QTextBlockFormat(), p.runs.empty()
                                                       ? QTextCharFormat()
                                                       : CharFormatOf(p.runs.front().format));
        }
        if (i > 0 || Whole)
            SetParaFormat(Cursor, p.format);
        for (const RichRun& r : p.runs)
            Cursor.insertText(EditorText(r.text), CharFormatOf(r.format));
    }
}

RichDocument ExtractDocument(const QTextDocument& Doc, int From, int To, const QFont& Default)
{
    RichDocument out;
    const bool whole = From == 0 && To >= Doc.characterCount() - 1;
    if (whole && Doc.blockCount() == 1 && Doc.firstBlock().length() == 1)
        return out;
    for (QTextBlock b = Doc.findBlock(From); b.isValid() && b.position() <= To; b = b.next()) {
        out.AppendParagraph(ParaFormatOf(b));
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int start = std::max(From, frag.position());
            const int end = std::min(To, frag.position() + frag.length());
            if (start >= end)
                continue;
            out.AppendText(frag.text().mid(start - frag.position(), end - start),
                           RichCharFormatOf(frag.charFormat(), Default));
        }
    }
    return out;
}

QString PlainTextOf(const QTextDocument& Doc)
{
    QString s = Doc.toRawText();
    s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return s;
}

} // namespace vyn::richtext
