#include "tests/ui/UiTest.h"

#include "platform/core/Exception.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Modal.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QWindow>
#include <QtTest/QTest>

using namespace vyn;
using namespace vyn::test;

namespace {

// An item that says when it is freed.
class TCountedItem : public TMenuItem
{
public:
    TCountedItem(TComponent* AOwner, int& Freed) : TMenuItem(AOwner), m_freed(Freed) {}
    ~TCountedItem() override { ++m_freed; }

private:
    int& m_freed;
};

TMenuItem* AddItem(TMenuItem* Parent, const QString& Caption, TShortCut Keys, QStringList& Log)
{
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(Caption);
    item->SetShortCut(Keys);
    item->OnClick = [&Log, Caption](TObject*) {
        Log << Caption + QStringLiteral(" active ") +
                   (Screen->ActiveControl() ? Screen->ActiveControl()->Name() : QString());
    };
    Parent->Add(item);
    return item;
}

QString NameOf(TComponent* C)
{
    return C ? C->Name() : QStringLiteral("none");
}

} // namespace

class Menus : public UiTest
{
protected:
    // Logs the keys that reach the control (the modifier keys pressed on their own aside).
    void WatchKeys(TWinControl* Control)
    {
        Control->OnKeyDown = [this](TObject*, Word& Key, TShiftState) {
            if (Key != VK_SHIFT && Key != VK_CONTROL && Key != VK_MENU)
                Log << QStringLiteral("down %1").arg(Key);
        };
        Control->OnKeyPress = [this](TObject*, QChar& Key) {
            Log << QStringLiteral("press %1").arg(Key.unicode());
        };
    }
    // A menu whose refresh logs and leaves its items as Enable says.
    TPopupMenu* NewMenu(TComponent* Owner, const QString& Name)
    {
        auto* menu = new TPopupMenu(Owner);
        menu->SetName(Name);
        menu->OnPopup = [this, menu](TObject*) {
            Log << QStringLiteral("popup %1 active %2")
                       .arg(NameOf(menu->PopupComponent()), NameOf(Screen->ActiveControl()));
        };
        menu->Items()->OnClick = [this, menu](TObject*) {
            Log << menu->Name() + QStringLiteral(" refresh");
            for (int i = 0; i < menu->Items()->Count(); ++i) {
                TMenuItem* item = menu->Items()->Items(i);
                item->SetEnabled(Enabled.contains(item->Caption()));
            }
        };
        return menu;
    }

    QStringList Log;
    QStringList Enabled; // captions the refresh enables
};

