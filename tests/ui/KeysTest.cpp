#include "tests/ui/UiTest.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest/QTest>

using namespace vyn;
using namespace vyn::test;

class Keys : public UiTest
{
};

TEST_F(Keys, VirtualKeysAndCharactersOfTheToolkit)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    TEdit* edit = form->Edit1;
    Word down = 0;
    TShiftState shift;
    QChar pressed;
    edit->OnKeyDown = [&](TObject*, Word& Key, TShiftState Shift) {
        down = Key;
        shift = Shift;
        Key = 0; // the edit acts on none of them
    };
    edit->OnKeyPress = [&](TObject*, QChar& Key) {
        pressed = Key;
        Key = QChar();
    };
    struct Case
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Word vk;
        TShiftState shift;
        int character; // 0: no KeyPress
    };
    const Case cases[] = {
        {Qt::Key_Plus, Qt::KeypadModifier, VK_ADD, {}, '+'},
        {Qt::Key_Minus, Qt::KeypadModifier, VK_SUBTRACT, {}, '-'},
        {Qt::Key_Plus, Qt::ShiftModifier, VK_OEM_PLUS, {ssShift}, '+'},
        {Qt::Key_Minus, Qt::NoModifier, VK_OEM_MINUS, {}, '-'},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, VK_ADD, {ssCtrl}, 0},
        {Qt::Key_5, Qt::KeypadModifier, VK_NUMPAD0 + 5, {}, '5'},
        {Qt::Key_5, Qt::NoModifier, '5', {}, '5'},
        {Qt::Key_A, Qt::NoModifier, 'A', {}, 'a'},
        {Qt::Key_A, Qt::ControlModifier, 'A', {ssCtrl}, 1},
        {Qt::Key_Z, Qt::ControlModifier, 'Z', {ssCtrl}, 26},
        {Qt::Key_Backspace, Qt::NoModifier, VK_BACK, {}, 8},
        {Qt::Key_Tab, Qt::NoModifier, VK_TAB, {}, 9},
        {Qt::Key_Return, Qt::NoModifier, VK_RETURN, {}, 13},
        {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN, {}, 13},
        {Qt::Key_Escape, Qt::NoModifier, VK_ESCAPE, {}, 27},
        {Qt::Key_Delete, Qt::NoModifier, VK_DELETE, {}, 0},
        {Qt::Key_Home, Qt::ControlModifier, VK_HOME, {ssCtrl}, 0},
        {Qt::Key_PageUp, Qt::NoModifier, VK_PRIOR, {}, 0},
        {Qt::Key_PageDown, Qt::NoModifier, VK_NEXT, {}, 0},
        {Qt::Key_F1, Qt::NoModifier, VK_F1, {}, 0},
        {Qt::Key_F12, Qt::AltModifier, VK_F12, {ssAlt}, 0},
        {Qt::Key_Left, Qt::NoModifier, VK_LEFT, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QKeySequence(c.key | c.modifiers).toString().toStdString());
        down = 0;
        pressed = QChar();
        QTest::keyClick(edit->Widget(), c.key, c.modifiers);
        EXPECT_EQ(down, c.vk);
        EXPECT_EQ(shift, c.shift);
        EXPECT_EQ(pressed.unicode(), c.character);
    }
    // And back: a virtual key typed as Qt would deliver it.
    EXPECT_EQ(QtKeyOf(VK_ADD, {}).Modifiers, Qt::KeypadModifier);
    EXPECT_EQ(QtKeyOf('S', {ssCtrl}).Key, Qt::Key_S);
    EXPECT_EQ(QtKeyOf(VK_TAB, {ssShift}).Modifiers, Qt::ShiftModifier);
}

TEST_F(Keys, AKeyTakenInKeyDownKeepsTheEditorFromActingWhileItsCharacterStillReachesKeyPress)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    TMemo* memo = form->Memo1;
    memo->SetReadOnly(false);
    QStringList pressed;
    bool take = true;
    memo->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        if (take)
            Key = 0;
    };
    memo->OnKeyPress = [&](TObject*, QChar& Key) { pressed << QString::number(Key.unicode()); };
    struct Case
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* character; // what KeyPress sees ("" for none)
        const char* untaken;   // the text when KeyDown lets the memo have the key
    };
    const Case cases[] = {
        {Qt::Key_Backspace, Qt::NoModifier, "8", "helloworld"},
        {Qt::Key_Delete, Qt::NoModifier, "", "hello orld"},
        {Qt::Key_A, Qt::ControlModifier, "1", "hello world"},
        {Qt::Key_Return, Qt::NoModifier, "13", "hello \r\nworld"},
        {Qt::Key_Home, Qt::NoModifier, "", "hello world"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.character);
        for (bool taken : {true, false}) {
            take = taken;
            memo->SetText(QStringLiteral("hello world"));
            memo->SetSelStart(6);
            pressed.clear();
            QTest::keyClick(memo->Editor(), c.key, c.modifiers);
            EXPECT_EQ(memo->Text(),
                      taken ? QStringLiteral("hello world") : QString::fromLatin1(c.untaken));
            EXPECT_EQ(memo->SelLength(), !taken && c.key == Qt::Key_A ? 11 : 0);
            EXPECT_EQ(pressed.join(QString()), QString::fromLatin1(c.character));
        }
    }
}
