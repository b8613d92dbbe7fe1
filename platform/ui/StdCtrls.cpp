#include "platform/ui/StdCtrls.h"

#include "platform/core/Exception.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/TypInfo.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TextSelection.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace vyn {

namespace {

QString FromCrLf(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QString ToCrLf(QString s)
{
    s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    s.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return s;
}

Qt::Alignment HorizontalAlignment(TAlignment a)
{
    switch (a) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

void CheckIndex(int Index, int Limit)
{
    if (Index < 0 || Index >= Limit)
        throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCustomLabel

const TClassInfo& TCustomLabel::StaticClassInfo()
{
    using C = TCustomLabel;
    static const TClassInfo info =
        TClassBuilder<C>("TCustomLabel")
            .Property("Alignment", &C::Alignment, &C::SetAlignment)
            .Property("AutoSize", &C::AutoSize, &C::SetAutoSize)
            .Property("Caption", &C::Caption, &C::SetCaption)
            .Property("ShowAccelChar", &C::ShowAccelChar, &C::SetShowAccelChar)
            .Property("Transparent", &C::Transparent, &C::SetTransparent)
            .Property("WordWrap", &C::WordWrap, &C::SetWordWrap)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TCustomLabel)

const TClassInfo& TLabel::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TLabel>("TLabel").Build();
    return info;
}
VYN_REGISTER_CLASS(TLabel)

TCustomLabel::TCustomLabel(TComponent* AOwner) : TControl(AOwner, new QLabel)
{
    Label()->setTextFormat(Qt::PlainText);
    Label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetBounds(0, 0, 65, 13);
}

QLabel* TCustomLabel::Label() const
{
    return static_cast<QLabel*>(Widget());
}

void TCustomLabel::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    Label()->setAlignment(HorizontalAlignment(Value) | Qt::AlignTop);
}

void TCustomLabel::SetAutoSize(bool Value)
{
    m_autoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool Value)
{
    m_wordWrap = Value;
    Label()->setWordWrap(Value);
    AdjustBounds();
}

void TCustomLabel::SetShowAccelChar(bool Value)
{
    m_showAccelChar = Value;
    ApplyText();
}

void TCustomLabel::SetTransparent(bool Value)
{
    m_transparent = Value;
    ApplyColor();
}

void TCustomLabel::ApplyText()
{
    QString text = FromCrLf(GetText());
    if (m_showAccelChar) {
        QString shown;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char('&')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
                    shown += text[++i];
                continue;
            }
            shown += text[i];
        }
        text = shown;
    }
    Label()->setText(text);
    AdjustBounds();
}

void TCustomLabel::ApplyFont()
{
    TControl::ApplyFont();
    AdjustBounds();
}

void TCustomLabel::ApplyColor()
{
    TControl::ApplyColor();
    if (m_transparent)
        Widget()->setAutoFillBackground(false);
}

