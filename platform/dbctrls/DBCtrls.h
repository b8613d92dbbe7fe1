#pragma once

// Data-aware controls: edit, memo, combo box and the navigator bar.

#include "platform/db/DataSource.h"
#include "platform/ui/StdCtrls.h"

#include <functional>
#include <memory>

namespace vyn {

class TDataSet;
class TField;

// What a data-aware text control does with its field through its link: shows the field's
// text, puts the record into edit mode on the first change, checks typed characters, writes
// the text back on leaving or before a post, resets on Escape, and is read-only while the
// record cannot be edited. TDBEdit, TDBMemo and TDBComboBox each hold one.
class TDBTextBinding
{
public:
    struct Hooks
    {
        std::function<QString()> GetText;            // the control's text
        std::function<void(const QString&)> SetText; // shown without counting as a user change
        std::function<void(bool)> SetReadOnly;
        std::function<bool()> Focused;
        std::function<void()> SelectAll;
    };
    TDBTextBinding(TObject* Control, Hooks hooks);

    TFieldDataLink* DataLink() { return &m_link; }
    const TFieldDataLink* DataLink() const { return &m_link; }
    TField* Field() const { return m_link.Field(); }

    // Key handling for the control's KeyDown and KeyPress; a key set to 0 or a null character
    // means the control takes no further action.
    void KeyDown(Word& Key, TShiftState Shift);
    void KeyPress(QChar& Key);
    // The user changed the text.
    void Changed();
    // Focus gained and lost: the field's edit text while focused, its display text otherwise;
    // leaving writes the text back.
    void Enter();
    void Exit();
    // Shows the field's value again.
    void Show();

private:
    void UpdateData();
    void EditingChanged();

    TObject* m_control;
    Hooks m_hooks;
    TFieldDataLink m_link;
    bool m_showing = false;
};

#define VYN_DATA_AWARE_PROPERTIES                                                                  \
public:                                                                                            \
    TDataSource* DataSource() const                                                                \
    {                                                                                              \
        return m_binding->DataLink()->DataSource();                                                \
    }                                                                                              \
    void SetDataSource(TDataSource* Value);                                                        \
    QString DataField() const                                                                      \
    {                                                                                              \
        return m_binding->DataLink()->FieldName();                                                 \
    }                                                                                              \
    void SetDataField(const QString& Value)                                                        \
    {                                                                                              \
        m_binding->DataLink()->SetFieldName(Value);                                                \
    }                                                                                              \
    /* Read-only for the user: the link never starts an edit. */                                   \
    bool ReadOnly() const                                                                          \
    {                                                                                              \
        return m_binding->DataLink()->ReadOnly();                                                  \
    }                                                                                              \
    void SetReadOnly(bool Value)                                                                   \
    {                                                                                              \
        m_binding->DataLink()->SetReadOnly(Value);                                                 \
    }                                                                                              \
    TField* Field() const                                                                          \
    {                                                                                              \
        return m_binding->Field();                                                                 \
    }                                                                                              \
                                                                                                   \
protected:                                                                                         \
    TFieldDataLink* DataLink() const                                                               \
    {                                                                                              \
        return m_binding->DataLink();                                                              \
    }                                                                                              \
    void Notification(TComponent* AComponent, TOperation Operation) override;                      \
                                                                                                   \
private:

// A one-line edit bound to a field.
class TDBEdit : public TEdit
{
    VYN_CLASS(TDBEdit, TEdit)
    VYN_DATA_AWARE_PROPERTIES
public:
    explicit TDBEdit(TComponent* AOwner);
    ~TDBEdit() override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;

private:
    std::unique_ptr<TDBTextBinding> m_binding;
};

// A memo bound to a text field.
class TDBMemo : public TMemo
{
    VYN_CLASS(TDBMemo, TMemo)
    VYN_DATA_AWARE_PROPERTIES
public:
    explicit TDBMemo(TComponent* AOwner);
    ~TDBMemo() override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;

private:
    std::unique_ptr<TDBTextBinding> m_binding;
};

// A combo box bound to a field: it shows the item that matches the field's text and writes
// the chosen item's text back.
class TDBComboBox : public TCustomComboBox
{
    VYN_CLASS(TDBComboBox, TCustomComboBox)
    VYN_DATA_AWARE_PROPERTIES
public:
    explicit TDBComboBox(TComponent* AOwner);
    ~TDBComboBox() override;

    // Copies the lines, then shows the field's text again.
    void SetItems(TStrings* Value);
    void SetStyle(TComboBoxStyle Value) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void Change() override;
    void DropDown() override;
    void DoEnter() override;
    void DoExit() override;
    // Shows the field's text: the first item equal to it ignoring case, or none.
    void ShowFieldText();

private:
    QString SelectedText() const;
    std::unique_ptr<TDBTextBinding> m_binding;
};

} // namespace vyn
