#include "tests/ui/UiTest.h"

#include "platform/ui/Modal.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QtTest/QTest>

using namespace vyn;
using namespace vyn::test;

class Controls : public UiTest
{
};

TEST_F(Controls, RadioButtonsAreExclusiveAmongTheirSiblingsOnly)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    ShowActive(form.get());
    form->Log.clear();
    auto shown = [](TRadioButton* r) {
        return static_cast<QRadioButton*>(r->Widget())->isChecked();
    };

    form->RadioButtonGlobal->SetChecked(true);
    EXPECT_TRUE(form->RadioButtonGlobal->Checked());
    EXPECT_FALSE(form->RadioButtonFromCurrent->Checked());
    EXPECT_FALSE(shown(form->RadioButtonFromCurrent));
    EXPECT_TRUE(form->RadioButtonFromCursor->Checked()); // another group box
    EXPECT_TRUE(form->RadioButtonGlobal->TabStop());
    EXPECT_FALSE(form->RadioButtonFromCurrent->TabStop());

    ClickControl(form->RadioButtonOnlyCurrent);
    EXPECT_TRUE(form->RadioButtonOnlyCurrent->Checked());
    EXPECT_FALSE(form->RadioButtonGlobal->Checked());
    EXPECT_FALSE(shown(form->RadioButtonGlobal));

    // Clicking the button that is on leaves it on and runs nothing.
    ClickControl(form->RadioButtonOnlyCurrent);
    EXPECT_TRUE(form->RadioButtonOnlyCurrent->Checked());
    EXPECT_TRUE(shown(form->RadioButtonOnlyCurrent));

    // The program may turn every button off.
    form->RadioButtonOnlyCurrent->SetChecked(false);
    EXPECT_FALSE(shown(form->RadioButtonOnlyCurrent));
    EXPECT_EQ(form->Log, (QStringList{"radio RadioButtonGlobal", "radio RadioButtonOnlyCurrent"}));
}

TEST_F(Controls, ComboBoxItemsAndText)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    TComboBox* find = form->ComboBoxFind;
    TStrings* history = find->Items();

    // An editable combo box keeps its text whatever happens to the list.
    find->SetText(QStringLiteral("Hello"));
    history->Add(QStringLiteral("world"));
    history->Insert(0, QStringLiteral("hello"));
    EXPECT_EQ(find->Text(), QStringLiteral("Hello"));
    EXPECT_EQ(find->ItemIndex(), -1);
    history->Delete(history->IndexOf(QStringLiteral("HELLO")));
    history->Insert(0, QStringLiteral("Hello"));
    EXPECT_EQ(history->ToStringList(), (QStringList{"Hello", "world"}));
    EXPECT_EQ(find->Text(), QStringLiteral("Hello"));
    find->SetItemIndex(1);
    EXPECT_EQ(find->Text(), QStringLiteral("world"));
    history->Delete(1);
    EXPECT_EQ(find->ItemIndex(), -1);
    EXPECT_EQ(find->Text(), QStringLiteral("world"));

    // A list shows its selected item; setting the text selects it, ignoring case.
    TComboBox* colors = form->ComboBoxColor;
    colors->SetText(QStringLiteral("green"));
    EXPECT_EQ(colors->ItemIndex(), 1);
    EXPECT_EQ(colors->Text(), QStringLiteral("Green"));
    colors->SetText(QStringLiteral("Purple"));
    EXPECT_EQ(colors->ItemIndex(), -1);
    EXPECT_EQ(colors->Text(), QString());
    colors->SetItemIndex(2);
    colors->SetSorted(true);
    EXPECT_EQ(colors->Items()->ToStringList(), (QStringList{"Blue", "Green", "Red"}));
    EXPECT_EQ(colors->Text(), QStringLiteral("Blue"));
    EXPECT_EQ(colors->Items()->Add(QStringLiteral("amber")), 0);
    EXPECT_EQ(colors->Text(), QStringLiteral("Blue"));
    colors->Items()->Clear();
    EXPECT_EQ(colors->ItemIndex(), -1);
    EXPECT_EQ(colors->Text(), QString());

    colors->SetStyle(csOwnerDrawFixed);
    EXPECT_FALSE(colors->ComboBox()->isEditable());
}

TEST_F(Controls, EditsAndMemosShareSelectionClipboardAndModifiedState)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    form->Memo1->SetReadOnly(false);
    for (TCustomEdit* edit :
         {static_cast<TCustomEdit*>(form->Edit1), static_cast<TCustomEdit*>(form->Memo1)}) {
        SCOPED_TRACE(edit->Name().toStdString());
        edit->SetText(QStringLiteral("hello world"));
        EXPECT_FALSE(edit->Modified());
        edit->SetSelStart(6);
        edit->SetSelLength(5);
        EXPECT_EQ(edit->SelText(), QStringLiteral("world"));
        edit->CopyToClipboard();
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("world"));
        edit->SetSelText(QStringLiteral("there"));
        EXPECT_EQ(edit->Text(), QStringLiteral("hello there"));
        EXPECT_EQ(edit->SelStart(), 11);
        EXPECT_EQ(edit->SelLength(), 0);

        edit->SetSelStart(0);
        edit->SetSelLength(6);
        edit->CutToClipboard();
        EXPECT_EQ(edit->Text(), QStringLiteral("there"));
        edit->SetSelStart(5);
        edit->PasteFromClipboard();
        EXPECT_EQ(edit->Text(), QStringLiteral("therehello "));
        edit->SelectAll();
        EXPECT_EQ(edit->SelLength(), 11);

        edit->SetText(QStringLiteral("typed"));
        EXPECT_FALSE(edit->Modified());
        edit->SetSelStart(5);
        QTest::keyClicks(edit == form->Memo1 ? form->Memo1->Editor() : edit->Widget(), "!");
        EXPECT_EQ(edit->Text(), QStringLiteral("typed!"));
        EXPECT_TRUE(edit->Modified());

        edit->SetReadOnly(true);
        edit->SelectAll();
        edit->CutToClipboard();
        QTest::keyClicks(edit->Widget(), "x");
        EXPECT_EQ(edit->Text(), QStringLiteral("typed!"));
    }
}