void TCustomLabel::Loaded()
{
    TControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::AdjustBounds()
{
    if (!m_autoSize || Loading())
        return;
    QString text = Label()->text();
    if (text.isEmpty())
        text = QStringLiteral(" ");
    const QFontMetrics fm(Label()->font());
    const int flags = Qt::AlignLeft | Qt::AlignTop | (m_wordWrap ? Qt::TextWordWrap : 0);
    const QRect r =
        fm.boundingRect(QRect(0, 0, m_wordWrap ? Width() : 100000, 100000), flags, text);
    const int w = m_wordWrap ? Width() : r.width();
    const int left = m_alignment == taRightJustify && !m_wordWrap ? Left() + Width() - w : Left();
    SetBounds(left, Top(), w, r.height());
}

// ---------------------------------------------------------------------------------------------
// TButtonControl

const TClassInfo& TButtonControl::StaticClassInfo()
{
    using C = TButtonControl;
    static const TClassInfo info =
        TClassBuilder<C>("TButtonControl").Property("Caption", &C::Caption, &C::SetCaption).Build();
    return info;
}

TButtonControl::TButtonControl(TComponent* AOwner, QAbstractButton* AButton)
    : TWinControl(AOwner, AButton)
{
    SetTabStop(true);
    SetClickFocus(true);
    SetClicksOnRelease(false);
}

QAbstractButton* TButtonControl::Button() const
{
    return static_cast<QAbstractButton*>(Widget());
}

void TButtonControl::ApplyText()
{
    Button()->setText(GetText());
}

void TButtonControl::ApplyAlignment(TAlignment Value)
{
    Widget()->setLayoutDirection(Value == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

// ---------------------------------------------------------------------------------------------
// TButton

const TClassInfo& TButton::StaticClassInfo()
{
    using C = TButton;
    static const TClassInfo info = TClassBuilder<C>("TButton")
                                       .Property("Cancel", &C::Cancel, &C::SetCancel)
                                       .Property("Default", &C::Default, &C::SetDefault)
                                       .Property("ModalResult", &C::ModalResult, &C::SetModalResult)
                                       .Idents(&ModalResultIdents())
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TButton)

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner, new QPushButton)
{
    SetBounds(0, 0, 75, 25);
    auto* button = static_cast<QPushButton*>(Widget());
    button->setAutoDefault(false);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [this] { GuardEvent(this, [this] { Click(); }); });
}

void TButton::SetDefault(bool Value)
{
    m_default = Value;
    static_cast<QPushButton*>(Widget())->setDefault(Value);
}

void TButton::Click()
{
    TCustomForm* form = GetParentForm(this);
    if (!form || m_modalResult == mrNone) {
        TWinControl::Click();
        return;
    }
    // The result is in place while OnClick runs (a handler may set it back to mrNone); a
    // handler that fails takes it back, so the form stays open.
    const TModalResult previous = form->ModalResult();
    form->SetModalResult(m_modalResult);
    auto undo = Finally([form, previous] { form->SetModalResult(previous); });
    TWinControl::Click();
    undo.Dismiss();
}

// ---------------------------------------------------------------------------------------------
// TCustomCheckBox

const TClassInfo& TCustomCheckBox::StaticClassInfo()
{
    using C = TCustomCheckBox;
    static const TClassInfo info = TClassBuilder<C>("TCustomCheckBox")
                                       .Property("Alignment", &C::Alignment, &C::SetAlignment)
                                       .Property("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed)
                                       .Property("Checked", &C::Checked, &C::SetChecked)
                                       .Property("State", &C::State, &C::SetState)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TCustomCheckBox)

const TClassInfo& TCheckBox::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TCheckBox>("TCheckBox").Build();
    return info;
}
VYN_REGISTER_CLASS(TCheckBox)

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner, new QCheckBox)
{
    SetBounds(0, 0, 97, 17);
    auto* box = static_cast<QCheckBox*>(Widget());
    QObject::connect(box, &QAbstractButton::clicked, box, [this, box] {
        GuardEvent(this, [this, box] {
            const Qt::CheckState s = box->checkState();
            SetState(s == Qt::Checked            ? cbChecked
                     : s == Qt::PartiallyChecked ? cbGrayed
                                                 : cbUnchecked);
        });
    });
}

void TCustomCheckBox::SetState(TCheckBoxState Value)
{
    auto* box = static_cast<QCheckBox*>(Widget());
    if (Value == cbGrayed && !m_allowGrayed)
        box->setTristate(true);
    {
        const QSignalBlocker block(box);
        box->setCheckState(Value == cbChecked  ? Qt::Checked
                           : Value == cbGrayed ? Qt::PartiallyChecked
                                               : Qt::Unchecked);
    }
    if (m_state == Value)
        return;
    m_state = Value;
    if (!Loading())
        Click();
}

void TCustomCheckBox::SetAllowGrayed(bool Value)
{
    m_allowGrayed = Value;
    static_cast<QCheckBox*>(Widget())->setTristate(Value || m_state == cbGrayed);
}

void TCustomCheckBox::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    ApplyAlignment(Value);
}

// ---------------------------------------------------------------------------------------------
// TRadioButton

