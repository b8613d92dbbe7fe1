#pragma once

// The data-aware rich edit: shows and edits a memo field that holds RTF.

#include "platform/db/DataSource.h"
#include "platform/richtext/RichEdit.h"

namespace vyn {

class TField;

// Shows the bound memo field's rich text for the current record and writes the editor's RTF
// back when the record is posted. With AutoDisplay off the memo is not loaded until the user
// asks (Enter or a double click); until then the field's display label shows as "(label)" and
// every key is dropped.
class TDBRichEdit : public TCustomRichEdit
{
    VYN_CLASS(TDBRichEdit, TCustomRichEdit)
public:
    explicit TDBRichEdit(TComponent* AOwner);
    ~TDBRichEdit() override;

    TDataSource* DataSource() const { return m_link.DataSource(); }
    void SetDataSource(TDataSource* Value);
    QString DataField() const { return m_link.FieldName(); }
    void SetDataField(const QString& Value) { m_link.SetFieldName(Value); }
    // Read-only for the user: the link never starts an edit.
    bool ReadOnly() const { return m_link.ReadOnly(); }
    void SetReadOnly(bool Value) { m_link.SetReadOnly(Value); }
    bool AutoDisplay() const { return m_autoDisplay; }
    void SetAutoDisplay(bool Value);
    TField* Field() const { return m_link.Field(); }

    // Loads the field's content into the editor (when it is not loaded yet).
    void LoadMemo();

protected:
    // For descendants: the link, the memo-loaded flag and the saved text that a data change
    // compares with the field's text (an equal text keeps caret, selection and formatting).
    TFieldDataLink* DataLink() { return &m_link; }
    bool MemoLoaded() const { return m_memoLoaded; }
    QString& DataSave() { return m_dataSave; }
    // Starts an edit for the control, keeping the editor's content when the field did not
    // change meanwhile.
    void BeginEditing();

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void Change() override;
    void BeforePaste() override;
    void DoExit() override;
    bool WidgetEvent(QWidget* Watched, QEvent* Event) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDBRichEditAccess;
    void DataChange();
    void EditingChange();
    void UpdateData();

    TFieldDataLink m_link;
    bool m_autoDisplay = true;
    bool m_memoLoaded = false;
    bool m_showing = false;
    QString m_dataSave;
};

// The protected state of a data-aware rich edit, for the library's own editing routines (which
// start edits on behalf of the control). Applications use the control's public interface.
class TDBRichEditAccess
{
public:
    static TFieldDataLink* DataLink(TDBRichEdit* C) { return &C->m_link; }
    static QString& DataSave(TDBRichEdit* C) { return C->m_dataSave; }
    static bool MemoLoaded(const TDBRichEdit* C) { return C->m_memoLoaded; }
};

} // namespace vyn
