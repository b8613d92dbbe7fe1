#pragma once

#include <QColor>
#include <QString>

#include <vector>

namespace vyn {

// Character attributes of a run of text.
struct RichCharFormat
{
    QString fontName;        // empty: the editor's default font
    int sizeHalfPoints = 24; // RTF measures font size in half points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color; // invalid: automatic (the window text colour)

    int SizePoints() const { return sizeHalfPoints / 2; }

    bool operator==(const RichCharFormat&) const = default;
};

enum class RichAlignment { Left, Center, Right, Justify };

// Values are RTF's number formats (\levelnfc), so a kind the editor does not show itself is
// still carried through unchanged.
enum class RichNumberStyle : int {
    Arabic = 0,
    UpperRoman = 1,
    LowerRoman = 2,
    UpperLetter = 3,
    LowerLetter = 4,
    Ordinal = 5,
    CardinalText = 6,
    OrdinalText = 7,
    Bullet = 23,
    None = 255,
};

struct RichNumbering
{
    RichNumberStyle style = RichNumberStyle::None;
    int level = 0; // 0..8
    int start = 1;

    bool IsNone() const { return style == RichNumberStyle::None; }
    bool operator==(const RichNumbering&) const = default;
};

// Paragraph attributes, held as RTF has them so that reading and writing are exact. The
// toolkit's three indents are a different but equivalent view of the same three numbers.
struct RichParaFormat
{
    RichAlignment alignment = RichAlignment::Left;
    int li = 0; // left edge of the paragraph's body, twips
    int fi = 0; // first line relative to li, twips (negative hangs)
    int ri = 0; // right indent, twips
    RichNumbering numbering;

    int FirstIndent() const { return li + fi; }
    int LeftIndent() const { return -fi; }
    int RightIndent() const { return ri; }
    void SetIndents(int firstIndent, int leftIndent, int rightIndent)
    {
        fi = -leftIndent;
        li = firstIndent + leftIndent;
        ri = rightIndent;
    }

    bool operator==(const RichParaFormat&) const = default;
};

struct RichRun
{
    QString text;
    RichCharFormat format;

    bool operator==(const RichRun&) const = default;
};

struct RichParagraph
{
    RichParaFormat format;
    std::vector<RichRun> runs;

    QString Text() const;
    bool operator==(const RichParagraph&) const = default;
};

// A rich text document as the editor holds it: a sequence of paragraphs of formatted runs.
// Run text holds no paragraph breaks; a line break inside a paragraph is U+2028 and a tab is
// '\t'. Adjacent runs of one format are merged and no run is empty, so two documents showing the
// same content compare equal.
class RichDocument
{
public:
    RichDocument() = default;

    const std::vector<RichParagraph>& Paragraphs() const { return m_paras; }
    std::vector<RichParagraph>& Paragraphs() { return m_paras; }

    // Appends text to the last paragraph (starting one if there is none).
    void AppendText(const QString& text, const RichCharFormat& format = {});
    void AppendParagraph(const RichParaFormat& format = {});

    // One position per character and one per paragraph break: paragraphs joined by '\n'.
    QString PlainText() const;

    bool operator==(const RichDocument&) const = default;

private:
    std::vector<RichParagraph> m_paras;
};

} // namespace vyn