const TClassInfo& TRadioButton::StaticClassInfo()
{
    using C = TRadioButton;
    static const TClassInfo info = TClassBuilder<C>("TRadioButton")
                                       .Property("Alignment", &C::Alignment, &C::SetAlignment)
                                       .Property("Checked", &C::Checked, &C::SetChecked)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TRadioButton)

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner, new QRadioButton)
{
    SetBounds(0, 0, 113, 17);
    // Only the radio button that is on is a tab stop.
    SetTabStop(false);
    auto* radio = static_cast<QRadioButton*>(Widget());
    // Exclusivity is ours: Qt's would refuse to turn the checked button off.
    radio->setAutoExclusive(false);
    QObject::connect(radio, &QAbstractButton::clicked, radio, [this, radio](bool checked) {
        GuardEvent(this, [this, radio, checked] {
            if (!checked) {
                // Clicking the button that is on leaves it on.
                const QSignalBlocker block(radio);
                radio->setChecked(true);
                return;
            }
            SetChecked(true);
        });
    });
}

void TRadioButton::SetChecked(bool Value)
{
    auto* radio = static_cast<QRadioButton*>(Widget());
    {
        const QSignalBlocker block(radio);
        radio->setChecked(Value);
    }
    if (m_checked == Value)
        return;
    m_checked = Value;
    SetTabStop(Value);
    if (!Value)
        return;
    if (TWinControl* parent = Parent())
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
                sibling && sibling != this)
                sibling->SetChecked(false);
    if (!Loading())
        Click();
}

void TRadioButton::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    ApplyAlignment(Value);
}

// ---------------------------------------------------------------------------------------------
// TCustomGroupBox

const TClassInfo& TCustomGroupBox::StaticClassInfo()
{
    using C = TCustomGroupBox;
    static const TClassInfo info = TClassBuilder<C>("TCustomGroupBox")
                                       .Property("Caption", &C::Caption, &C::SetCaption)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TCustomGroupBox)

const TClassInfo& TGroupBox::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TGroupBox>("TGroupBox").Build();
    return info;
}
VYN_REGISTER_CLASS(TGroupBox)

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TWinControl(AOwner, new QGroupBox)
{
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::ApplyText()
{
    static_cast<QGroupBox*>(Widget())->setTitle(GetText());
}

// ---------------------------------------------------------------------------------------------
// TComboBoxStrings

const TClassInfo& TComboBoxStrings::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TComboBoxStrings>("TComboBoxStrings").Build();
    return info;
}

int TComboBoxStrings::Count() const
{
    return m_combo->ComboBox()->count();
}

QString TComboBoxStrings::Get(int Index) const
{
    CheckIndex(Index, Count());
    return m_combo->ComboBox()->itemText(Index);
}

void TComboBoxStrings::Put(int Index, const QString& S)
{
    CheckIndex(Index, Count());
    m_combo->ChangeList([&] { m_combo->ComboBox()->setItemText(Index, S); });
}

TObject* TComboBoxStrings::GetObject(int Index) const
{
    CheckIndex(Index, Count());
    return static_cast<TObject*>(m_combo->ComboBox()->itemData(Index).value<void*>());
}

void TComboBoxStrings::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index, Count());
    m_combo->ComboBox()->setItemData(Index, QVariant::fromValue(static_cast<void*>(AObject)));
}

int TComboBoxStrings::Add(const QString& S)
{
    int at = Count();
    if (m_combo->Sorted()) {
        at = 0;
        while (at < Count() && CompareStrings(Get(at), S) <= 0)
            ++at;
    }
    Insert(at, S);
    return at;
}

void TComboBoxStrings::Insert(int Index, const QString& S)
{
    CheckIndex(Index, Count() + 1);
    m_combo->ChangeList([&] { m_combo->ComboBox()->insertItem(Index, S); });
}

void TComboBoxStrings::Delete(int Index)
{
    CheckIndex(Index, Count());
    QComboBox* box = m_combo->ComboBox();
    const bool wasCurrent = box->currentIndex() == Index;
    m_combo->ChangeList([&] {
        box->removeItem(Index);
        // The selection goes with its item, as in the toolkit's list.
        if (wasCurrent)
            box->setCurrentIndex(-1);
    });
}

void TComboBoxStrings::Clear()
{
    m_combo->ChangeList([&] { m_combo->ComboBox()->clear(); });
}

