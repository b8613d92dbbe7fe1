#pragma once

// The rich edit control: formatted text edited in a QTextEdit, loaded and saved as RTF through
// the codec.
//
// OnChange (the virtual Change) runs after every load and every change of text or formatting.
//
// Positions (SelStart, SelLength, GetTextLen, FindText) count the editor's plain text, the
// codec's PlainText(): one per character and one per paragraph break. Text and SelText give
// that plain text with '\n' for each paragraph break, so their lengths agree with the
// positions; a line break inside a paragraph is U+2028.

#include "platform/core/Set.h"
#include "platform/core/Types.h"
#include "platform/richtext/RichDocument.h"
#include "platform/ui/StdCtrls.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QFont;
class QTextEdit;
class QTextCharFormat;

namespace vyn {

VYN_ENUM(TSearchType, stWholeWord, stMatchCase)
using TSearchTypes = Set<TSearchType>;
VYN_ENUM(TNumberingStyle, nsNone, nsBullet)
VYN_ENUM(TAttributeType, atSelected, atDefaultText)

// Values the paragraph attributes read outside the named ones: a justified paragraph, and a
// numbering other than a plain bullet. Writing them back gives justified text and arabic
// numbering.
constexpr TAlignment taJustify = TAlignment(3);
constexpr TNumberingStyle nsArabicNumbers = TNumberingStyle(2);

class TCustomRichEdit;
class TRichEditStrings;
class TRichEditWidget;

// Character attributes of the selection (or of the insertion point when nothing is selected),
// or the control's default ones (its Font). Reading gives the first selected character's;
// writing applies to the whole selection at once.
class TTextAttributes : public TPersistent
{
    VYN_CLASS(TTextAttributes, TPersistent)
public:
    TTextAttributes(TCustomRichEdit* AOwner, TAttributeType AType);

    QString Name() const;
    void SetName(const QString& Value);
    // Points.
    int Size() const;
    void SetSize(int Value);
    // Pixels at 96 per inch; a negative height is taken as its size.
    int Height() const;
    void SetHeight(int Value);
    TFontStyles Style() const;
    void SetStyle(TFontStyles Value);
    TColor Color() const;
    void SetColor(TColor Value);
    int Charset() const;
    void SetCharset(int Value);

    // From a TFont or other text attributes, as one change.
    void Assign(TPersistent* Source) override;

protected:
    // To a TFont.
    void AssignTo(TPersistent* Dest) override;

private:
    struct Values;
    Values Get() const;
    void Set(const Values& v, int fields);

    TCustomRichEdit* m_edit;
    TAttributeType m_type;
};

// Paragraph attributes of the paragraphs the selection touches (the caret's paragraph when
// nothing is selected; a selection that ends at the very start of a paragraph does not touch
// it). Reading gives the first paragraph's; each write applies at once to all of them.
// Indents are whole points: the editor keeps twips, reading divides by 20 towards zero and
// writing multiplies by 20. FirstIndent is the first line's indent from the left margin,
// LeftIndent that of the following lines from the first line's, RightIndent from the right
// margin.
class TParaAttributes : public TPersistent
{
    VYN_CLASS(TParaAttributes, TPersistent)
public:
    explicit TParaAttributes(TCustomRichEdit* AOwner) : m_edit(AOwner) {}

    int FirstIndent() const;
    void SetFirstIndent(int Value);
    int LeftIndent() const;
    void SetLeftIndent(int Value);
    int RightIndent() const;
    void SetRightIndent(int Value);
    // taJustify for a justified paragraph.
    TAlignment Alignment() const;
    void SetAlignment(TAlignment Value);
    // nsArabicNumbers for any numbering that is not a plain bullet. Writing nsBullet first
    // raises a LeftIndent below 10 to 10; writing nsNone first sets LeftIndent to 0.
    TNumberingStyle Numbering() const;
    void SetNumbering(TNumberingStyle Value);

    void Assign(TPersistent* Source) override;

private:
    TCustomRichEdit* m_edit;
};

// Where Print sends its output: a PDF file when a name is set, else the default printer. The
// environment variable VYN_PRINT_PDF gives the initial name.
void SetPrintToPdf(const QString& FileName);
QString PrintToPdf();

class TCustomRichEdit : public TCustomEdit
{
    VYN_CLASS(TCustomRichEdit, TCustomEdit)
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    ~TCustomRichEdit() override;

    // Setting: text starting with "{\rtf" is read as RTF (unless PlainText), anything else as
    // plain text, one paragraph per line. Loading clears Modified and fires OnChange.
    QString GetText() const override;
    void SetText(const QString& Value) override;
    int GetTextLen() const;
    // Loads bytes as SetText does (plain bytes: UTF-8 when valid, else Windows-1252).
    void LoadRichText(const QByteArray& Data);
    // The whole document as RTF, whatever PlainText says.
    QByteArray RichText() const;

