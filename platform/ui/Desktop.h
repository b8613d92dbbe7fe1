#pragma once

// What the desktop tells and does for the program: system metrics, the desktop window, and
// opening documents and addresses ("mailto:...", web addresses) with the desktop's programs.

#include "platform/ui/Messages.h"

#include <QString>
#include <functional>

namespace vyn {

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;

// A measure of the desktop in pixels: the screen's size, the width and height of scroll-bar
// arrows (the style's scroll-bar extent); 0 for an index it does not know.
int GetSystemMetrics(int Index);

// The desktop as a parent window: it is no window of the program, so it has no widget.
HWND GetDesktopWindow();

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;

using HINSTANCE = std::intptr_t;
constexpr HINSTANCE ERROR_FILE_NOT_FOUND = 2;
constexpr HINSTANCE SE_ERR_NOASSOC = 31;

// Hands a document or address to the desktop, which opens it with the program it associates
// with it. The address reaches the desktop unchanged, as one argument; no shell sees it.
// Operation is "open" (or empty); Parameters must be empty (they are for programs, and the
// desktop opens documents); Directory is where a relative path is found; hWnd and ShowCmd are
// left to the desktop. Returns a value above 32 when the desktop took the address,
// ERROR_FILE_NOT_FOUND for an empty one, SE_ERR_NOASSOC otherwise.
HINSTANCE ShellExecute(HWND hWnd, const QString& Operation, const QString& File,
                       const QString& Parameters, const QString& Directory, int ShowCmd);

// What hands an address to the desktop; true when it was taken. Tests install their own to
// see what was handed over. The default one starts "xdg-open" with the address as its one
// argument, without a shell, and refuses an address that begins with "-" (xdg-open would
// read it as an option).
using TDesktopLauncher = std::function<bool(const QString& Address, const QString& Directory)>;
bool DefaultDesktopLauncher(const QString& Address, const QString& Directory);
// Installs a launcher (an empty one restores the default) and returns the one it replaces.
TDesktopLauncher SetDesktopLauncher(TDesktopLauncher Launcher);

} // namespace vyn
