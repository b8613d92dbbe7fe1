#include "platform/dbctrls/DBCtrls.h"

#include "platform/core/TypInfo.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QToolButton>

namespace vyn {

// --- TDBTextBinding --------------------------------------------------------------------------

TDBTextBinding::TDBTextBinding(TObject* Control, Hooks hooks)
    : m_control(Control), m_hooks(std::move(hooks))
{
    m_link.Control = Control;
    m_link.OnDataChange = [this](TObject*) { Show(); };
    m_link.OnEditingChange = [this](TObject*) { EditingChanged(); };
    m_link.OnActiveChange = [this](TObject*) { EditingChanged(); };
    m_link.OnUpdateData = [this](TObject*) { UpdateData(); };
}

void TDBTextBinding::Show()
{
    m_showing = true;
    struct Done
    {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_showing};
    TField* f = m_link.Field();
    if (!f) {
        m_hooks.SetText(QString());
    } else {
        const bool editing = m_hooks.Focused() && m_link.CanModify();
        m_hooks.SetText(editing ? f->Text() : f->DisplayText());
    }
    EditingChanged();
}

void TDBTextBinding::EditingChanged()
{
    // The control takes typing only while its record is being edited; the first typed key
    // asks for the edit before the control sees it.
    m_hooks.SetReadOnly(!m_link.Editing());
}

void TDBTextBinding::Changed()
{
    if (!m_showing)
        m_link.Modified();
}

void TDBTextBinding::KeyDown(Word& Key, TShiftState Shift)
{
    const bool editingKey =
        Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift)) || Key == VK_BACK;
    if (editingKey && !m_link.Edit())
        Key = 0;
}

void TDBTextBinding::KeyPress(QChar& Key)
{
    TField* f = m_link.Field();
    const ushort code = Key.unicode();
    if (code == 27) {
        m_link.Reset();
        m_hooks.SelectAll();
        Key = QChar();
        return;
    }
    if (code >= 32 && f && !f->IsValidChar(Key)) {
        QApplication::beep();
        Key = QChar();
        return;
    }
    // Backspace, Ctrl+V, Ctrl+X and characters change the text: the record goes into edit.
    if (code == 8 || code == 22 || code == 24 || code == 13 || code >= 32) {
        if (!m_link.Edit())
            Key = QChar();
    }
}

void TDBTextBinding::Enter()
{
    Show();
}

void TDBTextBinding::Exit()
{
    // A value the field refuses reaches the user; the control keeps the text they typed.
    m_link.UpdateRecord();
    Show();
}

void TDBTextBinding::UpdateData()
{
    if (TField* f = m_link.Field())
        f->SetText(m_hooks.GetText());
}

// --- Data-aware controls ---------------------------------------------------------------------

#define VYN_DATA_AWARE_DEFINITIONS(Class)                                                          \
    void Class::SetDataSource(TDataSource* Value)                                                  \
    {                                                                                              \
        ChangeReference(DataSource(), Value);                                                      \
        m_binding->DataLink()->SetDataSource(Value);                                               \
    }                                                                                              \
    void Class::Notification(TComponent* AComponent, TOperation Operation)                         \
    {                                                                                              \
        inherited::Notification(AComponent, Operation);                                            \
        if (Operation == opRemove && AComponent && AComponent == DataSource())                     \
            m_binding->DataLink()->SetDataSource(nullptr);                                         \
    }

VYN_DATA_AWARE_DEFINITIONS(TDBEdit)
VYN_DATA_AWARE_DEFINITIONS(TDBMemo)
VYN_DATA_AWARE_DEFINITIONS(TDBComboBox)

template <class C> TClassBuilder<C>& DataAwareProperties(TClassBuilder<C>& b)
{
    return b.Property("DataSource", &C::DataSource, &C::SetDataSource)
        .Property("DataField", &C::DataField, &C::SetDataField)
        .Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly);
}

const TClassInfo& TDBEdit::StaticClassInfo()
{
    static const TClassInfo info = [] {
        TClassBuilder<TDBEdit> b("TDBEdit");
        return DataAwareProperties(b).Build();
    }();
    return info;
}
VYN_REGISTER_CLASS(TDBEdit)

TDBEdit::TDBEdit(TComponent* AOwner)
    : TEdit(AOwner),
      m_binding(std::make_unique<TDBTextBinding>(
          this, TDBTextBinding::Hooks{[this] { return TEdit::GetText(); },
                                      [this](const QString& t) {
                                          TEdit::SetText(t);
                                          TEdit::SetModified(false);
                                      },
                                      [this](bool ro) { TCustomEdit::SetReadOnly(ro); },
                                      [this] { return Focused(); }, [this] { SelectAll(); }}))
{
    TCustomEdit::SetReadOnly(true);
}

TDBEdit::~TDBEdit()
{
    m_binding->DataLink()->SetDataSource(nullptr);
}

void TDBEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TEdit::KeyDown(Key, Shift);
    m_binding->KeyDown(Key, Shift);
}

void TDBEdit::KeyPress(QChar& Key)
{
    TEdit::KeyPress(Key);
    if (!Key.isNull())
        m_binding->KeyPress(Key);
}

void TDBEdit::Change()
{
    m_binding->Changed();
    TEdit::Change();
}

void TDBEdit::DoEnter()
{
    m_binding->Enter();
    TEdit::DoEnter();
}