// ---------------------------------------------------------------------------------------------
// TCustomComboBox

namespace {

// Lets the control hear of the list opening before it opens.
class ComboWidget : public QComboBox
{
public:
    std::function<void()> BeforePopup;
    void showPopup() override
    {
        if (BeforePopup)
            BeforePopup();
        QComboBox::showPopup();
    }
};

} // namespace

const TClassInfo& TCustomComboBox::StaticClassInfo()
{
    using C = TCustomComboBox;
    static const TClassInfo info =
        TClassBuilder<C>("TCustomComboBox")
            .Property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount)
            .Property("ItemHeight", &C::ItemHeight, &C::SetItemHeight)
            .Property("ItemIndex", &C::ItemIndex, &C::SetItemIndex)
            .Property("Items", &C::Items, &C::SetItems)
            .Property("MaxLength", &C::MaxLength, &C::SetMaxLength)
            .Property("Sorted", &C::Sorted, &C::SetSorted)
            .Property("Style", &C::Style, &C::SetStyle)
            .Property("Text", &C::Text, &C::SetText)
            .Member("OnChange", &C::OnChange)
            .Member("OnDropDown", &C::OnDropDown)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TCustomComboBox)

const TClassInfo& TComboBox::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TComboBox>("TComboBox").Build();
    return info;
}
VYN_REGISTER_CLASS(TComboBox)

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner, new ComboWidget), m_items(std::make_unique<TComboBoxStrings>(this))
{
    auto* box = static_cast<ComboWidget*>(Widget());
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(m_dropDownCount);
    box->BeforePopup = [this] { GuardEvent(this, [this] { DropDown(); }); };
    QObject::connect(box, &QComboBox::activated, box, [this] {
        GuardEvent(this, [this] {
            Click();
            Change();
        });
    });
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetClickFocus(true);
    SetClicksOnRelease(false);
    SetColor(clWindow);
    SetStyle(csDropDown);
}

TCustomComboBox::~TCustomComboBox() = default;

QComboBox* TCustomComboBox::ComboBox() const
{
    return static_cast<QComboBox*>(Widget());
}

template <class F> void TCustomComboBox::ChangeList(F change)
{
    QComboBox* box = ComboBox();
    const int index = box->currentIndex();
    const QString text = IsEditable() ? box->lineEdit()->text() : QString();
    const QSignalBlocker block(box);
    change();
    if (index < 0 && box->currentIndex() >= 0)
        box->setCurrentIndex(-1);
    if (IsEditable() && box->lineEdit()->text() != text)
        box->lineEdit()->setText(text);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    m_style = Value;
    QComboBox* box = ComboBox();
    const QString text = GetText();
    {
        const QSignalBlocker block(box);
        box->setEditable(IsEditable());
    }
    if (IsEditable()) {
        ConnectEditor();
        box->lineEdit()->setText(text);
    }
    SetMaxLength(m_maxLength);
    UpdateFocusPolicy();
}

void TCustomComboBox::ConnectEditor()
{
    QLineEdit* edit = ComboBox()->lineEdit();
    WatchWidget(edit);
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [this] { GuardEvent(this, [this] { Change(); }); });
}

QString TCustomComboBox::GetText() const
{
    QComboBox* box = ComboBox();
    if (box->lineEdit())
        return box->lineEdit()->text();
    return box->currentIndex() >= 0 ? box->currentText() : QString();
}

void TCustomComboBox::SetText(const QString& Value)
{
    QComboBox* box = ComboBox();
    const QSignalBlocker block(box);
    if (box->lineEdit()) {
        box->lineEdit()->setText(Value);
        return;
    }
    int found = -1;
    for (int i = 0; i < box->count() && found < 0; ++i)
        if (box->itemText(i).compare(Value, Qt::CaseInsensitive) == 0)
            found = i;
    box->setCurrentIndex(found);
}

int TCustomComboBox::ItemIndex() const
{
    return ComboBox()->currentIndex();
}

void TCustomComboBox::SetItemIndex(int Value)
{
    QComboBox* box = ComboBox();
    const QSignalBlocker block(box);
    box->setCurrentIndex(Value >= 0 && Value < box->count() ? Value : -1);
}

