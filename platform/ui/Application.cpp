#include "platform/ui/Application.h"

#include "platform/core/Layout.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/TypInfo.h"
#include "platform/core/Unit.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vyn {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

QString& ProgramPathOverride()
{
    static QString path;
    return path;
}

template <class T> void EraseFrom(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

QString ProgramPath()
{
    const QString& path = ProgramPathOverride();
    return path.isEmpty() ? QCoreApplication::applicationFilePath() : path;
}

void SetProgramPath(const QString& Path)
{
    ProgramPathOverride() = Path;
}

// ---------------------------------------------------------------------------------------------
// TScreen

const TClassInfo& TScreen::StaticClassInfo()
{
    static const TClassInfo info =
        TClassBuilder<TScreen>("TScreen")
            .Member("OnActiveFormChange", &TScreen::OnActiveFormChange)
            .Member("OnActiveControlChange", &TScreen::OnActiveControlChange)
            .Build();
    return info;
}

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner), m_connections(std::make_unique<QObject>())
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        QObject::connect(app, &QApplication::focusChanged, m_connections.get(),
                         [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

TScreen::~TScreen() = default;

TCustomForm* TScreen::Forms(int Index) const
{
    if (Index < 0 || Index >= FormCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return m_forms[size_t(Index)];
}

TDataModule* TScreen::DataModules(int Index) const
{
    if (Index < 0 || Index >= DataModuleCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return m_dataModules[size_t(Index)];
}

int TScreen::Width() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 800;
}

int TScreen::Height() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 600;
}

void TScreen::AddForm(TCustomForm* Form)
{
    m_forms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form)
{
    EraseFrom(m_forms, Form);
    EraseFrom(m_modalForms, Form);
    if (m_activeForm == Form)
        m_activeForm = nullptr;
    if (m_activeControl && GetParentForm(m_activeControl) == Form)
        m_activeControl = nullptr;
}

void TScreen::AddDataModule(TDataModule* Module)
{
    m_dataModules.push_back(Module);
}

void TScreen::RemoveDataModule(TDataModule* Module)
{
    EraseFrom(m_dataModules, Module);
}

void TScreen::SetActiveForm(TCustomForm* Form)
{
    if (Form == m_activeForm)
        return;
    TCustomForm* old = m_activeForm;
    m_activeForm = Form;
    if (Form) {
        EraseFrom(m_forms, Form);
        m_forms.insert(m_forms.begin(), Form);
    }
    if (m_modalForms.empty())
        ControlFocused(Form ? Form->ActiveControl() : nullptr);
    if (old)
        GuardEvent(old, [old] { old->Deactivate(); });
    GuardEvent(this, [this] { OnActiveFormChange(this); });
    if (Form && m_activeForm == Form)
        GuardEvent(Form, [Form] { Form->Activate(); });
}

void TScreen::ActivateNext(TCustomForm* Preferred)
{
    TCustomForm* target = nullptr;
    if (Preferred && Preferred->Visible() &&
        std::find(m_forms.begin(), m_forms.end(), Preferred) != m_forms.end()) {
        target = Preferred;
    } else {
        for (TCustomForm* f : m_forms)
            if (f->Visible() && (m_modalForms.empty() || f == m_modalForms.back())) {
                target = f;
                break;
            }
    }
    SetActiveForm(target);
    if (target) {
        target->Widget()->activateWindow();
        if (TWinControl* c = target->ActiveControl())
            c->Widget()->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void TScreen::FocusChanged(QWidget* Now)
{
    auto* control = dynamic_cast<TWinControl*>(TControl::FindControl(Now));
    if (!control || control->ComponentState().Contains(csDestroying))
        return;
    // A popup of the control (a combo box's list) is a window of its own: the focus in it
    // is no move between controls.
    if (Now->window() != control->Widget()->window())
        return;
    TCustomForm* form = GetParentForm(control);
    if (!form || form == control || form->ComponentState().Contains(csDestroying))
        return;
    form->m_activeControl = control;
    if (m_modalForms.empty() || m_modalForms.back() == form)
        SetActiveForm(form);
    ControlFocused(control);
}

void TScreen::ControlFocused(TWinControl* Control)
{
    // A modal window keeps the control behind it as the active control.
    if (!m_modalForms.empty() || m_activeControl == Control)
        return;
    m_activeControl = Control;
    GuardEvent(this, [this] { OnActiveControlChange(this); });
}

void TScreen::ControlDestroyed(TControl* Control)
{
    if (m_activeControl == Control)
        m_activeControl = nullptr;
    for (TCustomForm* f : m_forms)
        f->ControlDestroyed(Control);
}

// ---------------------------------------------------------------------------------------------
// TApplication

const TClassInfo& TApplication::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TApplication>("TApplication")
                                       .Member("OnException", &TApplication::OnException)
                                       .Build();
    return info;
}

TApplication::TApplication() : TComponent(nullptr)
{
    if (Application)
        throw EInvalidOperation(QStringLiteral("An application is already running"));
    Application = this;
    m_screen = std::make_unique<TScreen>(nullptr);
    Screen = m_screen.get();
    // Forms close through the application, not through Qt's last-window rule.
    m_quitOnLastWindowClosed = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    SetFindGlobalComponent([](const QString& Name) -> TComponent* {
        const QString root = Name.section(QLatin1Char('.'), 0, 0);
        const QString inner = Name.section(QLatin1Char('.'), 1);
        if (!Screen || inner.contains(QLatin1Char('.')))
            return nullptr;
        auto match = [&](TComponent* c) -> TComponent* {
            return c->Name().compare(root, Qt::CaseInsensitive) == 0 ? c->FindComponent(inner)
                                                                     : nullptr;
        };
        for (int i = 0; i < Screen->DataModuleCount(); ++i)
            if (TComponent* found = match(Screen->DataModules(i)))
                return found;
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (TComponent* found = match(Screen->Forms(i)))
                return found;
        return nullptr;
    });
}

TApplication::~TApplication()
{
    m_terminated = true;
    // Program end: forms and data modules first, while every unit is still there.
    DestroyComponents();
    m_mainForm = nullptr;
    try {
        FinalizeUnits();
    } catch (const std::exception& e) {
        qWarning("vyn: unit finalisation failed: %s", e.what());
    }
    SetFindGlobalComponent(nullptr);
    Screen = nullptr;
    m_screen.reset();
    QGuiApplication::setQuitOnLastWindowClosed(m_quitOnLastWindowClosed);
    Application = nullptr;
}

void TApplication::Initialize()
{
    InitializeUnits();
}

void TApplication::FormCreated(TComponent* Instance)
{
    if (auto* form = dynamic_cast<TCustomForm*>(Instance); form && !m_mainForm)
        m_mainForm = form;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_mainForm)
        m_mainForm = nullptr;
}

void TApplication::Run()
{
    if (!m_mainForm || m_terminated)
        return;
    if (m_showMainForm)
        m_mainForm->Show();
    QEventLoop loop;
    m_runLoop = &loop;
    auto done = Finally([this] { m_runLoop = nullptr; });
    if (!m_terminated)
        loop.exec();
}

void TApplication::Terminate()
{
    m_terminated = true;
    if (m_runLoop)
        m_runLoop->quit();
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents();
}

QString TApplication::ExeName() const
{
    return ProgramPath();
}

QString TApplication::Title() const
{
    return m_title.isEmpty() ? QFileInfo(ProgramPath()).completeBaseName() : m_title;
}

void TApplication::HandleException(TObject* Sender, const std::exception& E)
{
    if (dynamic_cast<const EAbort*>(&E))
        return;
    if (OnException.Assigned()) {
        if (auto* e = dynamic_cast<const Exception*>(&E))
            OnException(Sender, *e);
        else
            OnException(Sender, Exception(QString::fromUtf8(E.what())));
        return;
    }
    ShowException(E);
}

void TApplication::ShowException(const std::exception& E)
{
    auto* e = dynamic_cast<const Exception*>(&E);
    QString message = e ? e->Message() : QString::fromUtf8(E.what());
    // As the toolkit does: a sentence ends with a full stop.
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        message += QLatin1Char('.');
    std::unique_ptr<TMessageForm> box = CreateMessageForm(message, Title());
    box->ShowModal();
}

} // namespace vyn
