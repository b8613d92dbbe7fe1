#pragma once

// The application and the screen: the program's lifetime, its forms and data modules, the
// active form and control, the modal entry point and the display of errors.

#include "platform/core/Exception.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"

#include <QObject>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

class QEventLoop;

namespace vyn {

class TScreen : public TComponent
{
    VYN_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    TCustomForm* ActiveForm() const { return m_activeForm; }
    // The control with the focus. It stays the control that had the focus while a modal
    // window is open.
    TWinControl* ActiveControl() const { return m_activeControl; }

    // Forms, the most recently active first; data modules in order of creation.
    int FormCount() const { return int(m_forms.size()); }
    TCustomForm* Forms(int Index) const;
    int DataModuleCount() const { return int(m_dataModules.size()); }
    TDataModule* DataModules(int Index) const;
    int Width() const;
    int Height() const;

    // Fires whenever another form becomes the active form.
    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

private:
    friend class TCustomForm;
    friend class TDataModule;
    friend class TControl;
    friend class TWinControl;

    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void AddDataModule(TDataModule* Module);
    void RemoveDataModule(TDataModule* Module);
    void SetActiveForm(TCustomForm* Form);
    // After a form hid: the most recently active visible form, or Preferred when it is still
    // shown.
    void ActivateNext(TCustomForm* Preferred);
    void FocusChanged(QWidget* Now);
    void ControlFocused(TWinControl* Control);
    void ControlDestroyed(TControl* Control);

    std::vector<TCustomForm*> m_forms;
    std::vector<TDataModule*> m_dataModules;
    std::vector<TCustomForm*> m_modalForms;
    TCustomForm* m_activeForm = nullptr;
    TWinControl* m_activeControl = nullptr;
    std::unique_ptr<QObject> m_connections;
};

// Receives a modal window, acts on it as a user would (sets its controls, presses its
// buttons) and returns the modal result, or mrNone to take the one the window has. A window
// left without a result counts as closed by its close box (mrCancel).
using TModalDriver = std::function<TModalResult(TCustomForm* Form)>;
using TExceptionEvent = Event<void(TObject* Sender, const Exception& E)>;

// The program. Creating it starts the application (Application and Screen are set);
// destroying it ends the program: its forms and data modules are destroyed first, then the
// units are finalised.
class TApplication : public TComponent
{
    VYN_CLASS(TApplication, TComponent)
public:
    TApplication();
    ~TApplication() override;

    // Runs the units' initialisations (once).
    void Initialize();
    // Creates a form or data module owned by the application; the first form becomes the main
    // form.
    template <class T> void CreateForm(T*& Reference)
    {
        static_assert(std::is_base_of_v<TComponent, T>);
        Reference = nullptr;
        Initialize();
        T* instance = new T(this);
        Reference = instance;
        FormCreated(instance);
    }
    TCustomForm* MainForm() const { return m_mainForm; }

    // Shows the main form and runs the Qt event loop until the main form closes or Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return m_terminated; }
    void ProcessMessages();

    QString ExeName() const;
    QString Title() const;
    void SetTitle(const QString& Value) { m_title = Value; }
    bool ShowMainForm() const { return m_showMainForm; }
    void SetShowMainForm(bool Value) { m_showMainForm = Value; }

    // The application's handling of an exception that left an event handler: OnException when
    // assigned, otherwise ShowException. EAbort is silent.
    void HandleException(TObject* Sender, const std::exception& E);
    // Shows the error's message in a message box (through the modal entry point).
    void ShowException(const std::exception& E);
    TExceptionEvent OnException;

    const TModalDriver& ModalDriver() const { return m_modalDriver; }
    void SetModalDriver(TModalDriver Driver) { m_modalDriver = std::move(Driver); }
    // Popup menus go to this driver instead of the user while one is installed.
    const TPopupDriver& PopupDriver() const { return m_popupDriver; }
    void SetPopupDriver(TPopupDriver Driver) { m_popupDriver = std::move(Driver); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void FormCreated(TComponent* Instance);

    std::unique_ptr<TScreen> m_screen;
    TCustomForm* m_mainForm = nullptr;
    bool m_terminated = false;
    bool m_showMainForm = true;
    bool m_quitOnLastWindowClosed = true;
    QString m_title;
    TModalDriver m_modalDriver;
    TPopupDriver m_popupDriver;
    QEventLoop* m_runLoop = nullptr;
};

extern TApplication* Application;
extern TScreen* Screen;

// The program's own path (argument 0). Tests point it elsewhere with SetProgramPath; an empty
// path returns to the real one.
QString ProgramPath();
void SetProgramPath(const QString& Path);

} // namespace vyn