void TCustomComboBox::SetItemHeight(int Value)
{
    m_itemHeight = Value;
}

void TCustomComboBox::SetDropDownCount(int Value)
{
    m_dropDownCount = Value;
    ComboBox()->setMaxVisibleItems(std::max(Value, 1));
}

void TCustomComboBox::SetSorted(bool Value)
{
    if (m_sorted == Value)
        return;
    m_sorted = Value;
    if (!Value || m_items->Count() < 2)
        return;
    QStringList lines = m_items->ToStringList();
    std::stable_sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    const QString current = ItemIndex() >= 0 ? ComboBox()->currentText() : QString();
    const bool selected = ItemIndex() >= 0;
    ChangeList([&] {
        ComboBox()->clear();
        ComboBox()->addItems(lines);
        if (selected)
            ComboBox()->setCurrentIndex(int(lines.indexOf(current)));
    });
}

bool TCustomComboBox::DroppedDown() const
{
    return ComboBox()->view()->isVisible();
}

void TCustomComboBox::SetDroppedDown(bool Value)
{
    if (Value)
        ComboBox()->showPopup();
    else
        ComboBox()->hidePopup();
}

void TCustomComboBox::WndProc(TMessage& Message)
{
    if (Message.Msg == CB_SHOWDROPDOWN) {
        SetDroppedDown(Message.WParam != 0);
        Message.Result = 1;
        return;
    }
    TWinControl::WndProc(Message);
}

void TCustomComboBox::SetMaxLength(int Value)
{
    m_maxLength = Value;
    if (QLineEdit* edit = ComboBox()->lineEdit())
        edit->setMaxLength(Value > 0 ? Value : 32767);
}

int TCustomComboBox::SelStart() const
{
    QLineEdit* edit = ComboBox()->lineEdit();
    if (!edit)
        return 0;
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void TCustomComboBox::SetSelStart(int Value)
{
    if (QLineEdit* edit = ComboBox()->lineEdit())
        edit->setCursorPosition(Value);
}

int TCustomComboBox::SelLength() const
{
    QLineEdit* edit = ComboBox()->lineEdit();
    return edit ? int(edit->selectedText().size()) : 0;
}

void TCustomComboBox::SetSelLength(int Value)
{
    if (QLineEdit* edit = ComboBox()->lineEdit())
        edit->setSelection(SelStart(), Value);
}

QString TCustomComboBox::SelText() const
{
    QLineEdit* edit = ComboBox()->lineEdit();
    return edit ? edit->selectedText() : QString();
}

void TCustomComboBox::SelectAll()
{
    if (QLineEdit* edit = ComboBox()->lineEdit())
        edit->selectAll();
}

void TCustomComboBox::Clear()
{
    m_items->Clear();
    SetText(QString());
}

void TCustomComboBox::Change()
{
    OnChange(this);
}

void TCustomComboBox::DropDown()
{
    OnDropDown(this);
}

// ---------------------------------------------------------------------------------------------
// TCustomEdit

const TClassInfo& TCustomEdit::StaticClassInfo()
{
    using C = TCustomEdit;
    static const TClassInfo info = TClassBuilder<C>("TCustomEdit")
                                       .Property("MaxLength", &C::MaxLength, &C::SetMaxLength)
                                       .Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly)
                                       .Property("Text", &C::Text, &C::SetText)
                                       .Member("OnChange", &C::OnChange)
                                       .Build();
    return info;
}

TCustomEdit::TCustomEdit(TComponent* AOwner, QWidget* AWidget) : TWinControl(AOwner, AWidget)
{
    SetTabStop(true);
    SetClickFocus(true);
    SetColor(clWindow);
}

void TCustomEdit::SetReadOnly(bool Value)
{
    m_readOnly = Value;
    ApplyReadOnly();
    UpdateFocusPolicy();
}

void TCustomEdit::SetMaxLength(int Value)
{
    m_maxLength = std::max(Value, 0);
    ApplyMaxLength();
}

