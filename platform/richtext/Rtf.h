#pragma once

#include "platform/richtext/RichDocument.h"

#include <QByteArray>
#include <QString>

namespace vyn {

// True when the bytes are RTF, i.e. start with "{\rtf"; anything else is plain text.
bool IsRtf(const QByteArray& data);
bool IsRtf(const QString& data);

// Reads RTF, or plain text when the data is not RTF (UTF-8 if valid, else Windows-1252; each
// line a paragraph). Never fails: malformed or truncated RTF gives the text it holds.
//
// Paragraphs: every \par closes one; text after the last \par makes a final paragraph only when
// it holds characters, so "a\par" is one paragraph, "a\par b" two, and "{\rtf1 }" none.
// \line is U+2028 inside the paragraph, \tab is '\t'.
RichDocument ReadRtf(const QByteArray& data);
RichDocument ReadRtf(const QString& data);

// The document's PlainText() without building the document, for searching many records.
QString RtfPlainText(const QByteArray& data);
QString RtfPlainText(const QString& data);

// Compact 7-bit RTF; every paragraph ends with \par. ReadRtf gives the document back unchanged.
QByteArray WriteRtf(const RichDocument& doc);

} // namespace vyn
