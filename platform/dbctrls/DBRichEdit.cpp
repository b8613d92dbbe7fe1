#include "platform/dbctrls/DBRichEdit.h"

#include "platform/core/ScopeGuard.h"
#include "platform/core/Stream.h"
#include "platform/core/TypInfo.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"

#include <QApplication>
#include <QEvent>

namespace vyn {

const TClassInfo& TDBRichEdit::StaticClassInfo()
{
    using C = TDBRichEdit;
    static const TClassInfo info = TClassBuilder<C>("TDBRichEdit")
                                       .Property("DataSource", &C::DataSource, &C::SetDataSource)
                                       .Property("DataField", &C::DataField, &C::SetDataField)
                                       .Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly)
                                       .Property("AutoDisplay", &C::AutoDisplay, &C::SetAutoDisplay)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TDBRichEdit)

TDBRichEdit::TDBRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner)
{
    m_link.Control = this;
    m_link.OnDataChange = [this](TObject*) { DataChange(); };
    m_link.OnEditingChange = [this](TObject*) { EditingChange(); };
    m_link.OnActiveChange = [this](TObject*) { EditingChange(); };
    m_link.OnUpdateData = [this](TObject*) { UpdateData(); };
    TCustomEdit::SetReadOnly(true);
}

TDBRichEdit::~TDBRichEdit()
{
    m_link.SetDataSource(nullptr);
}

void TDBRichEdit::SetDataSource(TDataSource* Value)
{
    ChangeReference(DataSource(), Value);
    m_link.SetDataSource(Value);
}

void TDBRichEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomRichEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == DataSource())
        m_link.SetDataSource(nullptr);
}

void TDBRichEdit::SetAutoDisplay(bool Value)
{
    if (m_autoDisplay == Value)
        return;
    m_autoDisplay = Value;
    if (Value)
        LoadMemo();
}

void TDBRichEdit::LoadMemo()
{
    TField* f = m_link.Field();
    if (m_memoLoaded || !f || !f->IsBlob())
        return;
    m_showing = true;
    auto done = Finally([this] { m_showing = false; });
    // Text that is not RTF shows as plain text; it becomes RTF only when the user changes it.
    LoadRichText(f->AsBytes());
    m_memoLoaded = true;
    EditingChange();
}

void TDBRichEdit::DataChange()
{
    TField* f = m_link.Field();
    m_showing = true;
    auto done = Finally([this] { m_showing = false; });
    if (!f) {
        SetText(QString());
        m_memoLoaded = false;
        return;
    }
    if (f->IsBlob()) {
        if (m_autoDisplay || (m_link.Editing() && m_memoLoaded)) {
            // Unchanged since an edit began here: keep caret, selection and formatting.
            if (!m_dataSave.isEmpty() && m_dataSave == f->AsString())
                return;
            m_memoLoaded = false;
            m_showing = false;
            LoadMemo();
        } else {
            SetPlainText(true);
            SetText(QStringLiteral("(%1)").arg(f->DisplayName()));
            SetPlainText(false);
            m_memoLoaded = false;
        }
    } else {
        SetText(Focused() && m_link.CanModify() ? f->Text() : f->DisplayText());
        m_memoLoaded = true;
    }
}

void TDBRichEdit::EditingChange()
{
    TCustomEdit::SetReadOnly(!m_link.Editing());
}

void TDBRichEdit::BeginEditing()
{
    if (m_link.Editing())
        return;
    auto clear = Finally([this] { m_dataSave.clear(); });
    if (TField* f = m_link.Field(); f && f->IsBlob())
        m_dataSave = f->AsString();
    m_link.Edit();
}

void TDBRichEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomRichEdit::KeyDown(Key, Shift);
    if (!m_memoLoaded)
        return;
    if (Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift)))
        BeginEditing();
}

void TDBRichEdit::KeyPress(QChar& Key)
{
    TCustomRichEdit::KeyPress(Key);
    if (Key.isNull())
        return;
    const ushort code = Key.unicode();
    if (!m_memoLoaded) {
        if (code == 13)
            LoadMemo();
        Key = QChar();
        return;
    }
    TField* f = m_link.Field();
    if (code >= 32 && f && !f->IsValidChar(Key)) {
        QApplication::beep();
        Key = QChar();
        return;
    }
    if (code == 8 || code == 9 || code == 10 || code == 13 || code == 22 || code == 24 ||
        code >= 32) {
        BeginEditing();
    } else if (code == 27) {
        m_link.Reset();
        Key = QChar();
    }
}

void TDBRichEdit::Change()
{
    if (!m_showing)
        m_link.Modified();
    TCustomRichEdit::Change();
}

void TDBRichEdit::BeforePaste()
{
    if (m_memoLoaded)
        BeginEditing();
}

void TDBRichEdit::DoExit()
{
    GuardEvent(this, [this] { m_link.UpdateRecord(); });
    TCustomRichEdit::DoExit();
}

bool TDBRichEdit::WidgetEvent(QWidget* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::MouseButtonDblClick && !m_memoLoaded) {
        LoadMemo();
        return true;
    }
    return TCustomRichEdit::WidgetEvent(Watched, Event);
}

void TDBRichEdit::UpdateData()
{
    TField* f = m_link.Field();
    if (!f)
        return;
    if (f->IsBlob()) {
        TMemoryStream stream(RichText());
        static_cast<TBlobField*>(f)->LoadFromStream(&stream);
    } else {
        f->SetText(GetText());
    }
}

} // namespace vyn