void TCustomEdit::Change()
{
    OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TEdit

const TClassInfo& TEdit::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TEdit>("TEdit").Build();
    return info;
}
VYN_REGISTER_CLASS(TEdit)

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner, new QLineEdit)
{
    SetBounds(0, 0, 121, 21);
    QObject::connect(LineEdit(), &QLineEdit::textChanged, LineEdit(),
                     [this] { GuardEvent(this, [this] { Change(); }); });
    UpdateFocusPolicy();
}

QLineEdit* TEdit::LineEdit() const
{
    return static_cast<QLineEdit*>(Widget());
}

QString TEdit::GetText() const
{
    return LineEdit()->text();
}

void TEdit::SetText(const QString& Value)
{
    if (Value != LineEdit()->text())
        LineEdit()->setText(Value);
}

int TEdit::SelStart() const
{
    QLineEdit* e = LineEdit();
    return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}

void TEdit::SetSelStart(int Value)
{
    LineEdit()->setCursorPosition(Value);
}

int TEdit::SelLength() const
{
    return int(LineEdit()->selectedText().size());
}

void TEdit::SetSelLength(int Value)
{
    LineEdit()->setSelection(SelStart(), Value);
}

QString TEdit::SelText() const
{
    return LineEdit()->selectedText();
}

void TEdit::SetSelText(const QString& Value)
{
    LineEdit()->insert(Value);
}

void TEdit::SelectAll()
{
    LineEdit()->selectAll();
}

void TEdit::CopyToClipboard()
{
    LineEdit()->copy();
}

// The line edit would cut and paste even when read-only; the toolkit's edit does not.
void TEdit::CutToClipboard()
{
    if (!ReadOnly())
        LineEdit()->cut();
}

void TEdit::PasteFromClipboard()
{
    if (!ReadOnly())
        LineEdit()->paste();
}

bool TEdit::Modified() const
{
    return LineEdit()->isModified();
}

void TEdit::SetModified(bool Value)
{
    LineEdit()->setModified(Value);
}

void TEdit::ApplyReadOnly()
{
    LineEdit()->setReadOnly(ReadOnly());
}

void TEdit::ApplyMaxLength()
{
    LineEdit()->setMaxLength(MaxLength() > 0 ? MaxLength() : 32767);
}

// ---------------------------------------------------------------------------------------------
// TMemo

// A memo's lines, kept in the editor. A last line break does not start another line.
class TMemoStrings : public TStrings
{
    VYN_CLASS(TMemoStrings, TStrings)
public:
    explicit TMemoStrings(TMemo* Memo) : m_memo(Memo) {}

    int Count() const override { return int(Lines().size()); }
    QString Get(int Index) const override
    {
        const QStringList l = Lines();
        CheckIndex(Index, int(l.size()));
        return l[Index];
    }
    void Put(int Index, const QString& S) override
    {
        QStringList l = Lines();
        CheckIndex(Index, int(l.size()));
        l[Index] = FromCrLf(S);
        Store(l);
    }
    void Insert(int Index, const QString& S) override
    {
        QStringList l = Lines();
        CheckIndex(Index, int(l.size()) + 1);
        l.insert(Index, FromCrLf(S));
        Store(l);
    }
    void Delete(int Index) override
    {
        QStringList l = Lines();
        CheckIndex(Index, int(l.size()));
        l.removeAt(Index);
        Store(l);
    }
    void Clear() override { Store({}); }

protected:
    void SetUpdateState(bool Updating) override { m_memo->Editor()->setUpdatesEnabled(!Updating); }

private:
    QStringList Lines() const
    {
        const QString text = m_memo->Editor()->toPlainText();
        if (text.isEmpty())
            return {};
        QStringList l = text.split(QLatin1Char('\n'));
        if (l.last().isEmpty())
            l.removeLast();
        return l;
    }
    void Store(const QStringList& l) { m_memo->Editor()->setPlainText(l.join(QLatin1Char('\n'))); }

    TMemo* m_memo;
};

const TClassInfo& TMemoStrings::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TMemoStrings>("TMemoStrings").Build();
    return info;
}

