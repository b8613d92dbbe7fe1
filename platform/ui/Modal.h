#pragma once

// Driving modal windows without a user: the scripted driver that tests (and applications that
// test their own forms) install at the modal entry point, and the user's actions it performs.

#include "platform/ui/Application.h"

#include <QStringList>
#include <deque>
#include <functional>

namespace vyn {

// Clicks a control as the user would: a button through its own click, any other control by a
// left press and release at its centre. A failing handler is shown by the application.
void ClickControl(TControl* Control);

// Answers modal windows from a script, one step after another, in the order the windows
// appear. A window takes steps until it has a modal result, so a step whose click fails (the
// error box takes the next step) leaves its window open for the following one. A window shown
// when no step is left is recorded in Unexpected() and closed with mrCancel.
//
// Installed at the application's modal entry point while it lives; the driver it replaced is
// restored afterwards.
class TScriptedModalDriver
{
public:
    using TStep = std::function<TModalResult(TCustomForm* Form)>;

    TScriptedModalDriver();
    ~TScriptedModalDriver();
    TScriptedModalDriver(const TScriptedModalDriver&) = delete;
    TScriptedModalDriver& operator=(const TScriptedModalDriver&) = delete;

    // Any action; its result (unless mrNone) closes the window.
    TScriptedModalDriver& Then(TStep Step);
    // Clicks the window's component of that name (raises EComponentError when there is none).
    TScriptedModalDriver& Press(const QString& ComponentName);
    // Closes the window with its close box.
    TScriptedModalDriver& CloseBox();

    int Pending() const { return int(m_steps.size()); }
    // "Class: caption" of every window shown, in order.
    const QStringList& Shown() const { return m_shown; }
    const QStringList& Unexpected() const { return m_unexpected; }

private:
    TModalResult Drive(TCustomForm* Form);

    std::deque<TStep> m_steps;
    QStringList m_shown;
    QStringList m_unexpected;
    TModalDriver m_previous;
};

// Answers popup menus from a script, one step per menu opened, in order, instead of the user.
// A step sees the menu as it opens (refreshed) and returns the item chosen, or null to close
// it without a choice. A menu opened when no step is left is recorded in Unexpected() and
// closed without a choice.
//
// Installed at the application's popup entry while it lives; the driver it replaced is
// restored afterwards.
class TScriptedPopupDriver
{
public:
    using TStep = std::function<TMenuItem*(TPopupMenu* Menu)>;

    TScriptedPopupDriver();
    ~TScriptedPopupDriver();
    TScriptedPopupDriver(const TScriptedPopupDriver&) = delete;
    TScriptedPopupDriver& operator=(const TScriptedPopupDriver&) = delete;

    TScriptedPopupDriver& Then(TStep Step);
    // Chooses the item of that caption (ignoring '&' and case) at any depth; raises EMenuError
    // when the menu has none. A disabled or hidden item can be named: choosing it does nothing,
    // as with a real menu.
    TScriptedPopupDriver& Choose(const QString& Caption);
    TScriptedPopupDriver& Dismiss();

    int Pending() const { return int(m_steps.size()); }
    // The name of every menu opened, in order.
    const QStringList& Shown() const { return m_shown; }
    const QStringList& Unexpected() const { return m_unexpected; }

private:
    TMenuItem* Drive(TPopupMenu* Menu);

    std::deque<TStep> m_steps;
    QStringList m_shown;
    QStringList m_unexpected;
    TPopupDriver m_previous;
};

} // namespace vyn
