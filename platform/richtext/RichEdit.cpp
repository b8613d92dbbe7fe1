#include "platform/richtext/RichEdit.h"

#include "platform/core/Exception.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/Stream.h"
#include "platform/core/TypInfo.h"
#include "platform/richtext/CodePage.h"
#include "platform/richtext/RichTextDocument.h"
#include "platform/richtext/Rtf.h"
#include "platform/ui/TextSelection.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>

#include <algorithm>
#include <cmath>

namespace vyn {

using namespace richtext;

namespace {

QString& PrintTarget()
{
    static QString target = qEnvironmentVariable("VYN_PRINT_PDF");
    return target;
}

const char* const kRtfMimeTypes[] = {"text/rtf", "application/rtf"};

TColor TColorOf(const QColor& c)
{
    return TColor(c.red() | (c.green() << 8) | (c.blue() << 16));
}

QTextCharFormat CharFormatAt(const QTextDocument& Doc, int Pos)
{
    const QTextBlock b = Doc.findBlock(Pos);
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (Pos >= f.position() && Pos < f.position() + f.length())
            return f.charFormat();
    }
    return b.charFormat();
}

// Plain bytes as the codec reads them: UTF-8 when valid, else Windows-1252.
QString DecodePlain(const QByteArray& Data)
{
    if (Data.isValidUtf8())
        return QString::fromUtf8(Data);
    QString s;
    rtf::DecodeCodePage(1252, Data.constData(), size_t(Data.size()), s);
    return s;
}

QString WithoutCr(QString Text)
{
    return Text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

void SetPrintToPdf(const QString& FileName)
{
    PrintTarget() = FileName;
}

QString PrintToPdf()
{
    return PrintTarget();
}

// ---------------------------------------------------------------------------------------------

// The editor widget: hands the user's paste to the control first, and carries RTF on the
// clipboard so formatting survives copying between editors and other programs.
class TRichEditWidget : public QTextEdit
{
public:
    explicit TRichEditWidget(TCustomRichEdit* Owner) : m_owner(Owner) {}

protected:
    void keyPressEvent(QKeyEvent* Event) override
    {
        if (Event->matches(QKeySequence::Paste) &&
            !GuardEvent(m_owner, [this] { m_owner->BeforePaste(); }))
            return;
        QTextEdit::keyPressEvent(Event);
    }

    QMimeData* createMimeDataFromSelection() const override
    {
        QMimeData* data = QTextEdit::createMimeDataFromSelection();
        const QTextCursor c = textCursor();
        const QByteArray rtf = WriteRtf(ExtractDocument(*document(), c.selectionStart(),
                                                        c.selectionEnd(), m_owner->DefaultFont()));
        for (const char* type : kRtfMimeTypes)
            data->setData(QLatin1String(type), rtf);
        return data;
    }

    bool canInsertFromMimeData(const QMimeData* Source) const override
    {
        return std::any_of(std::begin(kRtfMimeTypes), std::end(kRtfMimeTypes),
                           [&](const char* t) { return Source->hasFormat(QLatin1String(t)); }) ||
               QTextEdit::canInsertFromMimeData(Source);
    }

    void insertFromMimeData(const QMimeData* Source) override
    {
        if (isReadOnly())
            return;
        for (const char* type : kRtfMimeTypes) {
            if (!Source->hasFormat(QLatin1String(type)))
                continue;
            QTextCursor c = textCursor();
            c.beginEditBlock();
            c.removeSelectedText();
            InsertDocument(c, ReadRtf(Source->data(QLatin1String(type))), false);
            c.endEditBlock();
            setTextCursor(c);
            ensureCursorVisible();
            return;
        }
        QTextEdit::insertFromMimeData(Source);
    }

private:
    TCustomRichEdit* m_owner;
};

// ---------------------------------------------------------------------------------------------

// The paragraphs as lines. A document of one empty paragraph has no lines.
class TRichEditStrings : public TStrings
{
    VYN_CLASS(TRichEditStrings, TStrings)
public:
    explicit TRichEditStrings(TCustomRichEdit* Edit) : m_edit(Edit) {}

    int Count() const override
    {
        const QTextDocument* d = Doc();
        return d->characterCount() <= 1 ? 0 : d->blockCount();
    }
    QString Get(int Index) const override { return Block(Index).text(); }
    void Put(int Index, const QString& S) override
    {
        const QTextBlock b = Block(Index);
        QTextCursor c(b);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        c.insertText(EditorText(WithoutCr(S)));
    }
    void Insert(int Index, const QString& S) override
    {
        const int n = Count();
        if (Index < 0 || Index > n)
            Error(QStringLiteral("List index out of bounds (%d)"), Index);
        const QString text = EditorText(WithoutCr(S));
        QTextCursor c(Doc());
        if (n == 0) {
            c.insertText(text);
        } else if (Index == n) {
            c.movePosition(QTextCursor::End);
            c.insertBlock();
            c.insertText(text);
        } else {
            c.setPosition(Block(Index).position());
            c.insertText(text);
            c.insertBlock();
        }
    }
    void Delete(int Index) override
    {
        const QTextBlock b = Block(Index);
        QTextCursor c(b);
        if (b.next().isValid()) {
            c.setPosition(b.next().position(), QTextCursor::KeepAnchor);
        } else if (b.previous().isValid()) {
            c.setPosition(b.previous().position() + b.previous().length() - 1);
            c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        } else {
            c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        }
        c.removeSelectedText();
    }
    void Clear() override { m_edit->LoadPlain(QString(), false); }

    void SetText(const QString& Value) override
    {
        if (!m_edit->PlainText() && IsRtf(Value))
            m_edit->SetText(Value);
        else
            m_edit->LoadPlain(WithoutCr(Value), true);
    }
    void LoadFromStream(TStream* Stream) override
    {
        const QByteArray data = Stream->ReadBytes();
        if (!m_edit->PlainText() && IsRtf(data))
            m_edit->LoadRichText(data);
        else
            m_edit->LoadPlain(WithoutCr(DecodePlain(data)), true);
    }
    void SaveToStream(TStream* Stream) const override
    {
        if (m_edit->PlainText())
            TStrings::SaveToStream(Stream);
        else
            Stream->WriteBytes(m_edit->RichText());
    }

protected:
    void SetUpdateState(bool Updating) override
    {
        m_edit->RichWidget()->setUpdatesEnabled(!Updating);
    }

private:
    QTextDocument* Doc() const { return m_edit->Editor()->document(); }
    QTextBlock Block(int Index) const
    {
        const int n = Count();
        if (Index < 0 || Index >= n)
            Error(QStringLiteral("List index out of bounds (%d)"), Index);
        return Doc()->findBlockByNumber(Index);
    }

    TCustomRichEdit* m_edit;
};

const TClassInfo& TRichEditStrings::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TRichEditStrings>("TRichEditStrings").Build();
    return info;
}

// ---------------------------------------------------------------------------------------------
// TTextAttributes

struct TTextAttributes::Values
{
    enum Field { Name = 1, Size = 2, Style = 4, Color = 8, Charset = 16, All = 31 };
    QString name;
    int size = 0;
    TFontStyles style;
    TColor color = clWindowText;
    int charset = DEFAULT_CHARSET;
};

const TClassInfo& TTextAttributes::StaticClassInfo()
{
    using C = TTextAttributes;
    static const TClassInfo info = TClassBuilder<C>("TTextAttributes")
                                       .Property("Charset", &C::Charset, &C::SetCharset)
                                       .Property("Color", &C::Color, &C::SetColor)
                                       .Property("Height", &C::Height, &C::SetHeight)
                                       .Property("Name", &C::Name, &C::SetName)
                                       .Property("Size", &C::Size, &C::SetSize)
                                       .Property("Style", &C::Style, &C::SetStyle)
                                       .Build();
    return info;
}

TTextAttributes::TTextAttributes(TCustomRichEdit* AOwner, TAttributeType AType)
    : m_edit(AOwner), m_type(AType)
{}

TTextAttributes::Values TTextAttributes::Get() const
{
    const TFont* font = m_edit->Font();
    Values v{font->Name(), font->Size(), font->Style(), font->Color(), font->Charset()};
    if (m_type == atDefaultText)
        return v;
    const QTextCharFormat f = m_edit->SelectionCharFormat();
    if (const QString name = FontNameOf(f); !name.isEmpty())
        v.name = name;
    if (f.hasProperty(QTextFormat::FontPointSize))
        v.size = int(f.fontPointSize());
    const RichCharFormat r = RichCharFormatOf(f, m_edit->DefaultFont());
    v.style = {};
    if (r.bold)
        v.style += fsBold;
    if (r.italic)
        v.style += fsItalic;
    if (r.underline)
        v.style += fsUnderline;
    if (r.strikeOut)
        v.style += fsStrikeOut;
    if (r.color.isValid())
        v.color = TColorOf(r.color);
    if (f.hasProperty(richtext::Charset))
        v.charset = f.intProperty(richtext::Charset);
    return v;
}

void TTextAttributes::Set(const Values& v, int fields)
{
    if (m_type == atDefaultText) {
        TFont font;
        font.Assign(m_edit->Font());
        if (fields & Values::Name)
            font.SetName(v.name);
        if (fields & Values::Size)
            font.SetSize(v.size);
        if (fields & Values::Style)
            font.SetStyle(v.style);
        if (fields & Values::Color)
            font.SetColor(v.color);
        if (fields & Values::Charset)
            font.SetCharset(v.charset);
        m_edit->Font()->Assign(&font);
        return;
    }
    QTextCharFormat f;
    if (fields & Values::Name) {
        f.setFontFamilies({FontFamilyFor(v.name)});
        f.setProperty(richtext::FontName, v.name);
    }
    if (fields & Values::Size)
        f.setFontPointSize(std::max(v.size, 1));
    if (fields & Values::Style) {
        f.setFontWeight(v.style.Contains(fsBold) ? QFont::Bold : QFont::Normal);
        f.setFontItalic(v.style.Contains(fsItalic));
        f.setFontUnderline(v.style.Contains(fsUnderline));
        f.setFontStrikeOut(v.style.Contains(fsStrikeOut));
    }
    if (fields & Values::Color) {
        // The window text colour is the automatic one: the text follows the control's font.
        if (v.color == clWindowText || v.color == clDefault)
            f.setForeground(QBrush());
        else
            f.setForeground(ColorToQColor(v.color));
    }
    if (fields & Values::Charset)
        f.setProperty(richtext::Charset, v.charset);
    m_edit->Editor()->mergeCurrentCharFormat(f);
}

QString TTextAttributes::Name() const
{
    return Get().name;
}
void TTextAttributes::SetName(const QString& Value)
{
    if (Value.isEmpty())
        return;
    Values v;
    v.name = Value;
    Set(v, Values::Name);
}
int TTextAttributes::Size() const
{
    return Get().size;
}
void TTextAttributes::SetSize(int Value)
{
    Values v;
    v.size = Value;
    Set(v, Values::Size);
}
int TTextAttributes::Height() const
{
    return MulDiv(Size(), 96, 72);
}
void TTextAttributes::SetHeight(int Value)
{
    SetSize(MulDiv(std::abs(Value), 72, 96));
}
TFontStyles TTextAttributes::Style() const
{
    return Get().style;
}
void TTextAttributes::SetStyle(TFontStyles Value)
{
    Values v;
    v.style = Value;
    Set(v, Values::Style);
}
TColor TTextAttributes::Color() const
{
    return Get().color;
}
void TTextAttributes::SetColor(TColor Value)
{
    Values v;
    v.color = Value;
    Set(v, Values::Color);
}
int TTextAttributes::Charset() const
{
    return Get().charset;
}
void TTextAttributes::SetCharset(int Value)
{
    Values v;
    v.charset = Value;
    Set(v, Values::Charset);
}

void TTextAttributes::Assign(TPersistent* Source)
{
    if (auto* font = dynamic_cast<TFont*>(Source)) {
        Set({font->Name(), font->Size(), font->Style(), font->Color(), font->Charset()},
            Values::All);
        return;
    }
    if (auto* attributes = dynamic_cast<TTextAttributes*>(Source)) {
        Set(attributes->Get(), Values::All);
        return;
    }
    TPersistent::Assign(Source);
}

void TTextAttributes::AssignTo(TPersistent* Dest)
{
    if (auto* font = dynamic_cast<TFont*>(Dest)) {
        const Values v = Get();
        TFont f;
        f.Assign(font);
        f.SetName(v.name);
        f.SetSize(v.size);
        f.SetStyle(v.style);
        f.SetColor(v.color);
        f.SetCharset(v.charset);
        font->Assign(&f);
        return;
    }
    TPersistent::AssignTo(Dest);
}

// ---------------------------------------------------------------------------------------------
// TParaAttributes

const TClassInfo& TParaAttributes::StaticClassInfo()
{
    using C = TParaAttributes;
    static const TClassInfo info = TClassBuilder<C>("TParaAttributes")
                                       .Property("Alignment", &C::Alignment, &C::SetAlignment)
                                       .Property("FirstIndent", &C::FirstIndent, &C::SetFirstIndent)
                                       .Property("LeftIndent", &C::LeftIndent, &C::SetLeftIndent)
                                       .Property("Numbering", &C::Numbering, &C::SetNumbering)
                                       .Property("RightIndent", &C::RightIndent, &C::SetRightIndent)
                                       .Build();
    return info;
}

int TParaAttributes::FirstIndent() const
{
    return m_edit->SelectedParaFormat().FirstIndent() / 20;
}
void TParaAttributes::SetFirstIndent(int Value)
{
    m_edit->ChangeParagraphs(
        [&](RichParaFormat& p) { p.SetIndents(Value * 20, p.LeftIndent(), p.RightIndent()); });
}
int TParaAttributes::LeftIndent() const
{
    return m_edit->SelectedParaFormat().LeftIndent() / 20;
}
void TParaAttributes::SetLeftIndent(int Value)
{
    m_edit->ChangeParagraphs(
        [&](RichParaFormat& p) { p.SetIndents(p.FirstIndent(), Value * 20, p.RightIndent()); });
}
int TParaAttributes::RightIndent() const
{
    return m_edit->SelectedParaFormat().RightIndent() / 20;
}
void TParaAttributes::SetRightIndent(int Value)
{
    m_edit->ChangeParagraphs(
        [&](RichParaFormat& p) { p.SetIndents(p.FirstIndent(), p.LeftIndent(), Value * 20); });
}

TAlignment TParaAttributes::Alignment() const
{
    switch (m_edit->SelectedParaFormat().alignment) {
    case RichAlignment::Left:
        return taLeftJustify;
    case RichAlignment::Center:
        return taCenter;
    case RichAlignment::Right:
        return taRightJustify;
    case RichAlignment::Justify:
        break;
    }
    return taJustify;
}

void TParaAttributes::SetAlignment(TAlignment Value)
{
    RichAlignment a;
    switch (Value) {
    case taLeftJustify:
        a = RichAlignment::Left;
        break;
    case taCenter:
        a = RichAlignment::Center;
        break;
    case taRightJustify:
        a = RichAlignment::Right;
        break;
    default:
        if (Value != taJustify)
            return;
        a = RichAlignment::Justify;
    }
    m_edit->ChangeParagraphs([&](RichParaFormat& p) { p.alignment = a; });
}

TNumberingStyle TParaAttributes::Numbering() const
{
    const RichNumbering n = m_edit->SelectedParaFormat().numbering;
    return n.IsNone() ? nsNone : n.style == RichNumberStyle::Bullet ? nsBullet : nsArabicNumbers;
}

void TParaAttributes::SetNumbering(TNumberingStyle Value)
{
    if (Value != nsNone && Value != nsBullet && Value != nsArabicNumbers)
        return;
    m_edit->ChangeParagraphs([&](RichParaFormat& p) {
        if (Value == nsNone)
            p.SetIndents(p.FirstIndent(), 0, p.RightIndent());
        else if (Value == nsBullet && p.LeftIndent() / 20 < 10)
            p.SetIndents(p.FirstIndent(), 200, p.RightIndent());
        p.numbering = {};
        if (Value != nsNone)
            p.numbering.style =
                Value == nsBullet ? RichNumberStyle::Bullet : RichNumberStyle::Arabic;
    });
}

void TParaAttributes::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TParaAttributes*>(Source)) {
        SetNumbering(p->Numbering());
        SetFirstIndent(p->FirstIndent());
        SetLeftIndent(p->LeftIndent());
        SetRightIndent(p->RightIndent());
        SetAlignment(p->Alignment());
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------------------------
// TCustomRichEdit

const TClassInfo& TCustomRichEdit::StaticClassInfo()
{
    using C = TCustomRichEdit;
    static const TClassInfo info = TClassBuilder<C>("TCustomRichEdit")
                                       .Property("Lines", &C::Lines, &C::SetLines)
                                       .Property("PlainText", &C::PlainText, &C::SetPlainText)
                                       .Property("ScrollBars", &C::ScrollBars, &C::SetScrollBars)
                                       .Property("WantReturns", &C::WantReturns, &C::SetWantReturns)
                                       .Property("WantTabs", &C::WantTabs, &C::SetWantTabs)
                                       .Property("WordWrap", &C::WordWrap, &C::SetWordWrap)
                                       .Build();
    return info;
}

const TClassInfo& TRichEdit::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TRichEdit>("TRichEdit").Build();
    return info;
}
VYN_REGISTER_CLASS(TRichEdit)

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomEdit(AOwner, new TRichEditWidget(this)),
      m_lines(std::make_unique<TRichEditStrings>(this)),
      m_selAttributes(std::make_unique<TTextAttributes>(this, atSelected)),
      m_defAttributes(std::make_unique<TTextAttributes>(this, atDefaultText)),
      m_paragraph(std::make_unique<TParaAttributes>(this))
{
    SetBounds(0, 0, 185, 89);
    QTextEdit* editor = RichWidget();
    editor->setTabChangesFocus(true);
    WatchWidget(editor->viewport());
    QObject::connect(editor->document(), &QTextDocument::contentsChange, editor,
                     [this](int, int, int) { ContentsChanged(); });
    SetScrollBars(ssNone);
    UpdateFocusPolicy();
}

