#pragma once

// Between the codec's document model and a QTextDocument, for the rich edit control. The
// editor keeps what RTF says exactly (indents in twips, the font name as written, the numbering
// kind) in properties of its formats, and shows an equivalent in Qt's own terms.

#include "platform/richtext/RichDocument.h"

#include <QFont>
#include <QString>
#include <QTextFormat>

class QTextBlock;
class QTextCursor;
class QTextDocument;

namespace vyn::richtext {

enum Property : int {
    LeftTwips = QTextFormat::UserProperty + 0x5600,
    FirstTwips,
    RightTwips,
    FontName,
    Charset,
    NumberStyle,
    NumberLevel,
    NumberStart,
};

// Text as the editor holds it: every paragraph break one '\n', and no character that the
// editor would take for a paragraph or frame boundary anywhere else.
QString EditorText(QString Text);

QTextCharFormat CharFormatOf(const RichCharFormat& Format);
// What a character shows, with the editor's default font filling in what its format leaves
// open.
RichCharFormat RichCharFormatOf(const QTextCharFormat& Format, const QFont& Default);
// The font name a format shows, as written (a classic name stays classic); empty for none.
QString FontNameOf(const QTextCharFormat& Format);

RichParaFormat ParaFormatOf(const QTextBlock& Block);
// Gives the cursor's paragraph these attributes, joining the previous paragraph's list when it
// has the same numbering.
void SetParaFormat(QTextCursor& Cursor, const RichParaFormat& Format);

// Inserts at the cursor: the first paragraph's text joins the cursor's paragraph (taking its
// attributes too when Whole, the document being empty), each later one starts a paragraph.
void InsertDocument(QTextCursor& Cursor, const RichDocument& Doc, bool Whole);
// The content from position From to To. The whole of a document that is one empty paragraph
// is an empty document.
RichDocument ExtractDocument(const QTextDocument& Doc, int From, int To, const QFont& Default);
// One position per character and per paragraph break.
QString PlainTextOf(const QTextDocument& Doc);

} // namespace vyn::richtext
