#pragma once

// Menus: menu items, popup menus and their shortcut keys.
//
// Menu shortcuts are not Qt shortcuts. The focused control's key pipeline offers each key to
// its popup menu first (TWinControl), so that the menu refreshes (its root item's OnClick)
// before a shortcut runs, and a shortcut of a hidden or disabled item still takes its key.

#include "platform/core/Component.h"
#include "platform/core/Event.h"
#include "platform/core/Exception.h"
#include "platform/ui/Keys.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace vyn {

VYN_EXCEPTION(EMenuError, Exception)

// A shortcut: the virtual-key code in the low byte, plus scShift, scCtrl and scAlt.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+S", "F5", "Ctrl+Num +"; "" for none.
QString ShortCutToText(TShortCut ShortCut);

class TMenuItem : public TComponent
{
    VYN_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    // Frees the items it holds that have no owner; items with an owner are only let go.
    ~TMenuItem() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& Value) { m_caption = Value; }
    // A caption "-" makes the item a separator line.
    bool IsLine() const { return m_caption == QLatin1String("-"); }
    TShortCut ShortCut() const { return m_shortCut; }
    void SetShortCut(TShortCut Value) { m_shortCut = Value; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool Value) { m_enabled = Value; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool Value) { m_visible = Value; }
    bool Checked() const { return m_checked; }
    void SetChecked(bool Value) { m_checked = Value; }
    QString Hint() const { return m_hint; }
    void SetHint(const QString& Value) { m_hint = Value; }

    // The items under this one. An item inserted with no owner is this item's: it is freed
    // with it, or by Delete and Clear.
    int Count() const { return int(m_items.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* Parent() const { return m_parent; }
    int IndexOf(const TMenuItem* Item) const;
    int MenuIndex() const { return m_parent ? m_parent->IndexOf(this) : -1; }
    // Raises EMenuError for an item that already sits in a menu, or an index out of range.
    void Insert(int Index, TMenuItem* Item);
    void Add(TMenuItem* Item) { Insert(Count(), Item); }
    // Takes the item out of the menu; one with no owner is freed.
    void Delete(int Index);
    void Clear();
    // The item of that caption (ignoring '&' and case) directly under this one, or null.
    TMenuItem* Find(const QString& ACaption) const;

    // Runs OnClick when the item is enabled.
    virtual void Click();
    TNotifyEvent OnClick;

    // Items nested in a layout join this item.
    void AdoptChild(TComponent* Child) override;

private:
    QString m_caption;
    TShortCut m_shortCut = scNone;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_checked = false;
    QString m_hint;
    TMenuItem* m_parent = nullptr;
    std::vector<TMenuItem*> m_items;
};

class TMenu : public TComponent
{
    VYN_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The root item; its OnClick is the menu's refresh.
    TMenuItem* Items() const { return m_items.get(); }
    // The item, at any depth and whether shown or not, whose shortcut that is; or null.
    TMenuItem* FindShortCut(TShortCut Value) const;
    // Offers a key to the menu. When it is the shortcut of one of its items, the menu takes
    // it (true): the root item's OnClick refreshes the menu, then the item runs if it is
    // enabled. An error from either is shown by the application.
    bool IsShortCut(Word Key, TShiftState Shift);

    // Items nested in a layout join the root item.
    void AdoptChild(TComponent* Child) override;

private:
    std::unique_ptr<TMenuItem> m_items;
};

class TPopupMenu : public TMenu
{
    VYN_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);

    // The control the menu was last opened for (set by the control before Popup).
    TComponent* PopupComponent() const { return m_popupComponent; }
    void SetPopupComponent(TComponent* Value);
    // Whether a right click or the menu key opens the menu of a control that carries it.
    bool AutoPopup() const { return m_autoPopup; }
    void SetAutoPopup(bool Value) { m_autoPopup = Value; }

    // Opens the menu at a screen position: OnPopup, then the root item's OnClick as the
    // menu's window opens, then the menu (the real one, or the application's popup driver);
    // the item chosen runs after the menu has closed. An error from the item is shown by the
    // application; one from OnPopup or the refresh leaves Popup.
    virtual void Popup(int X, int Y);

    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup(TObject* Sender);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuItem* RunMenu(int X, int Y);

    TComponent* m_popupComponent = nullptr;
    bool m_autoPopup = true;
};

// The item chosen in a popup menu, or null when it was closed without a choice. The
// application's popup driver (TApplication::SetPopupDriver) receives the menu instead of the
// user when one is installed.
using TPopupDriver = std::function<TMenuItem*(TPopupMenu* Menu, int X, int Y)>;

} // namespace vyn