TCustomRichEdit::~TCustomRichEdit() = default;

TRichEditWidget* TCustomRichEdit::RichWidget() const
{
    return static_cast<TRichEditWidget*>(Widget());
}

QTextEdit* TCustomRichEdit::Editor() const
{
    Materialize();
    return RichWidget();
}

void TCustomRichEdit::ContentsChanged()
{
    if (m_loading)
        return;
    m_plain.reset();
    m_modified = true;
    GuardEvent(this, [this] { Change(); });
}

void TCustomRichEdit::Load(Pending Content)
{
    m_pending = std::move(Content);
    m_plain.reset();
    m_modified = false;
    if (!m_materializeQueued) {
        m_materializeQueued = true;
        QMetaObject::invokeMethod(
            RichWidget(),
            [this] {
                m_materializeQueued = false;
                Materialize();
            },
            Qt::QueuedConnection);
    }
    Change();
}

void TCustomRichEdit::LoadPlain(const QString& Text, bool DropLastBreak)
{
    QString text = EditorText(Text);
    if (DropLastBreak && text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    Load({Pending::Plain, {}, text});
}

void TCustomRichEdit::Materialize() const
{
    if (!m_pending)
        return;
    const Pending content = std::move(*m_pending);
    m_pending.reset();
    QTextDocument* doc = RichWidget()->document();
    m_loading = true;
    auto done = Finally([&] {
        doc->setUndoRedoEnabled(true);
        m_loading = false;
    });
    doc->setUndoRedoEnabled(false);
    doc->clear();
    QTextCursor c(doc);
    c.beginEditBlock();
    switch (content.kind) {
    case Pending::RtfBytes:
        InsertDocument(c, ReadRtf(content.bytes), true);
        break;
    case Pending::RtfString:
        InsertDocument(c, ReadRtf(content.text), true);
        break;
    case Pending::Plain:
        c.insertText(content.text);
        break;
    }
    c.endEditBlock();
    RichWidget()->setTextCursor(QTextCursor(doc));
}

const QString& TCustomRichEdit::Plain() const
{
    if (!m_plain) {
        if (!m_pending)
            m_plain = PlainTextOf(*RichWidget()->document());
        else if (m_pending->kind == Pending::RtfBytes)
            m_plain = EditorText(RtfPlainText(m_pending->bytes));
        else if (m_pending->kind == Pending::RtfString)
            m_plain = EditorText(RtfPlainText(m_pending->text));
        else
            m_plain = m_pending->text;
    }
    return *m_plain;
}

QString TCustomRichEdit::GetText() const
{
    return Plain();
}

void TCustomRichEdit::SetText(const QString& Value)
{
    if (!m_plainText && IsRtf(Value))
        Load({Pending::RtfString, {}, Value});
    else
        LoadPlain(WithoutCr(Value), false);
}

int TCustomRichEdit::GetTextLen() const
{
    return int(Plain().size());
}

void TCustomRichEdit::LoadRichText(const QByteArray& Data)
{
    if (!m_plainText && IsRtf(Data))
        Load({Pending::RtfBytes, Data, {}});
    else
        LoadPlain(WithoutCr(DecodePlain(Data)), false);
}

QByteArray TCustomRichEdit::RichText() const
{
    const QTextDocument* doc = Editor()->document();
    return WriteRtf(ExtractDocument(*doc, 0, doc->characterCount() - 1, DefaultFont()));
}

QFont TCustomRichEdit::DefaultFont() const
{
    QFont f = RichWidget()->document()->defaultFont();
    if (Font()->Size() > 0)
        f.setPointSize(Font()->Size());
    return f;
}

TStrings* TCustomRichEdit::Lines() const
{
    return m_lines.get();
}

void TCustomRichEdit::SetLines(TStrings* Value)
{
    m_lines->Assign(Value);
}

int TCustomRichEdit::SelStart() const
{
    return textsel::SelStart(Editor());
}

void TCustomRichEdit::SetSelStart(int Value)
{
    textsel::SetSelStart(Editor(), Value, GetTextLen());
}

int TCustomRichEdit::SelLength() const
{
    return textsel::SelLength(Editor());
}

void TCustomRichEdit::SetSelLength(int Value)
{
    textsel::SetSelLength(Editor(), Value, GetTextLen());
}

QString TCustomRichEdit::SelText() const
{
    return Editor()->textCursor().selectedText().replace(QChar::ParagraphSeparator,
                                                         QLatin1Char('\n'));
}

void TCustomRichEdit::SetSelText(const QString& Value)
{
    QTextCursor c = Editor()->textCursor();
    c.insertText(EditorText(WithoutCr(Value)));
    Editor()->setTextCursor(c);
}

void TCustomRichEdit::SelectAll()
{
    Editor()->selectAll();
}

void TCustomRichEdit::CopyToClipboard()
{
    Editor()->copy();
}

void TCustomRichEdit::CutToClipboard()
{
    Editor()->cut();
}

void TCustomRichEdit::PasteFromClipboard()
{
    BeforePaste();
    Editor()->paste();
}

int TCustomRichEdit::FindText(const QString& SearchStr, int StartPos, int Length,
                              TSearchTypes Options) const
{
    const QString& text = Plain();
    const qsizetype n = text.size();
    const qsizetype m = SearchStr.size();
    if (m == 0)
        return -1;
    const qsizetype start = std::clamp<qsizetype>(StartPos, 0, n);
    const qsizetype end = Length < 0 ? n : std::min<qsizetype>(start + Length, n);
    const Qt::CaseSensitivity cs =
        Options.Contains(stMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype i = text.indexOf(SearchStr, start, cs); i >= 0 && i + m <= end;
         i = text.indexOf(SearchStr, i + 1, cs)) {
        if (!Options.Contains(stWholeWord) ||
            ((i == 0 || !IsWordChar(text[i - 1])) && (i + m == n || !IsWordChar(text[i + m]))))
            return int(i);
    }
    return -1;
}

QTextCharFormat TCustomRichEdit::SelectionCharFormat() const
{
    QTextEdit* editor = Editor();
    const QTextCursor c = editor->textCursor();
    return c.hasSelection() ? CharFormatAt(*editor->document(), c.selectionStart())
                            : editor->currentCharFormat();
}

RichParaFormat TCustomRichEdit::SelectedParaFormat() const
{
    const QTextEdit* editor = Editor();
    return ParaFormatOf(editor->document()->findBlock(editor->textCursor().selectionStart()));
}

template <class F> void TCustomRichEdit::ChangeParagraphs(F Change)
{
    QTextDocument* doc = Editor()->document();
    const QTextCursor sel = Editor()->textCursor();
    const QTextBlock first = doc->findBlock(sel.selectionStart());
    QTextBlock last = doc->findBlock(sel.selectionEnd());
    if (last != first && sel.selectionEnd() == last.position())
        last = last.previous();
    QTextCursor c(doc);
    c.beginEditBlock();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        RichParaFormat p = ParaFormatOf(b);
        Change(p);
        c.setPosition(b.position());
        SetParaFormat(c, p);
        if (b == last)
            break;
    }
    c.endEditBlock();
}