void TDBEdit::DoExit()
{
    GuardEvent(this, [this] { m_binding->Exit(); });
    TEdit::DoExit();
}

const TClassInfo& TDBMemo::StaticClassInfo()
{
    static const TClassInfo info = [] {
        TClassBuilder<TDBMemo> b("TDBMemo");
        return DataAwareProperties(b).Build();
    }();
    return info;
}
VYN_REGISTER_CLASS(TDBMemo)

TDBMemo::TDBMemo(TComponent* AOwner)
    : TMemo(AOwner),
      m_binding(std::make_unique<TDBTextBinding>(
          this, TDBTextBinding::Hooks{[this] { return TMemo::GetText(); },
                                      [this](const QString& t) {
                                          TMemo::SetText(t);
                                          TMemo::SetModified(false);
                                      },
                                      [this](bool ro) { TCustomEdit::SetReadOnly(ro); },
                                      [this] { return Focused(); }, [this] { SelectAll(); }}))
{
    TCustomEdit::SetReadOnly(true);
}

TDBMemo::~TDBMemo()
{
    m_binding->DataLink()->SetDataSource(nullptr);
}

void TDBMemo::KeyDown(Word& Key, TShiftState Shift)
{
    TMemo::KeyDown(Key, Shift);
    m_binding->KeyDown(Key, Shift);
}

void TDBMemo::KeyPress(QChar& Key)
{
    TMemo::KeyPress(Key);
    // Tab and line feeds are text in a memo; other control characters are not checked.
    if (!Key.isNull())
        m_binding->KeyPress(Key);
}

void TDBMemo::Change()
{
    m_binding->Changed();
    TMemo::Change();
}

void TDBMemo::DoEnter()
{
    m_binding->Enter();
    TMemo::DoEnter();
}

void TDBMemo::DoExit()
{
    GuardEvent(this, [this] { m_binding->Exit(); });
    TMemo::DoExit();
}

// --- TDBComboBox -----------------------------------------------------------------------------

const TClassInfo& TDBComboBox::StaticClassInfo()
{
    static const TClassInfo info = [] {
        TClassBuilder<TDBComboBox> b("TDBComboBox");
        return DataAwareProperties(b)
            .Property("Items", &TDBComboBox::Items, &TDBComboBox::SetItems)
            .Build();
    }();
    return info;
}
VYN_REGISTER_CLASS(TDBComboBox)

TDBComboBox::TDBComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner),
      m_binding(std::make_unique<TDBTextBinding>(
          this, TDBTextBinding::Hooks{[this] { return SelectedText(); },
                                      [this](const QString&) { ShowFieldText(); }, [](bool) {},
                                      [this] { return Focused(); }, [] {}}))
{}

TDBComboBox::~TDBComboBox()
{
    m_binding->DataLink()->SetDataSource(nullptr);
}

QString TDBComboBox::SelectedText() const
{
    if (IsEditable())
        return Text();
    const int i = ItemIndex();
    return i < 0 ? QString() : Items()->Strings(i);
}

void TDBComboBox::ShowFieldText()
{
    if (DroppedDown())
        return;
    TField* f = Field();
    const QString text = f ? f->Text() : QString();
    int found = -1;
    if (!text.isEmpty())
        for (int i = 0; i < Items()->Count(); ++i)
            if (Items()->Strings(i).compare(text, Qt::CaseInsensitive) == 0) {
                found = i;
                break;
            }
    QSignalBlocker block(ComboBox());
    SetItemIndex(found);
    if (IsEditable())
        TCustomComboBox::SetText(text);
}

void TDBComboBox::SetItems(TStrings* Value)
{
    Items()->Assign(Value);
    ShowFieldText();
}

void TDBComboBox::SetStyle(TComboBoxStyle Value)
{
    TCustomComboBox::SetStyle(Value);
    ShowFieldText();
}

void TDBComboBox::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomComboBox::KeyDown(Key, Shift);
    if (Key == VK_BACK || Key == VK_DELETE || Key == VK_UP || Key == VK_DOWN) {
        if (!DataLink()->Edit() && (Key == VK_UP || Key == VK_DOWN))
            Key = 0;
    }
}

void TDBComboBox::KeyPress(QChar& Key)
{
    TCustomComboBox::KeyPress(Key);
    if (Key.isNull())
        return;
    TField* f = Field();
    const ushort code = Key.unicode();
    if (code >= 32 && f && !f->IsValidChar(Key)) {
        QApplication::beep();
        Key = QChar();
        return;
    }
    if (code == 27) {
        DataLink()->Reset();
        Key = QChar();
        return;
    }
    if ((code == 8 || code >= 32) && !DataLink()->Edit())
        Key = QChar();
}

void TDBComboBox::Change()
{
    // A choice the record cannot take is undone: the list closes and the field shows again.
    if (!DataLink()->Edit()) {
        SetDroppedDown(false);
        ShowFieldText();
        return;
    }
    m_binding->Changed();
    TCustomComboBox::Change();
}

void TDBComboBox::DropDown()
{
    DataLink()->Edit();
    TCustomComboBox::DropDown();
}

void TDBComboBox::DoEnter()
{
    TCustomComboBox::DoEnter();
}

void TDBComboBox::DoExit()
{
    GuardEvent(this, [this] { DataLink()->UpdateRecord(); });
    TCustomComboBox::DoExit();
}

} // namespace vyn
