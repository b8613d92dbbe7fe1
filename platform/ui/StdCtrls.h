#pragma once

// Standard controls: labels, buttons, check boxes, radio buttons, group boxes, combo boxes,
// edits and memos.

#include "platform/core/Strings.h"
#include "platform/ui/Controls.h"

#include <memory>

class QLabel;
class QAbstractButton;
class QPushButton;
class QCheckBox;
class QRadioButton;
class QGroupBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QAbstractScrollArea;

namespace vyn {

class TCustomLabel : public TControl
{
    VYN_CLASS(TCustomLabel, TControl)
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);
    // The label takes the size of its text; a right-justified one keeps its right edge.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool Value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool Value);
    // "&x" marks an accelerator: the ampersand is not shown ("&&" shows one).
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool Value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool Value);

    QLabel* Label() const;

protected:
    void Loaded() override;
    void ApplyText() override;
    void ApplyFont() override;
    void ApplyColor() override;
    void AdjustBounds();

private:
    TAlignment m_alignment = taLeftJustify;
    bool m_autoSize = true;
    bool m_wordWrap = false;
    bool m_showAccelChar = true;
    bool m_transparent = false;
};

class TLabel : public TCustomLabel
{
    VYN_CLASS(TLabel, TCustomLabel)
public:
    using TCustomLabel::TCustomLabel;
};

// What push buttons, check boxes and radio buttons share: a caption on a Qt button, and a
// click of their own (the widget's, by mouse or Space) rather than one on mouse release.
class TButtonControl : public TWinControl
{
    VYN_CLASS(TButtonControl, TWinControl)
protected:
    TButtonControl(TComponent* AOwner, QAbstractButton* AButton);
    QAbstractButton* Button() const;
    void ApplyText() override;
    // The caption's box sits left of the text unless the alignment puts the text first.
    void ApplyAlignment(TAlignment Value);
};

// A push button. A click runs OnClick and then closes the form with the button's
// ModalResult (a handler that fails leaves the form open).
class TButton : public TButtonControl
{
    VYN_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);

    // Enter presses the default button (unless another button has the focus).
    bool Default() const { return m_default; }
    void SetDefault(bool Value);
    // Escape presses the cancel button.
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool Value) { m_cancel = Value; }
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult Value) { m_modalResult = Value; }

    void Click() override;

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::NoRole; }

private:
    bool m_default = false;
    bool m_cancel = false;
    TModalResult m_modalResult = mrNone;
};

VYN_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)

// A check box. OnClick runs whenever its state changes, by the user or by the program.
class TCustomCheckBox : public TButtonControl
{
    VYN_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    bool Checked() const { return m_state == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return m_state; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool Value);
    // taRightJustify (the default) puts the caption right of the box.
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);

private:
    TCheckBoxState m_state = cbUnchecked;
    bool m_allowGrayed = false;
    TAlignment m_alignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox
{
    VYN_CLASS(TCheckBox, TCustomCheckBox)
public:
    using TCustomCheckBox::TCustomCheckBox;
};

// A radio button: turning it on turns off the radio buttons beside it (same parent), runs
// OnClick, and makes it the one of them the Tab key stops at.
class TRadioButton : public TButtonControl
{
    VYN_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);

    bool Checked() const { return m_checked; }
    void SetChecked(bool Value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);

private:
    bool m_checked = false;
    TAlignment m_alignment = taRightJustify;
};

class TCustomGroupBox : public TWinControl
{
    VYN_CLASS(TCustomGroupBox, TWinControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void ApplyText() override;
};

class TGroupBox : public TCustomGroupBox
{
    VYN_CLASS(TGroupBox, TCustomGroupBox)
public:
    using TCustomGroupBox::TCustomGroupBox;
};

VYN_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed,
         csOwnerDrawVariable)

class TCustomComboBox;

// A combo box's item list, kept in the widget.
class TComboBoxStrings : public TStrings
{
    VYN_CLASS(TComboBoxStrings, TStrings)
public:
    explicit TComboBoxStrings(TCustomComboBox* ComboBox) : m_combo(ComboBox) {}

    int Count() const override;
    QString Get(int Index) const override;
    void Put(int Index, const QString& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    int Add(const QString& S) override;
    void Insert(int Index, const QString& S) override;
    void Delete(int Index) override;
    void Clear() override;

private:
    TCustomComboBox* m_combo;
};

// A combo box. The editable styles (csDropDown, csSimple) have a text of their own, which
// changes to the list leave as it is; the list styles show the selected item.
class TCustomComboBox : public TWinControl
{
    VYN_CLASS(TCustomComboBox, TWinControl)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return m_style; }
    virtual void SetStyle(TComboBoxStyle Value);
    TStrings* Items() const { return m_items.get(); }
    void SetItems(TStrings* Value) { m_items->Assign(Value); }
    QString Text() const { return GetText(); }
    QString GetText() const override;
    void SetText(const QString& Value) override;
    int ItemIndex() const;
    void SetItemIndex(int Value);
    int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int Value);
    int DropDownCount() const { return m_dropDownCount; }
    void SetDropDownCount(int Value);
    // Keeps the list in alphabetical order (ignoring case); Add inserts in place.
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int Value);
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    QString SelText() const;
    void SelectAll();
    void Clear();

    QComboBox* ComboBox() const;

    // User edits of the text and user choices in the list.
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;

