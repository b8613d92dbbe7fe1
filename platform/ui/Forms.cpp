#include "platform/ui/Forms.h"

#include "platform/core/Exception.h"
#include "platform/core/Layout.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/TypInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/StdCtrls.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vyn {

namespace {

// OnCreate of a form or data module: with an application running, an error is shown and the
// instance stays; without one it reaches the creator.
void RunOnCreate(TComponent* Self, const TNotifyEvent& OnCreate)
{
    if (Application)
        GuardEvent(Self, [&] { OnCreate(Self); });
    else
        OnCreate(Self);
}

template <class Pred> TButton* FindButton(TWinControl* Parent, Pred pred)
{
    for (int i = 0; i < Parent->ControlCount(); ++i) {
        TControl* c = Parent->Controls(i);
        if (auto* b = dynamic_cast<TButton*>(c); b && pred(b))
            return b;
        if (auto* wc = dynamic_cast<TWinControl*>(c))
            if (TButton* b = FindButton(wc, pred))
                return b;
    }
    return nullptr;
}

} // namespace

TCustomForm* GetParentForm(TControl* Control)
{
    if (!Control)
        return nullptr;
    TControl* top = Control;
    while (top->Parent())
        top = top->Parent();
    return dynamic_cast<TCustomForm*>(top);
}

// ---------------------------------------------------------------------------------------------
// TCustomForm

const TClassInfo& TCustomForm::StaticClassInfo()
{
    using C = TCustomForm;
    static const TClassInfo info =
        TClassBuilder<C>("TCustomForm")
            .Property("ActiveControl", &C::ActiveControl, &C::SetActiveControl)
            .Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle)
            .Property("Caption", &C::Caption, &C::SetCaption)
            .Property("ClientHeight", &C::ClientHeight, &C::SetClientHeight)
            .Property("ClientWidth", &C::ClientWidth, &C::SetClientWidth)
            .Property("FormStyle", &C::FormStyle, &C::SetFormStyle)
            .Property(
                "KeyPreview", [](C* c) { return c->m_keyPreview; },
                [](C* c, bool v) { c->m_keyPreview = v; })
            .Property(
                "OldCreateOrder", [](C* c) { return c->m_oldCreateOrder; },
                [](C* c, bool v) { c->m_oldCreateOrder = v; })
            .Property("PixelsPerInch", &C::PixelsPerInch, &C::SetPixelsPerInch)
            .Property("Position", &C::Position, &C::SetPosition)
            .Property(
                "Scaled", [](C* c) { return c->m_scaled; }, [](C* c, bool v) { c->m_scaled = v; })
            .Property(
                "TextHeight", [](C* c) { return c->m_textHeight; },
                [](C* c, int v) { c->m_textHeight = v; })
            .Member("OnActivate", &C::OnActivate)
            .Member("OnCreate", &C::OnCreate)
            .Member("OnDeactivate", &C::OnDeactivate)
            .Member("OnDestroy", &C::OnDestroy)
            .Member("OnHide", &C::OnHide)
            .Member("OnShow", &C::OnShow)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TCustomForm)

const TClassInfo& TForm::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TForm>("TForm").Build();
    return info;
}
VYN_REGISTER_CLASS(TForm)

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner, new QWidget(nullptr, Qt::Window))
{
    m_visible = false;
    SetColor(clBtnFace);
    ApplyWindowFlags();
    SetBounds(0, 0, 320, 240);
    if (Screen)
        Screen->AddForm(this);
}

void TCustomForm::BeforeDestruction()
{
    if (m_visible)
        HideWindow(!(Application && Application->Terminated()));
    GuardEvent(this, [this] { DoDestroy(); });
}

TCustomForm::~TCustomForm()
{
    PrepareDestruction();
    Destroying();
    if (Screen)
        Screen->RemoveForm(this);
}

void TCustomForm::CreateFromLayout(const QByteArray& Text, const QString& SourceName)
{
    ReadComponentLayout(this, Text, SourceName);
    DoCreate();
}

void TCustomForm::DoCreate()
{
    RunOnCreate(this, OnCreate);
}

void TCustomForm::DoDestroy()
{
    OnDestroy(this);
}

void TCustomForm::Activate()
{
    OnActivate(this);
}

void TCustomForm::Deactivate()
{
    OnDeactivate(this);
}

void TCustomForm::Loaded()
{
    TWinControl::Loaded();
    if (m_visible) {
        m_visible = false;
        SetVisible(true);
    }
}