const TClassInfo& TMemo::StaticClassInfo()
{
    using C = TMemo;
    static const TClassInfo info = TClassBuilder<C>("TMemo")
                                       .Property("Alignment", &C::Alignment, &C::SetAlignment)
                                       .Property("Lines", &C::Lines, &C::SetLines)
                                       .Property("ScrollBars", &C::ScrollBars, &C::SetScrollBars)
                                       .Property("WantReturns", &C::WantReturns, &C::SetWantReturns)
                                       .Property("WantTabs", &C::WantTabs, &C::SetWantTabs)
                                       .Property("WordWrap", &C::WordWrap, &C::SetWordWrap)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TMemo)

TMemo::TMemo(TComponent* AOwner)
    : TCustomEdit(AOwner, new QPlainTextEdit), m_lines(std::make_unique<TMemoStrings>(this))
{
    SetBounds(0, 0, 185, 89);
    QPlainTextEdit* editor = Editor();
    editor->setTabChangesFocus(true);
    WatchWidget(editor->viewport());
    QObject::connect(editor, &QPlainTextEdit::textChanged, editor,
                     [this] { GuardEvent(this, [this] { Change(); }); });
    SetScrollBars(ssNone);
    UpdateFocusPolicy();
}

TMemo::~TMemo() = default;

QPlainTextEdit* TMemo::Editor() const
{
    return static_cast<QPlainTextEdit*>(Widget());
}

QString TMemo::GetText() const
{
    return ToCrLf(Editor()->toPlainText());
}

void TMemo::SetText(const QString& Value)
{
    const QString text = FromCrLf(Value);
    if (text != Editor()->toPlainText())
        Editor()->setPlainText(text);
}

TStrings* TMemo::Lines() const
{
    return m_lines.get();
}

void TMemo::SetLines(TStrings* Value)
{
    m_lines->Assign(Value);
}

void TMemo::SetWordWrap(bool Value)
{
    m_wordWrap = Value;
    Editor()->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void ApplyScrollStyle(QAbstractScrollArea* Area, TScrollStyle Style)
{
    const bool h = Style == ssHorizontal || Style == ssBoth;
    const bool v = Style == ssVertical || Style == ssBoth;
    Area->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    Area->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TMemo::SetScrollBars(TScrollStyle Value)
{
    m_scrollBars = Value;
    ApplyScrollStyle(Editor(), Value);
}

void TMemo::SetWantTabs(bool Value)
{
    m_wantTabs = Value;
    Editor()->setTabChangesFocus(!Value);
}

void TMemo::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    QTextOption option = Editor()->document()->defaultTextOption();
    option.setAlignment(HorizontalAlignment(Value));
    Editor()->document()->setDefaultTextOption(option);
}

bool TMemo::WantsKey(Word Key) const
{
    return Key == VK_RETURN && m_wantReturns;
}

int TMemo::SelStart() const
{
    return textsel::SelStart(Editor());
}

void TMemo::SetSelStart(int Value)
{
    textsel::SetSelStart(Editor(), Value, int(Editor()->document()->characterCount()) - 1);
}

int TMemo::SelLength() const
{
    return textsel::SelLength(Editor());
}

void TMemo::SetSelLength(int Value)
{
    textsel::SetSelLength(Editor(), Value, int(Editor()->document()->characterCount()) - 1);
}

QString TMemo::SelText() const
{
    return ToCrLf(Editor()->textCursor().selectedText());
}

void TMemo::SetSelText(const QString& Value)
{
    QTextCursor c = Editor()->textCursor();
    c.insertText(FromCrLf(Value));
    Editor()->setTextCursor(c);
}

void TMemo::SelectAll()
{
    Editor()->selectAll();
}

void TMemo::CopyToClipboard()
{
    Editor()->copy();
}

void TMemo::CutToClipboard()
{
    Editor()->cut();
}

void TMemo::PasteFromClipboard()
{
    Editor()->paste();
}

bool TMemo::Modified() const
{
    return Editor()->document()->isModified();
}

void TMemo::SetModified(bool Value)
{
    Editor()->document()->setModified(Value);
}

void TMemo::ApplyReadOnly()
{
    Editor()->setReadOnly(ReadOnly());
}

void TMemo::ApplyMaxLength()
{
    // The editor has no length limit of its own; the memo keeps the value for its callers.
}

} // namespace vyn