protected:
    virtual void Change();
    virtual void DropDown();
    // CB_SHOWDROPDOWN: WParam 1 opens the list, 0 closes it.
    void WndProc(TMessage& Message) override;
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }
    bool IsEditable() const { return m_style == csDropDown || m_style == csSimple; }

private:
    friend class TComboBoxStrings;
    // Runs a change of the list without touching the text or selection the user sees.
    template <class F> void ChangeList(F change);
    void ConnectEditor();

    std::unique_ptr<TComboBoxStrings> m_items;
    TComboBoxStyle m_style = csDropDown;
    int m_itemHeight = 13;
    int m_dropDownCount = 8;
    bool m_sorted = false;
    int m_maxLength = 0;
};

class TComboBox : public TCustomComboBox
{
    VYN_CLASS(TComboBox, TCustomComboBox)
public:
    using TCustomComboBox::TCustomComboBox;
};

// What edits and memos share: text, selection, clipboard, read-only and modified state.
// Positions count characters of the text, one per line break.
class TCustomEdit : public TWinControl
{
    VYN_CLASS(TCustomEdit, TWinControl)
public:
    QString Text() const { return GetText(); }

    virtual int SelStart() const = 0;
    virtual void SetSelStart(int Value) = 0;
    virtual int SelLength() const = 0;
    virtual void SetSelLength(int Value) = 0;
    virtual QString SelText() const = 0;
    virtual void SetSelText(const QString& Value) = 0;
    virtual void SelectAll() = 0;
    virtual void CopyToClipboard() = 0;
    virtual void CutToClipboard() = 0;
    virtual void PasteFromClipboard() = 0;
    void ClearSelection() { SetSelText(QString()); }
    virtual void Clear() { SetText(QString()); }

    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool Value);
    // Set by the user's edits; cleared when the program sets the text.
    virtual bool Modified() const = 0;
    virtual void SetModified(bool Value) = 0;
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int Value);

    TNotifyEvent OnChange;

protected:
    TCustomEdit(TComponent* AOwner, QWidget* AWidget);
    virtual void Change();
    virtual void ApplyReadOnly() = 0;
    virtual void ApplyMaxLength() = 0;
    QPalette::ColorRole ColorRole() const override { return QPalette::Base; }

private:
    bool m_readOnly = false;
    int m_maxLength = 0;
};

class TEdit : public TCustomEdit
{
    VYN_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner);

    QString GetText() const override;
    void SetText(const QString& Value) override;
    int SelStart() const override;
    void SetSelStart(int Value) override;
    int SelLength() const override;
    void SetSelLength(int Value) override;
    QString SelText() const override;
    void SetSelText(const QString& Value) override;
    void SelectAll() override;
    void CopyToClipboard() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;
    bool Modified() const override;
    void SetModified(bool Value) override;

    QLineEdit* LineEdit() const;

protected:
    void ApplyReadOnly() override;
    void ApplyMaxLength() override;
};

VYN_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

// Shows the scroll bars the style names on an editor, always, and hides the others.
void ApplyScrollStyle(QAbstractScrollArea* Area, TScrollStyle Style);

class TMemoStrings;

class TMemo : public TCustomEdit
{
    VYN_CLASS(TMemo, TCustomEdit)
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    // The lines joined with CR LF.
    QString GetText() const override;
    void SetText(const QString& Value) override;
    TStrings* Lines() const;
    void SetLines(TStrings* Value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Enter starts a new line (otherwise it goes to the form's default button).
    bool WantReturns() const { return m_wantReturns; }
    void SetWantReturns(bool Value) { m_wantReturns = Value; }
    bool WantTabs() const { return m_wantTabs; }
    void SetWantTabs(bool Value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);

    int SelStart() const override;
    void SetSelStart(int Value) override;
    int SelLength() const override;
    void SetSelLength(int Value) override;
    QString SelText() const override;
    void SetSelText(const QString& Value) override;
    void SelectAll() override;
    void CopyToClipboard() override;
    void CutToClipboard() override;
    void PasteFromClipboard() override;
    bool Modified() const override;
    void SetModified(bool Value) override;

    QPlainTextEdit* Editor() const;

protected:
    bool WantsKey(Word Key) const override;
    void ApplyReadOnly() override;
    void ApplyMaxLength() override;

private:
    std::unique_ptr<TMemoStrings> m_lines;
    bool m_wordWrap = true;
    TScrollStyle m_scrollBars = ssNone;
    bool m_wantReturns = true;
    bool m_wantTabs = false;
    TAlignment m_alignment = taLeftJustify;
};

} // namespace vyn