QSize TCustomForm::FrameSize() const
{
    // Frame and caption of the classic desktop at 96 pixels per inch.
    switch (m_borderStyle) {
    case bsNone:
        return {0, 0};
    case bsSingle:
    case bsDialog:
        return {6, 25};
    case bsToolWindow:
        return {6, 22};
    case bsSizeToolWin:
        return {8, 24};
    case bsSizeable:
    default:
        return {8, 27};
    }
}

int TCustomForm::ClientWidth() const
{
    return std::max(0, Width() - FrameSize().width());
}

int TCustomForm::ClientHeight() const
{
    return std::max(0, Height() - FrameSize().height());
}

void TCustomForm::SetClientWidth(int Value)
{
    SetWidth(Value + FrameSize().width());
}

void TCustomForm::SetClientHeight(int Value)
{
    SetHeight(Value + FrameSize().height());
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (m_borderStyle == Value)
        return;
    m_borderStyle = Value;
    ApplyWindowFlags();
    Realign();
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (m_formStyle == Value)
        return;
    m_formStyle = Value;
    ApplyWindowFlags();
}

void TCustomForm::ApplyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window;
    switch (m_borderStyle) {
    case bsNone:
        flags |= Qt::FramelessWindowHint;
        break;
    case bsDialog:
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        flags = Qt::Tool;
        break;
    default:
        break;
    }
    if (m_formStyle == fsStayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    QWidget* w = Widget();
    if (w->windowFlags() == flags)
        return;
    const bool shown = w->isVisible();
    w->setWindowFlags(flags);
    ApplyBounds();
    if (shown)
        w->show();
}

void TCustomForm::ApplyBounds()
{
    m_applyingBounds = true;
    auto done = Finally([this] { m_applyingBounds = false; });
    QWidget* w = Widget();
    w->move(Left(), Top());
    const QSize client(ClientWidth(), ClientHeight());
    if (m_borderStyle == bsSizeable || m_borderStyle == bsSizeToolWin || m_borderStyle == bsNone) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        w->resize(client);
    } else {
        w->setFixedSize(client);
    }
}

void TCustomForm::ApplyVisible()
{
    // Forms show and hide through ShowWindow and HideWindow only.
}

void TCustomForm::ApplyText()
{
    Widget()->setWindowTitle(GetText());
}

bool TCustomForm::Active() const
{
    return Screen && Screen->ActiveForm() == this;
}

void TCustomForm::SetVisible(bool Value)
{
    if (Loading()) {
        m_visible = Value;
        return;
    }
    if (Value == m_visible)
        return;
    if (Value)
        ShowWindow();
    else
        HideWindow(true);
}

void TCustomForm::ShowWindow()
{
    m_visible = true;
    if (m_position == poScreenCenter || m_position == poDesktopCenter ||
        m_position == poMainFormCenter || m_position == poOwnerFormCenter) {
        QRect area(0, 0, Screen ? Screen->Width() : 800, Screen ? Screen->Height() : 600);
        TCustomForm* main = Application ? Application->MainForm() : nullptr;
        if ((m_position == poMainFormCenter || m_position == poOwnerFormCenter) && main &&
            main != this && main->Visible())
            area = QRect(main->Left(), main->Top(), main->Width(), main->Height());
        TControl::SetBounds(area.left() + (area.width() - Width()) / 2,
                            area.top() + (area.height() - Height()) / 2, Width(), Height());
    }
    ApplyBounds();
    QWidget* w = Widget();
    w->show();
    w->activateWindow();
    OnShow(this);
    if (!m_activeControl || !m_activeControl->CanFocus())
        m_activeControl = FindNextControl(nullptr, true, true);
    if (m_activeControl)
        m_activeControl->Widget()->setFocus(Qt::ActiveWindowFocusReason);
    if (Screen)
        Screen->SetActiveForm(this);
}

void TCustomForm::HideWindow(bool ActivateNext)
{
    m_visible = false;
    Widget()->hide();
    GuardEvent(this, [this] { OnHide(this); });
    if (ActivateNext && Screen && Screen->ActiveForm() == this)
        Screen->ActivateNext(nullptr);
}

