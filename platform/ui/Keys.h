#pragma once

// Virtual-key codes, shift states and the translation of Qt's key events into them.

#include "platform/core/Object.h"
#include "platform/core/Set.h"

#include <QChar>
#include <QString>
#include <cstdint>

class QKeyEvent;

namespace vyn {

using Word = std::uint16_t;

VYN_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
using TShiftState = Set<TShiftStateItem>;

constexpr Word VK_BACK = 0x08;
constexpr Word VK_TAB = 0x09;
constexpr Word VK_CLEAR = 0x0C;
constexpr Word VK_RETURN = 0x0D;
constexpr Word VK_SHIFT = 0x10;
constexpr Word VK_CONTROL = 0x11;
constexpr Word VK_MENU = 0x12;
constexpr Word VK_PAUSE = 0x13;
constexpr Word VK_CAPITAL = 0x14;
constexpr Word VK_ESCAPE = 0x1B;
constexpr Word VK_SPACE = 0x20;
constexpr Word VK_PRIOR = 0x21;
constexpr Word VK_NEXT = 0x22;
constexpr Word VK_END = 0x23;
constexpr Word VK_HOME = 0x24;
constexpr Word VK_LEFT = 0x25;
constexpr Word VK_UP = 0x26;
constexpr Word VK_RIGHT = 0x27;
constexpr Word VK_DOWN = 0x28;
constexpr Word VK_SNAPSHOT = 0x2C;
constexpr Word VK_INSERT = 0x2D;
constexpr Word VK_DELETE = 0x2E;
constexpr Word VK_HELP = 0x2F;
constexpr Word VK_APPS = 0x5D;
constexpr Word VK_NUMPAD0 = 0x60;
constexpr Word VK_MULTIPLY = 0x6A;
constexpr Word VK_ADD = 0x6B;
constexpr Word VK_SEPARATOR = 0x6C;
constexpr Word VK_SUBTRACT = 0x6D;
constexpr Word VK_DECIMAL = 0x6E;
constexpr Word VK_DIVIDE = 0x6F;
constexpr Word VK_F1 = 0x70;
constexpr Word VK_F2 = 0x71;
constexpr Word VK_F3 = 0x72;
constexpr Word VK_F4 = 0x73;
constexpr Word VK_F5 = 0x74;
constexpr Word VK_F6 = 0x75;
constexpr Word VK_F7 = 0x76;
constexpr Word VK_F8 = 0x77;
constexpr Word VK_F9 = 0x78;
constexpr Word VK_F10 = 0x79;
constexpr Word VK_F11 = 0x7A;
constexpr Word VK_F12 = 0x7B;
constexpr Word VK_NUMLOCK = 0x90;
constexpr Word VK_SCROLL = 0x91;
constexpr Word VK_OEM_1 = 0xBA; // ;:
constexpr Word VK_OEM_PLUS = 0xBB;
constexpr Word VK_OEM_COMMA = 0xBC;
constexpr Word VK_OEM_MINUS = 0xBD;
constexpr Word VK_OEM_PERIOD = 0xBE;
constexpr Word VK_OEM_2 = 0xBF; // /?
constexpr Word VK_OEM_3 = 0xC0; // `~
constexpr Word VK_OEM_4 = 0xDB; // [{
constexpr Word VK_OEM_5 = 0xDC; // \|
constexpr Word VK_OEM_6 = 0xDD; // ]}
constexpr Word VK_OEM_7 = 0xDE; // '"

// The virtual-key code of a Qt key event (letters and digits as their capitals' codes, keypad
// keys distinct from the main row); 0 for keys without one.
Word VirtualKeyOf(const QKeyEvent* Event);
TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers);
// The character a key event produces as KeyPress sees it: Ctrl+letter gives its control code
// (Ctrl+A 1 ... Ctrl+Z 26), Backspace 8, Tab 9, Enter 13, Escape 27; a null character for keys
// that produce none.
QChar KeyCharOf(const QKeyEvent* Event);

// A key event as Qt would deliver it for a virtual-key code: the Qt key, its modifiers (with
// the keypad flag for keypad keys) and the text it types.
struct TQtKey
{
    int Key = 0;
    Qt::KeyboardModifiers Modifiers;
    QString Text;
};
TQtKey QtKeyOf(Word Key, TShiftState Shift);

} // namespace vyn