    // The paragraphs as lines. LoadFromStream and SetText read RTF as the control's SetText
    // does; SaveToStream writes RTF, or plain text when PlainText is set.
    TStrings* Lines() const;
    void SetLines(TStrings* Value);
    bool PlainText() const { return m_plainText; }
    void SetPlainText(bool Value) { m_plainText = Value; }

    int SelStart() const override;
    void SetSelStart(int Value) override;
    int SelLength() const override;
    void SetSelLength(int Value) override;
    QString SelText() const override;
    void SetSelText(const QString& Value) override;
    void SetSelTextBuf(const QString& Buf) { SetSelText(Buf); }
    void SelectAll() override;
    void CopyToClipboard() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;

    // Set by any change of text or of formatting after a load, the user's or the program's.
    bool Modified() const override { return m_modified; }
    void SetModified(bool Value) override { m_modified = Value; }

    // The first occurrence of SearchStr lying wholly inside [StartPos, StartPos + Length),
    // searching forward, or -1. A negative Length runs to the end. stWholeWord wants no letter,
    // digit or underscore on either side of the occurrence.
    int FindText(const QString& SearchStr, int StartPos, int Length, TSearchTypes Options) const;

    TTextAttributes* SelAttributes() const { return m_selAttributes.get(); }
    void SetSelAttributes(TTextAttributes* Value) { m_selAttributes->Assign(Value); }
    TTextAttributes* DefAttributes() const { return m_defAttributes.get(); }
    void SetDefAttributes(TTextAttributes* Value) { m_defAttributes->Assign(Value); }
    TParaAttributes* Paragraph() const { return m_paragraph.get(); }

    // Prints the whole document with Caption as the job title (PrintToPdf directs it to a
    // file). Raises EPrinter when there is no printer or the output cannot be written.
    void Print(const QString& Caption);

    bool WantReturns() const { return m_wantReturns; }
    void SetWantReturns(bool Value) { m_wantReturns = Value; }
    bool WantTabs() const { return m_wantTabs; }
    void SetWantTabs(bool Value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle Value);

    // The editor widget, holding the current content.
    QTextEdit* Editor() const;

protected:
    // Runs before the user's paste (Ctrl+V, Shift+Insert) or PasteFromClipboard reaches the
    // editor, also when it is read-only; a descendant can make it writable here.
    virtual void BeforePaste() {}
    bool WantsKey(Word Key) const override;
    bool WidgetEvent(QWidget* Watched, QEvent* Event) override;
    void ApplyReadOnly() override;
    void ApplyMaxLength() override;

private:
    friend class TTextAttributes;
    friend class TParaAttributes;
    friend class TRichEditStrings;
    friend class TRichEditWidget;

    // Loading is lazy: the content waits here until something needs the editor (a read of the
    // selection or formatting, a key, a click, a paint, or the event loop's next turn). Text,
    // GetTextLen and FindText answer from its plain text, so walking many records costs little
    // more than reading their plain text.
    struct Pending
    {
        enum Kind { RtfBytes, RtfString, Plain } kind;
        QByteArray bytes; // RtfBytes
        QString text;     // RtfString, or Plain already as the editor holds it
    };
    void Load(Pending Content);
    void LoadPlain(const QString& Text, bool DropLastBreak);
    void ContentsChanged();
    QTextCharFormat SelectionCharFormat() const;
    RichParaFormat SelectedParaFormat() const;
    template <class F> void ChangeParagraphs(F Change);
    void Materialize() const;
    const QString& Plain() const;
    // The font that text without a font of its own shows in, at the size the Font says.
    QFont DefaultFont() const;
    TRichEditWidget* RichWidget() const;

    std::unique_ptr<TRichEditStrings> m_lines;
    std::unique_ptr<TTextAttributes> m_selAttributes;
    std::unique_ptr<TTextAttributes> m_defAttributes;
    std::unique_ptr<TParaAttributes> m_paragraph;
    mutable std::optional<Pending> m_pending;
    mutable std::optional<QString> m_plain; // cache of the plain text
    mutable bool m_loading = false;
    mutable bool m_materializeQueued = false;
    bool m_modified = false;
    bool m_plainText = false;
    bool m_wantReturns = true;
    bool m_wantTabs = false;
    bool m_wordWrap = true;
    TScrollStyle m_scrollBars = ssNone;
};

class TRichEdit : public TCustomRichEdit
{
    VYN_CLASS(TRichEdit, TCustomRichEdit)
public:
    using TCustomRichEdit::TCustomRichEdit;
};

} // namespace vyn