void TCustomRichEdit::Print(const QString& Caption)
{
    QTextDocument* doc = Editor()->document();
    QPrinter printer(QPrinter::HighResolution);
    const QString pdf = PrintToPdf();
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QFile::remove(pdf);
    } else if (QPrinterInfo::availablePrinters().isEmpty()) {
        throw EPrinter(QStringLiteral("There is no default printer currently selected"));
    }
    printer.setDocName(Caption);
    QPainter painter;
    if (!painter.begin(&printer))
        throw EPrinter(QStringLiteral("Printing \"%1\" failed").arg(Caption));
    // A copy laid out on the printer's pages, 2 cm from the paper's edges (the layout scales
    // document units, 96 per inch, to the printer).
    const std::unique_ptr<QTextDocument> copy(doc->clone());
    copy->documentLayout()->setPaintDevice(&printer);
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setMargin(2 / 2.54 * 96);
    copy->rootFrame()->setFrameFormat(frame);
    const QSizeF page(printer.width(), printer.height());
    copy->setPageSize(page);
    for (int i = 0, n = copy->pageCount(); i < n; ++i) {
        if (i > 0)
            printer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        copy->drawContents(&painter, QRectF(QPointF(0, i * page.height()), page));
        painter.restore();
    }
    painter.end();
    if (printer.printerState() == QPrinter::Error)
        throw EPrinter(QStringLiteral("Printing \"%1\" failed").arg(Caption));
}

void TCustomRichEdit::SetWantTabs(bool Value)
{
    m_wantTabs = Value;
    RichWidget()->setTabChangesFocus(!Value);
}

void TCustomRichEdit::SetWordWrap(bool Value)
{
    m_wordWrap = Value;
    RichWidget()->setLineWrapMode(Value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TCustomRichEdit::SetScrollBars(TScrollStyle Value)
{
    m_scrollBars = Value;
    ApplyScrollStyle(RichWidget(), Value);
}

bool TCustomRichEdit::WantsKey(Word Key) const
{
    return Key == VK_RETURN && m_wantReturns;
}

bool TCustomRichEdit::WidgetEvent(QWidget* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::Paint:
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::FocusIn:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
        Materialize();
        break;
    default:
        break;
    }
    return TCustomEdit::WidgetEvent(Watched, Event);
}

void TCustomRichEdit::ApplyReadOnly()
{
    QTextEdit* editor = RichWidget();
    editor->setReadOnly(ReadOnly());
    // Read-only text can still be walked and selected from the keyboard.
    if (ReadOnly())
        editor->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TCustomRichEdit::ApplyMaxLength()
{
    // The editor has no length limit of its own; the control keeps the value for its callers.
}

} // namespace vyn