TModalResult TCustomForm::ShowModal()
{
    if (m_visible || m_modal)
        throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
    if (!Enabled())
        throw EInvalidOperation(QStringLiteral("Cannot make a disabled window modal"));
    TCustomForm* behind = Screen ? Screen->ActiveForm() : nullptr;
    m_modalResult = mrNone;
    m_modal = true;
    if (Screen)
        Screen->m_modalForms.push_back(this);
    Widget()->setWindowModality(Qt::ApplicationModal);
    auto restore = Finally([this, behind] {
        m_modal = false;
        if (Screen) {
            auto& stack = Screen->m_modalForms;
            stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
        }
        HideWindow(false);
        Widget()->setWindowModality(Qt::NonModal);
        if (Screen)
            Screen->ActivateNext(behind);
    });
    ShowWindow();
    if (Application && Application->ModalDriver()) {
        // A copy: the driver may be replaced while it runs.
        const TModalDriver driver = Application->ModalDriver();
        const TModalResult result = driver(this);
        if (result != mrNone)
            m_modalResult = result;
        if (m_modalResult == mrNone)
            m_modalResult = mrCancel;
    } else {
        while (m_modalResult == mrNone) {
            if (Application && Application->Terminated()) {
                m_modalResult = mrCancel;
                break;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    return m_modalResult;
}

void TCustomForm::Close()
{
    if (m_modal) {
        m_modalResult = mrCancel;
        return;
    }
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    SetVisible(false);
}

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (Control == m_activeControl)
        return;
    if (Control && !Loading() && GetParentForm(Control) != this)
        throw EInvalidOperation(
            QStringLiteral("%1 is not a control of %2").arg(Control->Name(), Name()));
    if (Control && !Loading() && m_visible)
        FocusControl(Control);
    else
        m_activeControl = Control;
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    if (!Control->CanFocus())
        throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
    m_activeControl = Control;
    Control->Widget()->setFocus(Qt::OtherFocusReason);
    if (Screen && Screen->ActiveForm() == this)
        Screen->ControlFocused(Control);
}

void TCustomForm::ControlDestroyed(TControl* Control)
{
    if (m_activeControl == Control)
        m_activeControl = nullptr;
}

bool TCustomForm::DialogKey(Word Key)
{
    TButton* target = nullptr;
    if (Key == VK_RETURN) {
        target = dynamic_cast<TButton*>(m_activeControl);
        if (!target)
            target = FindButton(this, [](TButton* b) { return b->Default(); });
    } else if (Key == VK_ESCAPE) {
        target = FindButton(this, [](TButton* b) { return b->Cancel(); });
    }
    if (!target || !target->CanFocus())
        return false;
    target->Click();
    return true;
}

bool TCustomForm::WidgetEvent(QWidget* Watched, QEvent* Event)
{
    if (Watched == Widget()) {
        switch (Event->type()) {
        case QEvent::Close:
            // The close box: the form decides (a modal form closes with mrCancel).
            Event->ignore();
            Close();
            return true;
        case QEvent::WindowActivate:
            if (Screen && m_visible &&
                (Screen->m_modalForms.empty() || Screen->m_modalForms.back() == this))
                Screen->SetActiveForm(this);
            return false;
        case QEvent::Resize:
        case QEvent::Move:
            // Moved or resized by the user: the bounds follow the window.
            if (!m_applyingBounds && Widget()->isVisible()) {
                const QSize frame = FrameSize();
                const QRect g = Widget()->geometry();
                const QPoint p = Widget()->pos();
                TControl::SetBounds(p.x(), p.y(), g.width() + frame.width(),
                                    g.height() + frame.height());
                Realign();
            }
            return false;
        default:
            break;
        }
    }
    return TWinControl::WidgetEvent(Watched, Event);
}

// ---------------------------------------------------------------------------------------------
// TDataModule

const TClassInfo& TDataModule::StaticClassInfo()
{
    using C = TDataModule;
    static const TClassInfo info =
        TClassBuilder<C>("TDataModule")
            .Property(
                "OldCreateOrder", [](C* c) { return c->m_oldCreateOrder; },
                [](C* c, bool v) { c->m_oldCreateOrder = v; })
            .Property(
                "Left", [](C* c) { return c->m_left; }, [](C* c, int v) { c->m_left = v; })
            .Property(
                "Top", [](C* c) { return c->m_top; }, [](C* c, int v) { c->m_top = v; })
            .Property(
                "Width", [](C* c) { return c->m_width; }, [](C* c, int v) { c->m_width = v; })
            .Property(
                "Height", [](C* c) { return c->m_height; }, [](C* c, int v) { c->m_height = v; })
            .Member("OnCreate", &C::OnCreate)
            .Member("OnDestroy", &C::OnDestroy)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TDataModule)

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner)
{
    if (Screen)
        Screen->AddDataModule(this);
}

void TDataModule::BeforeDestruction()
{
    // Before anything is marked as going: the handler may still post pending edits.
    GuardEvent(this, [this] { OnDestroy(this); });
}

TDataModule::~TDataModule()
{
    PrepareDestruction();
    Destroying();
    if (Screen)
        Screen->RemoveDataModule(this);
}

void TDataModule::CreateFromLayout(const QByteArray& Text, const QString& SourceName)
{
    ReadComponentLayout(this, Text, SourceName);
    RunOnCreate(this, OnCreate);
}

} // namespace vyn