TEST_F(Menus, ShortCutWordsFollowTheToolkit)
{
    struct Case
    {
        Word key;
        TShiftState shift;
        TShortCut word;
        const char* text;
    } cases[] = {
        {VK_ADD, {ssCtrl}, 0x406B, "Ctrl+Num +"},
        {VK_SUBTRACT, {ssCtrl}, 0x406D, "Ctrl+Num -"},
        {'S', {ssCtrl}, 0x4053, "Ctrl+S"},
        {VK_F5, {}, 0x0074, "F5"},
        {VK_HOME, {ssCtrl}, 0x4024, "Ctrl+Home"},
        {VK_NEXT, {ssCtrl}, 0x4022, "Ctrl+PgDn"},
        {'A', {ssShift, ssCtrl, ssAlt}, 0xE041, "Shift+Ctrl+Alt+A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ShortCut(c.key, c.shift), c.word);
        EXPECT_EQ(ShortCutToText(c.word), QString::fromLatin1(c.text));
        Word key = 0;
        TShiftState shift;
        ShortCutToKey(c.word, key, shift);
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(shift, c.shift);
    }
    EXPECT_EQ(ShortCutToText(scNone), QString());
}

TEST_F(Menus, ShortcutsOfTheFocusedControlsMenuTakeTheKeyAndRunOnlyWhatTheRefreshEnabled)
{
    TSampleForm* form = ShowMainForm();
    TEdit* edit = form->Edit1;
    edit->SetText(QString());
    WatchKeys(edit);
    TPopupMenu* menu = NewMenu(form, QStringLiteral("EditMenu"));
    TMenuItem* root = menu->Items();
    AddItem(root, QStringLiteral("Insert"), ShortCut(VK_ADD, {ssCtrl}), Log)->SetVisible(false);
    AddItem(root, QStringLiteral("Hidden"), ShortCut('H', {ssCtrl}), Log)->SetVisible(false);
    AddItem(root, QStringLiteral("Post"), ShortCut('S', {ssCtrl}), Log);
    AddItem(root, QStringLiteral("Refresh"), ShortCut(VK_F5, {}), Log);
    TMenuItem* more = AddItem(root, QStringLiteral("More"), scNone, Log);
    AddItem(more, QStringLiteral("Deep"), ShortCut('D', {ssCtrl}), Log);
    edit->SetPopupMenu(menu);
    // The form's own menu: its shortcuts come after those of the edit's menu.
    TPopupMenu* formMenu = NewMenu(form, QStringLiteral("FormMenu"));
    AddItem(formMenu->Items(), QStringLiteral("Form F5"), ShortCut(VK_F5, {}), Log);
    AddItem(formMenu->Items(), QStringLiteral("Form F6"), ShortCut(VK_F6, {}), Log);
    form->SetPopupMenu(formMenu);
    Enabled = QStringList{"Hidden", "Refresh", "More", "Form F5", "Form F6"};

    struct Case
    {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool editing; // whether the refresh enables "Post"
        QStringList expected;
    };
    const Case cases[] = {
        {"hidden and disabled: taken, nothing runs",
         Qt::Key_Plus,
         Qt::ControlModifier | Qt::KeypadModifier,
         false,
         {"EditMenu refresh"}},
        {"hidden but enabled: runs",
         Qt::Key_H,
         Qt::ControlModifier,
         false,
         {"EditMenu refresh", "Hidden active Edit1"}},
        {"disabled by the refresh: taken, nothing runs",
         Qt::Key_S,
         Qt::ControlModifier,
         false,
         {"EditMenu refresh"}},
        {"enabled by the refresh: runs",
         Qt::Key_S,
         Qt::ControlModifier,
         true,
         {"EditMenu refresh", "Post active Edit1"}},
        {"enabled",
         Qt::Key_F5,
         Qt::NoModifier,
         false,
         {"EditMenu refresh", "Refresh active Edit1"}},
        {"in a submenu",
         Qt::Key_D,
         Qt::ControlModifier,
         false,
         {"EditMenu refresh", "Deep active Edit1"}},
        {"the parent's menu",
         Qt::Key_F6,
         Qt::NoModifier,
         false,
         {"FormMenu refresh", "Form F6 active Edit1"}},
        {"main-row plus is another key", Qt::Key_Plus, Qt::ControlModifier, false, {"down 187"}},
        {"no shortcut", Qt::Key_X, Qt::NoModifier, false, {"down 88", "press 120"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Log.clear();
        Enabled.removeAll(QStringLiteral("Post"));
        if (c.editing)
            Enabled << QStringLiteral("Post");
        QTest::keyClick(edit->Widget(), c.key, c.modifiers);
        EXPECT_EQ(Log, c.expected);
    }
    // Only the one key that no menu took reached the widget.
    EXPECT_EQ(edit->Text(), QStringLiteral("x"));
    EXPECT_EQ(Screen->ActiveControl(), edit);
}

TEST_F(Menus, ARightClickOrTheMenuKeyOpensTheMenuForItsControlWithoutMovingTheFocus)
{
    TSampleForm* form = ShowMainForm();
    TPopupMenu* menu = NewMenu(form, QStringLiteral("Menu"));
    AddItem(menu->Items(), QStringLiteral("Copy"), ShortCut('C', {ssCtrl}), Log);
    AddItem(menu->Items(), QStringLiteral("Paste"), scNone, Log);
    Enabled = QStringList{"Copy"};
    form->Memo1->SetPopupMenu(menu);
    form->Edit1->SetPopupMenu(menu);
    WatchKeys(form->Edit1);
    TScriptedPopupDriver driver;
    auto open = [&](TPopupMenu* shown) -> TMenuItem* {
        EXPECT_EQ(shown, menu);
        Log << QStringLiteral("open, focus in ") + NameOf(Screen->ActiveControl());
        EXPECT_TRUE(form->Edit1->Focused());
        return shown->Items()->Find(QStringLiteral("Copy"));
    };

    // A right click, as the window system delivers it, on a control that has no focus.
    QWidget* viewport = form->Memo1->Editor()->viewport();
    const QPoint at = viewport->mapTo(form->Widget(), viewport->rect().center());
    driver.Then(open);
    QTest::mouseClick(form->Widget()->windowHandle(), Qt::RightButton, {}, at);
    EXPECT_EQ(Log, (QStringList{"popup Memo1 active Edit1", "Menu refresh", "open, focus in Edit1",
                                "Copy active Edit1"}));
    EXPECT_TRUE(form->Edit1->Focused());
    EXPECT_EQ(Screen->ActiveControl(), form->Edit1);
    EXPECT_EQ(menu->PopupComponent(), form->Memo1);

    // The menu key and Shift+F10 reach KeyDown first; the context-menu event that the desktop
    // sends after the menu key opens nothing more.
    Log.clear();
    driver.Then(open).Dismiss();
    QTest::keyClick(form->Edit1->Widget(), Qt::Key_Menu);
    QContextMenuEvent followUp(QContextMenuEvent::Keyboard, QPoint(1, 1), QPoint(1, 1));
    QCoreApplication::sendEvent(form->Edit1->Widget(), &followUp);
    QTest::keyClick(form->Edit1->Widget(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(Log, (QStringList{"down 93", "popup Edit1 active Edit1", "Menu refresh",
                                "open, focus in Edit1", "Copy active Edit1", "down 121",
                                "popup Edit1 active Edit1", "Menu refresh"}));
    EXPECT_EQ(driver.Pending(), 0);

    // A KeyDown that takes the menu key, or a menu that does not open by itself: no menu.
    Log.clear();
    form->Edit1->OnKeyDown = [](TObject*, Word& Key, TShiftState) { Key = 0; };
    QTest::keyClick(form->Edit1->Widget(), Qt::Key_Menu);
    form->Edit1->OnKeyDown = nullptr;
    menu->SetAutoPopup(false);
    QTest::keyClick(form->Edit1->Widget(), Qt::Key_Menu);
    EXPECT_TRUE(Log.isEmpty());
    EXPECT_EQ(driver.Shown().size(), 3);
    EXPECT_TRUE(driver.Unexpected().isEmpty());
}

TEST_F(Menus, ErrorsFromCommandsAndRefreshesAreShownAndTheMenuWorksOn)
{
    TSampleForm* form = ShowMainForm();
    TPopupMenu* menu = NewMenu(form, QStringLiteral("Menu"));
    int failures = 2;
    TMenuItem* post = AddItem(menu->Items(), QStringLiteral("Post"), ShortCut('S', {ssCtrl}), Log);
    post->OnClick = [&](TObject*) {
        Log << QStringLiteral("post");
        if (failures-- > 0)
            throw EDatabaseError(QStringLiteral("Field 'Name' must have a value"));
    };
    Enabled = QStringList{"Post"};
    form->Edit1->SetPopupMenu(menu);
    QStringList shown;
    auto record = [&](TCustomForm* box) {
        shown << static_cast<TMessageForm*>(box)->Message->Caption();
        return mrOk;
    };
    TScriptedModalDriver boxes;
    boxes.Then(record).Then(record).Then(record);
    TScriptedPopupDriver popups;
    popups.Choose(QStringLiteral("post")).Choose(QStringLiteral("Post"));

    QWidget* edit = form->Edit1->Widget();
    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier); // fails
    QTest::keyClick(edit, Qt::Key_Menu);                   // fails
    QTest::keyClick(edit, Qt::Key_Menu);
    menu->Items()->OnClick = [](TObject*) {
        throw EInvalidOperation(QStringLiteral("No refresh"));
    };
    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);

    EXPECT_EQ(shown, (QStringList{"Field 'Name' must have a value.",
                                  "Field 'Name' must have a value.", "No refresh."}));
    // Each refresh ran before its command; the failed refresh ran none.
    EXPECT_EQ(Log, (QStringList{"Menu refresh", "post", "popup Edit1 active Edit1", "Menu refresh",
                                "post", "popup Edit1 active Edit1", "Menu refresh", "post"}));
    EXPECT_EQ(Screen->ActiveForm(), form);
    EXPECT_TRUE(boxes.Unexpected().isEmpty());
    EXPECT_EQ(popups.Pending(), 0);
}

TEST_F(Menus, TheRealMenuShowsTheRefreshedItemsAndRunsTheChoiceAfterItCloses)
{
    TSampleForm* form = ShowMainForm();
    TPopupMenu* menu = NewMenu(form, QStringLiteral("Menu"));
    AddItem(menu->Items(), QStringLiteral("&Copy"), ShortCut('C', {ssCtrl}), Log);
    AddItem(menu->Items(), QStringLiteral("-"), scNone, Log);
    AddItem(menu->Items(), QStringLiteral("Paste"), scNone, Log);
    AddItem(menu->Items(), QStringLiteral("Secret"), scNone, Log)->SetVisible(false);
    AddItem(menu->Items(), QStringLiteral("Refresh"), ShortCut(VK_F5, {}), Log);
    Enabled = QStringList{"&Copy", "Refresh"};
    form->Memo1->SetPopupMenu(menu);

    QStringList seen;
    // Runs in the menu's own event loop, once the menu is up.
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(Screen->ActiveControl(), form->Edit1);
            QAction* refresh = nullptr;
            for (QAction* a : shown->actions()) {
                seen << (a->isSeparator() ? QStringLiteral("-") : a->text()) +
                            (a->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
                if (a->text().startsWith(QLatin1String("Refresh")))
                    refresh = a;
            }
            ASSERT_NE(refresh, nullptr);
            shown->setActiveAction(refresh);
            QTest::keyClick(shown, Qt::Key_Return);
        },
        Qt::QueuedConnection);
    const QPoint centre = form->Memo1->Widget()->rect().center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, centre,
                            form->Memo1->Widget()->mapToGlobal(centre));
    QCoreApplication::sendEvent(form->Memo1->Editor()->viewport(), &click);

    EXPECT_EQ(seen, (QStringList{"&Copy\tCtrl+C", "-", "Paste (disabled)", "Refresh\tF5"}));
    EXPECT_EQ(Log,
              (QStringList{"popup Memo1 active Edit1", "Menu refresh", "Refresh active Edit1"}));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(Screen->ActiveControl(), form->Edit1);
}

TEST_F(Menus, ItemsFromALayoutJoinTheirMenuAndOwnershipDecidesWhoFreesThem)
{
    const QByteArray layout = R"(object SampleForm: TSampleForm
  Caption = 'Menus'
  object Edit1: TEdit
    Left = 8
    Top = 8
    Width = 120
    Height = 21
    PopupMenu = PopupMenu1
    TabOrder = 0
  end
  object PopupMenu1: TPopupMenu
    object ItemFind: TMenuItem
      Caption = '&Find'
      ShortCut = 16454
      OnClick = BtnFindClick
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object ItemMore: TMenuItem
      Caption = 'More'
      object ItemFail: TMenuItem
        Caption = 'Fail'
        ShortCut = 116
        OnClick = BtnFailClick
        Visible = False
      end
    end
  end
end
)";
    auto form = std::make_unique<TSampleForm>(nullptr, layout);
    auto* menu = dynamic_cast<TPopupMenu*>(form->FindComponent(QStringLiteral("PopupMenu1")));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(form->Edit1->PopupMenu(), menu);
    TMenuItem* root = menu->Items();
    ASSERT_EQ(root->Count(), 3);
    EXPECT_EQ(root->Items(0)->Name(), QStringLiteral("ItemFind"));
    EXPECT_TRUE(root->Items(1)->IsLine());
    ASSERT_EQ(root->Find(QStringLiteral("more"))->Count(), 1);
    TMenuItem* fail = root->Items(2)->Items(0);
    EXPECT_EQ(fail->Parent(), root->Items(2));
    EXPECT_FALSE(fail->Visible());
    ShowActive(form.get());
    form->Edit1->SetFocus();
    QTest::keyClick(form->Edit1->Widget(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(form->Edit1->Widget(), Qt::Key_F5);
    EXPECT_EQ(form->Log, (QStringList{"find", "fail"}));

    // Items with no owner belong to their parent item; those with an owner to the owner.
    int freed = 0;
    auto* loose = new TCountedItem(nullptr, freed);
    auto* held = new TCountedItem(form.get(), freed);
    auto* nested = new TCountedItem(nullptr, freed);
    root->Insert(0, loose);
    root->Insert(1, held);
    loose->Add(nested);
    EXPECT_EQ(root->IndexOf(held), 1);
    EXPECT_EQ(held->MenuIndex(), 1);
    EXPECT_THROW(root->Add(held), EMenuError);
    EXPECT_THROW(nested->Add(loose), EMenuError);
    EXPECT_THROW(root->Insert(99, new TMenuItem(form.get())), EMenuError);
    root->Delete(1); // owned: only taken out
    EXPECT_EQ(freed, 0);
    EXPECT_EQ(held->Parent(), nullptr);
    root->Delete(0); // the item and the one under it
    EXPECT_EQ(freed, 2);
    root->Add(held);
    delete held; // leaves its menu
    EXPECT_EQ(freed, 3);
    EXPECT_EQ(root->Count(), 3);

    // A control forgets a menu that goes, whoever owned it.
    delete menu;
    EXPECT_EQ(form->Edit1->PopupMenu(), nullptr);
    auto shared = std::make_unique<TPopupMenu>(nullptr);
    form->Edit1->SetPopupMenu(shared.get());
    shared.reset();
    EXPECT_EQ(form->Edit1->PopupMenu(), nullptr);
    form->Edit1->SetText(QString());
    QTest::keyClick(form->Edit1->Widget(), Qt::Key_F5);
    QTest::keyClick(form->Edit1->Widget(), Qt::Key_Menu);
    EXPECT_EQ(form->Log, (QStringList{"find", "fail"}));
}
