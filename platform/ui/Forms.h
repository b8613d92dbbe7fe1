#pragma once

// Forms and data modules.

#include "platform/ui/Controls.h"

#include <QByteArray>

namespace vyn {

VYN_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
         poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
VYN_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)

// A top-level window. Left, Top, Width and Height are the window's outer bounds, as layouts
// store them; the client area is smaller by the frame and caption of the border style.
class TCustomForm : public TWinControl
{
    VYN_CLASS(TCustomForm, TWinControl)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

protected:
    // Hides the form and runs OnDestroy while the whole form still exists.
    void BeforeDestruction() override;

public:
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition Value) { m_position = Value; }
    TFormStyle FormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle Value);
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    int PixelsPerInch() const { return m_pixelsPerInch; }
    void SetPixelsPerInch(int Value) { m_pixelsPerInch = Value; }

    // The control that has, or gets when the form is shown, the focus within the form.
    TWinControl* ActiveControl() const { return m_activeControl; }
    void SetActiveControl(TWinControl* Control);
    // Gives Control the focus and makes it the active control. Raises EInvalidOperation when
    // it cannot take the focus.
    void FocusControl(TWinControl* Control);

    // Any value but mrNone ends the form's modal showing.
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult Value) { m_modalResult = Value; }
    bool Modal() const { return m_modal; }
    bool Active() const;

    // Shows the form modally and returns the modal result. This is the application's one modal
    // entry point: it runs the real Qt modal loop, or hands the form to the modal driver that
    // an application or test installed (TApplication::SetModalDriver). The form is the active form
    // while it is shown; when it closes, the form behind it is active again before ShowModal
    // returns.
    TModalResult ShowModal();
    // A modal form closes with mrCancel; the main form ends the program; another form hides.
    void Close();
    void SetVisible(bool Value) override;

    // Enter and Escape that no control wanted: Enter clicks the focused button, or else the
    // default button; Escape clicks the cancel button. False when no button took the key.
    virtual bool DialogKey(Word Key);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    // Reads the form's stored layout, then runs OnCreate. A form class with a layout calls it
    // last in its constructor.
    void CreateFromLayout(const QByteArray& Text, const QString& SourceName = QString());
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void Activate();
    virtual void Deactivate();

    void Loaded() override;
    bool WidgetEvent(QWidget* Watched, QEvent* Event) override;
    void ApplyBounds() override;
    void ApplyVisible() override;
    void ApplyText() override;

private:
    friend class TScreen;
    friend class TControl;
    void ShowWindow();
    void HideWindow(bool ActivateNext);
    void ApplyWindowFlags();
    QSize FrameSize() const;
    void SelectFirst();
    void ControlDestroyed(TControl* Control);

    TFormBorderStyle m_borderStyle = bsSizeable;
    TPosition m_position = poDesigned;
    TFormStyle m_formStyle = fsNormal;
    int m_pixelsPerInch = 96;
    bool m_scaled = true;
    int m_textHeight = 13;
    bool m_oldCreateOrder = false;
    bool m_keyPreview = false;
    TWinControl* m_activeControl = nullptr;
    TModalResult m_modalResult = mrNone;
    bool m_modal = false;
    bool m_placed = false;
    bool m_applyingBounds = false;
};

class TForm : public TCustomForm
{
    VYN_CLASS(TForm, TCustomForm)
public:
    using TCustomForm::TCustomForm;
};

// A container of non-visual components (datasets, data sources); listed by the screen while
// it lives.
class TDataModule : public TComponent
{
    VYN_CLASS(TDataModule, TComponent)
public:
    explicit TDataModule(TComponent* AOwner);
    ~TDataModule() override;

protected:
    // Runs OnDestroy while the whole module still exists.
    void BeforeDestruction() override;

public:
    TNotifyEvent OnCreate;
    // Runs while the module's components still exist (datasets still open).
    TNotifyEvent OnDestroy;

protected:
    // Reads the module's stored layout, then runs OnCreate.
    void CreateFromLayout(const QByteArray& Text, const QString& SourceName = QString());

private:
    // Designer positions and flags that layouts store; kept.
    int m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    bool m_oldCreateOrder = false;
};

// The form a control sits on, or null.
TCustomForm* GetParentForm(TControl* Control);

} // namespace vyn
