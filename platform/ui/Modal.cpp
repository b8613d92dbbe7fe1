#include "platform/ui/Modal.h"

#include "platform/core/Exception.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace vyn {

void ClickControl(TControl* Control)
{
    QWidget* w = Control->Widget();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->click();
        return;
    }
    const QPointF centre(w->width() / 2.0, w->height() / 2.0);
    const QPointF global = w->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

TScriptedModalDriver::TScriptedModalDriver()
{
    if (!Application)
        throw EInvalidOperation(QStringLiteral("A modal driver needs a running application"));
    m_previous = Application->ModalDriver();
    Application->SetModalDriver([this](TCustomForm* Form) { return Drive(Form); });
}

TScriptedModalDriver::~TScriptedModalDriver()
{
    if (Application)
        Application->SetModalDriver(m_previous);
}

TScriptedModalDriver& TScriptedModalDriver::Then(TStep Step)
{
    m_steps.push_back(std::move(Step));
    return *this;
}

TScriptedModalDriver& TScriptedModalDriver::Press(const QString& ComponentName)
{
    return Then([ComponentName](TCustomForm* Form) {
        auto* control = dynamic_cast<TControl*>(Form->FindComponent(ComponentName));
        if (!control)
            throw EComponentError(
                QStringLiteral("%1 has no control named %2").arg(Form->Name(), ComponentName));
        ClickControl(control);
        return mrNone;
    });
}

TScriptedModalDriver& TScriptedModalDriver::CloseBox()
{
    return Then([](TCustomForm* Form) {
        Form->Widget()->close();
        return mrNone;
    });
}

TModalResult TScriptedModalDriver::Drive(TCustomForm* Form)
{
    m_shown.append(Form->ClassName() + QStringLiteral(": ") + Form->Caption());
    while (Form->ModalResult() == mrNone) {
        if (m_steps.empty()) {
            m_unexpected.append(m_shown.last());
            return mrCancel;
        }
        TStep step = std::move(m_steps.front());
        m_steps.pop_front();
        if (const TModalResult result = step(Form); result != mrNone)
            return result;
    }
    return mrNone;
}

TScriptedPopupDriver::TScriptedPopupDriver()
{
    if (!Application)
        throw EInvalidOperation(QStringLiteral("A popup driver needs a running application"));
    m_previous = Application->PopupDriver();
    Application->SetPopupDriver([this](TPopupMenu* Menu, int, int) { return Drive(Menu); });
}

TScriptedPopupDriver::~TScriptedPopupDriver()
{
    if (Application)
        Application->SetPopupDriver(m_previous);
}

TScriptedPopupDriver& TScriptedPopupDriver::Then(TStep Step)
{
    m_steps.push_back(std::move(Step));
    return *this;
}

namespace {

TMenuItem* FindCaption(const TMenuItem* Parent, const QString& Caption)
{
    if (TMenuItem* found = Parent->Find(Caption))
        return found;
    for (int i = 0; i < Parent->Count(); ++i)
        if (TMenuItem* found = FindCaption(Parent->Items(i), Caption))
            return found;
    return nullptr;
}

} // namespace

TScriptedPopupDriver& TScriptedPopupDriver::Choose(const QString& Caption)
{
    return Then([Caption](TPopupMenu* Menu) {
        TMenuItem* item = FindCaption(Menu->Items(), Caption);
        if (!item)
            throw EMenuError(QStringLiteral("%1 has no item %2").arg(Menu->Name(), Caption));
        return item;
    });
}

TScriptedPopupDriver& TScriptedPopupDriver::Dismiss()
{
    return Then([](TPopupMenu*) -> TMenuItem* { return nullptr; });
}

TMenuItem* TScriptedPopupDriver::Drive(TPopupMenu* Menu)
{
    m_shown.append(Menu->Name());
    if (m_steps.empty()) {
        m_unexpected.append(Menu->Name());
        return nullptr;
    }
    TStep step = std::move(m_steps.front());
    m_steps.pop_front();
    return step(Menu);
}

} // namespace vyn
