#include "platform/ui/Keys.h"

#include <QKeyEvent>

namespace vyn {

Word VirtualKeyOf(const QKeyEvent* Event)
{
    const int key = Event->key();
    const bool keypad = Event->modifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return Word('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? Word(VK_NUMPAD0 + (key - Qt::Key_0)) : Word('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return Word(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Clear:
        return VK_CLEAR;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Print:
        return VK_SNAPSHOT;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Help:
        return VK_HELP;
    case Qt::Key_Menu:
        return VK_APPS;
    case Qt::Key_NumLock:
        return VK_NUMLOCK;
    case Qt::Key_ScrollLock:
        return VK_SCROLL;
    case Qt::Key_Asterisk:
        return keypad ? VK_MULTIPLY : Word('8');
    case Qt::Key_Plus:
        return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus:
        return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period:
        return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash:
        return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Comma:
        return keypad ? VK_SEPARATOR : VK_OEM_COMMA;
    case Qt::Key_Equal:
        return VK_OEM_PLUS;
    case Qt::Key_Underscore:
        return VK_OEM_MINUS;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return VK_OEM_1;
    case Qt::Key_Question:
        return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return VK_OEM_7;
    default:
        return 0;
    }
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers)
{
    TShiftState s;
    if (Modifiers.testFlag(Qt::ShiftModifier))
        s.Include(ssShift);
    if (Modifiers.testFlag(Qt::ControlModifier))
        s.Include(ssCtrl);
    if (Modifiers.testFlag(Qt::AltModifier))
        s.Include(ssAlt);
    return s;
}

QChar KeyCharOf(const QKeyEvent* Event)
{
    const int key = Event->key();
    switch (key) {
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QChar(9);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Escape:
        return QChar(27);
    default:
        break;
    }
    const Qt::KeyboardModifiers mods = Event->modifiers();
    if (mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier)) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return QChar(1 + (key - Qt::Key_A));
        return QChar();
    }
    const QString text = Event->text();
    if (text.isEmpty() || text[0].unicode() < 32 || text[0].unicode() == 127)
        return QChar();
    return text[0];
}

TQtKey QtKeyOf(Word Key, TShiftState Shift)
{
    TQtKey k;
    if (Shift.Contains(ssShift))
        k.Modifiers |= Qt::ShiftModifier;
    if (Shift.Contains(ssCtrl))
        k.Modifiers |= Qt::ControlModifier;
    if (Shift.Contains(ssAlt))
        k.Modifiers |= Qt::AltModifier;
    const bool shifted = Shift.Contains(ssShift);
    if (Key >= 'A' && Key <= 'Z') {
        k.Key = Qt::Key_A + (Key - 'A');
        k.Text = QChar(shifted ? Key : Key + ('a' - 'A'));
    } else if (Key >= '0' && Key <= '9') {
        k.Key = Qt::Key_0 + (Key - '0');
        k.Text = QChar(Key);
    } else if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9) {
        k.Key = Qt::Key_0 + (Key - VK_NUMPAD0);
        k.Modifiers |= Qt::KeypadModifier;
        k.Text = QChar('0' + (Key - VK_NUMPAD0));
    } else if (Key >= VK_F1 && Key <= VK_F12) {
        k.Key = Qt::Key_F1 + (Key - VK_F1);
    } else {
        struct Entry
        {
            Word Vk;
            int Qt;
            bool Keypad;
            char Text;
        };
        static constexpr Entry table[] = {
            {VK_BACK, Qt::Key_Backspace, false, '\b'},
            {VK_TAB, Qt::Key_Tab, false, '\t'},
            {VK_RETURN, Qt::Key_Return, false, '\r'},
            {VK_ESCAPE, Qt::Key_Escape, false, 0x1b},
            {VK_SPACE, Qt::Key_Space, false, ' '},
            {VK_PRIOR, Qt::Key_PageUp, false, 0},
            {VK_NEXT, Qt::Key_PageDown, false, 0},
            {VK_END, Qt::Key_End, false, 0},
            {VK_HOME, Qt::Key_Home, false, 0},
            {VK_LEFT, Qt::Key_Left, false, 0},
            {VK_UP, Qt::Key_Up, false, 0},
            {VK_RIGHT, Qt::Key_Right, false, 0},
            {VK_DOWN, Qt::Key_Down, false, 0},
            {VK_INSERT, Qt::Key_Insert, false, 0},
            {VK_DELETE, Qt::Key_Delete, false, 0},
            {VK_APPS, Qt::Key_Menu, false, 0},
            {VK_MULTIPLY, Qt::Key_Asterisk, true, '*'},
            {VK_ADD, Qt::Key_Plus, true, '+'},
            {VK_SUBTRACT, Qt::Key_Minus, true, '-'},
            {VK_DECIMAL, Qt::Key_Period, true, '.'},
            {VK_DIVIDE, Qt::Key_Slash, true, '/'},
        };
        for (const Entry& e : table)
            if (e.Vk == Key) {
                k.Key = e.Qt;
                if (e.Keypad)
                    k.Modifiers |= Qt::KeypadModifier;
                if (e.Text)
                    k.Text = QChar(e.Text);
            }
    }
    return k;
}

} // namespace vyn
