#pragma once

// Window messages: the few the library sends or posts to controls, and the queue that carries
// posted ones. A window handle is the control's widget; a control answers messages in WndProc.

#include <cstdint>

class QWidget;

namespace vyn {

using HWND = QWidget*;
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;

struct TMessage
{
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Queues the message for the control whose window hWnd is; it is handled once the GUI event
// loop runs, never at once. A message for a window that is gone by then is dropped. False
// for no window.
bool PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Handles the message at once and returns its result (0 for no control).
LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

} // namespace vyn
