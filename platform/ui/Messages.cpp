#include "platform/ui/Messages.h"

#include "platform/ui/Controls.h"

#include <QMetaObject>
#include <QWidget>

namespace vyn {

namespace {

TControl* ControlOfWindow(HWND hWnd)
{
    TControl* control = TControl::FindControl(hWnd);
    return control && control->Widget() == hWnd ? control : nullptr;
}

} // namespace

bool PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (!hWnd)
        return false;
    // The widget is the call's context: Qt drops the call when the widget is destroyed first.
    QMetaObject::invokeMethod(
        hWnd,
        [hWnd, Msg, wParam, lParam] {
            if (TControl* control = ControlOfWindow(hWnd))
                GuardEvent(control, [&] { control->Perform(Msg, wParam, lParam); });
        },
        Qt::QueuedConnection);
    return true;
}

LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    TControl* control = hWnd ? ControlOfWindow(hWnd) : nullptr;
    return control ? control->Perform(Msg, wParam, lParam) : 0;
}

} // namespace vyn