TEST_F(Controls, KeyDownAndKeyPressComeBeforeTheWidget)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    TEdit* edit = form->Edit1;
    edit->SetText(QString());
    QStringList log;
    edit->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        log << QStringLiteral("down %1").arg(Key);
        if (Key == 'B')
            Key = 0; // the widget does not act on the key, the character still comes
    };
    edit->OnKeyPress = [&](TObject*, QChar& Key) {
        log << QStringLiteral("press ") + Key;
        if (Key == QLatin1Char('c'))
            Key = QChar(); // the widget does not take the character
        if (Key == QLatin1Char('d'))
            Key = QLatin1Char('D');
    };
    QTest::keyClicks(edit->Widget(), "abcd");
    EXPECT_EQ(edit->Text(), QStringLiteral("abD"));
    EXPECT_EQ(log, (QStringList{"down 65", "press a", "down 66", "press b", "down 67", "press c",
                                "down 68", "press d"}));
}

TEST_F(Controls, ARightClickDoesNotMoveTheFocus)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    ShowActive(form.get());
    form->Edit1->SetFocus();
    ASSERT_TRUE(form->Edit1->Focused());

    // Real, spontaneous mouse events, as the window system delivers them.
    QTest::mouseClick(form->Memo1->Editor()->viewport(), Qt::RightButton);
    QTest::mouseClick(form->ComboBoxFind->ComboBox()->lineEdit(), Qt::RightButton);
    QTest::mouseClick(form->BtnFind->Widget(), Qt::RightButton);
    EXPECT_TRUE(form->Edit1->Focused());
    EXPECT_EQ(Screen->ActiveControl(), form->Edit1);

    QTest::mouseClick(form->Memo1->Editor()->viewport(), Qt::LeftButton);
    EXPECT_TRUE(form->Memo1->Focused());
    EXPECT_EQ(Screen->ActiveControl(), form->Memo1);
    EXPECT_EQ(form->ActiveControl(), form->Memo1);
}

namespace {

// A first click only focuses the combo box and prepares a drag; the list does not open.
class TFirstClickCombo : public TComboBox
{
public:
    using TComboBox::TComboBox;

protected:
    void WMLButtonDown(TWMMouse& Message) override
    {
        if (!Focused()) {
            SetFocus();
            BeginDrag(false);
            return;
        }
        TComboBox::WMLButtonDown(Message);
    }
};

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

TEST_F(Controls, BeginDragStartsOnlyOnceTheMouseMovesPastTheThreshold)
{
    auto form = std::make_unique<TForm>(nullptr);
    auto* edit = new TEdit(form.get()); // takes the focus when the form shows
    edit->SetParent(form.get());
    auto* combo = new TFirstClickCombo(form.get());
    combo->SetParent(form.get());
    combo->SetStyle(csDropDownList);
    combo->Items()->Add(QStringLiteral("one"));
    int ended = 0;
    combo->OnEndDrag = [&](TObject*, TObject*, int, int) { ++ended; };
    ShowActive(form.get());
    QWidget* w = combo->Widget();
    ASSERT_TRUE(edit->Focused());
    const int threshold = QApplication::startDragDistance();

    SendMouse(w, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(combo->Focused());
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_FALSE(combo->Dragging());
    SendMouse(w, QEvent::MouseMove, {10 + threshold - 1, 10}, Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(combo->Dragging());
    SendMouse(w, QEvent::MouseMove, {10 + threshold + 1, 10}, Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(combo->Dragging());
    SendMouse(w, QEvent::MouseButtonRelease, {10 + threshold + 1, 10}, Qt::LeftButton,
              Qt::NoButton);
    EXPECT_FALSE(combo->Dragging());
    EXPECT_EQ(ended, 1);

    // The focused combo box takes a click as usual: its list opens.
    SendMouse(w, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(combo->DroppedDown());
    combo->SetDroppedDown(false);
}

TEST_F(Controls, DestroyingAControlDestroysItsChildControlsFirst)
{
    auto form = std::make_unique<TSampleForm>(nullptr);
    ShowActive(form.get());
    form->Edit1->SetFocus();
    const int components = form->ComponentCount();
    QPointer<QWidget> labelWidget = form->LabelMail->Widget();
    QPointer<QWidget> panelWidget = form->Panel1->Widget();

    delete form->Panel1; // and the five controls on it
    EXPECT_TRUE(labelWidget.isNull());
    EXPECT_TRUE(panelWidget.isNull());
    EXPECT_EQ(form->ComponentCount(), components - 6);
    EXPECT_EQ(form->FindComponent(QStringLiteral("LabelMail")), nullptr);

    // The focused control goes: nothing keeps pointing at it.
    TWinControl* gone = form->Edit1;
    delete form->Edit1;
    EXPECT_EQ(form->FindComponent(QStringLiteral("Edit1")), nullptr);
    EXPECT_NE(Screen->ActiveControl(), gone);
    EXPECT_NE(form->ActiveControl(), gone);
}
