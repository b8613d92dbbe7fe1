#include "platform/ui/Menus.h"

#include "platform/core/TypInfo.h"
#include "platform/ui/Application.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <algorithm>

namespace vyn {

TShortCut ShortCut(Word Key, TShiftState Shift)
{
    if (Key & 0xFF00)
        return scNone;
    TShortCut result = Key;
    if (Shift.Contains(ssShift))
        result |= scShift;
    if (Shift.Contains(ssCtrl))
        result |= scCtrl;
    if (Shift.Contains(ssAlt))
        result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift)
{
    Key = ShortCut & 0xFF;
    Shift = TShiftState();
    if (ShortCut & scShift)
        Shift.Include(ssShift);
    if (ShortCut & scCtrl)
        Shift.Include(ssCtrl);
    if (ShortCut & scAlt)
        Shift.Include(ssAlt);
}

namespace {

QString KeyName(Word Key)
{
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
        return QString(QChar(Key));
    if (Key >= VK_F1 && Key <= VK_F12)
        return QStringLiteral("F%1").arg(Key - VK_F1 + 1);
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9)
        return QStringLiteral("Num %1").arg(Key - VK_NUMPAD0);
    static const QHash<Word, QString> names = {
        {VK_BACK, QStringLiteral("BkSp")},       {VK_TAB, QStringLiteral("Tab")},
        {VK_RETURN, QStringLiteral("Enter")},    {VK_ESCAPE, QStringLiteral("Esc")},
        {VK_SPACE, QStringLiteral("Space")},     {VK_PRIOR, QStringLiteral("PgUp")},
        {VK_NEXT, QStringLiteral("PgDn")},       {VK_END, QStringLiteral("End")},
        {VK_HOME, QStringLiteral("Home")},       {VK_LEFT, QStringLiteral("Left")},
        {VK_UP, QStringLiteral("Up")},           {VK_RIGHT, QStringLiteral("Right")},
        {VK_DOWN, QStringLiteral("Down")},       {VK_INSERT, QStringLiteral("Ins")},
        {VK_DELETE, QStringLiteral("Del")},      {VK_MULTIPLY, QStringLiteral("Num *")},
        {VK_ADD, QStringLiteral("Num +")},       {VK_SUBTRACT, QStringLiteral("Num -")},
        {VK_DECIMAL, QStringLiteral("Num Del")}, {VK_DIVIDE, QStringLiteral("Num /")},
    };
    return names.value(Key);
}

QString WithoutAccel(const QString& Caption)
{
    QString s = Caption;
    return s.replace(QLatin1String("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QChar(1), QLatin1Char('&'));
}

// Whether the item can be chosen: enabled, with every item above it enabled.
bool EffectivelyEnabled(const TMenuItem* Item)
{
    for (const TMenuItem* i = Item; i; i = i->Parent())
        if (!i->Enabled())
            return false;
    return true;
}

// Whether Item is Root or sits under it; Item is never dereferenced, so it may be gone.
bool Holds(const TMenuItem* Root, const TMenuItem* Item)
{
    if (Root == Item)
        return true;
    for (int i = 0; i < Root->Count(); ++i)
        if (Holds(Root->Items(i), Item))
            return true;
    return false;
}

} // namespace

QString ShortCutToText(TShortCut ShortCut)
{
    const QString name = KeyName(ShortCut & 0xFF);
    if (name.isEmpty())
        return QString();
    QString prefix;
    if (ShortCut & scShift)
        prefix += QStringLiteral("Shift+");
    if (ShortCut & scCtrl)
        prefix += QStringLiteral("Ctrl+");
    if (ShortCut & scAlt)
        prefix += QStringLiteral("Alt+");
    return prefix + name;
}

// ---------------------------------------------------------------------------------------------
// TMenuItem

const TClassInfo& TMenuItem::StaticClassInfo()
{
    using C = TMenuItem;
    static const TClassInfo info = TClassBuilder<C>("TMenuItem")
                                       .Property("Caption", &C::Caption, &C::SetCaption)
                                       .Property("Checked", &C::Checked, &C::SetChecked)
                                       .Property("Enabled", &C::Enabled, &C::SetEnabled)
                                       .Property("Hint", &C::Hint, &C::SetHint)
                                       .Property("ShortCut", &C::ShortCut, &C::SetShortCut)
                                       .Property("Visible", &C::Visible, &C::SetVisible)
                                       .Member("OnClick", &C::OnClick)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TMenuItem)

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    Destroying();
    if (m_parent)
        m_parent->m_items.erase(
            std::find(m_parent->m_items.begin(), m_parent->m_items.end(), this));
    m_parent = nullptr;
    Clear();
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EMenuError(QStringLiteral("Menu index out of range (%1)").arg(Index));
    return m_items[size_t(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(m_items.begin(), m_items.end(), Item);
    return it == m_items.end() ? -1 : int(it - m_items.begin());
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        return;
    if (Item->m_parent)
        throw EMenuError(QStringLiteral("Menu inserted twice"));
    for (const TMenuItem* i = this; i; i = i->m_parent)
        if (i == Item)
            throw EMenuError(QStringLiteral("A menu item cannot hold itself"));
    if (Index < 0 || Index > Count())
        throw EMenuError(QStringLiteral("Menu index out of range (%1)").arg(Index));
    m_items.insert(m_items.begin() + Index, Item);
    Item->m_parent = this;
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* item = Items(Index);
    m_items.erase(m_items.begin() + Index);
    item->m_parent = nullptr;
    if (!item->Owner())
        delete item;
}

void TMenuItem::Clear()
{
    while (!m_items.empty())
        Delete(Count() - 1);
}

TMenuItem* TMenuItem::Find(const QString& ACaption) const
{
    const QString wanted = WithoutAccel(ACaption);
    for (TMenuItem* i : m_items)
        if (WithoutAccel(i->Caption()).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return nullptr;
}

void TMenuItem::Click()
{
    if (m_enabled)
        OnClick(this);
}

void TMenuItem::AdoptChild(TComponent* Child)
{
    if (auto* item = dynamic_cast<TMenuItem*>(Child))
        Add(item);
}

// ---------------------------------------------------------------------------------------------
// TMenu

const TClassInfo& TMenu::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TMenu>("TMenu").Build();
    return info;
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), m_items(std::make_unique<TMenuItem>(nullptr))
{}

TMenu::~TMenu()
{
    // Items owned by the form may outlive the menu; they are let go here.
    Destroying();
    m_items.reset();
}

TMenuItem* TMenu::FindShortCut(TShortCut Value) const
{
    if (Value == scNone)
        return nullptr;
    std::vector<const TMenuItem*> pending{m_items.get()};
    while (!pending.empty()) {
        const TMenuItem* item = pending.back();
        pending.pop_back();
        for (int i = item->Count() - 1; i >= 0; --i) {
            TMenuItem* child = item->Items(i);
            if (child->ShortCut() == Value)
                return child;
            pending.push_back(child);
        }
    }
    return nullptr;
}

bool TMenu::IsShortCut(Word Key, TShiftState Shift)
{
    TMenuItem* item = FindShortCut(ShortCut(Key, Shift - ssLeft - ssRight - ssMiddle - ssDouble));
    if (!item)
        return false;
    GuardEvent(item, [&] {
        m_items->Click();
        // The refresh may have rebuilt the menu: the item must still be in it.
        if (Holds(m_items.get(), item) && EffectivelyEnabled(item))
            item->Click();
    });
    return true;
}

void TMenu::AdoptChild(TComponent* Child)
{
    if (auto* item = dynamic_cast<TMenuItem*>(Child))
        m_items->Add(item);
}

// ---------------------------------------------------------------------------------------------
// TPopupMenu

const TClassInfo& TPopupMenu::StaticClassInfo()
{
    using C = TPopupMenu;
    static const TClassInfo info = TClassBuilder<C>("TPopupMenu")
                                       .Property("AutoPopup", &C::AutoPopup, &C::SetAutoPopup)
                                       .Member("OnPopup", &C::OnPopup)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TPopupMenu)

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::SetPopupComponent(TComponent* Value)
{
    if (Value == m_popupComponent)
        return;
    ChangeReference(m_popupComponent, Value);
    m_popupComponent = Value;
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_popupComponent)
        m_popupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender)
{
    OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y)
{
    DoPopup(this);
    Items()->Click();
    TMenuItem* chosen = RunMenu(X, Y);
    // As a real menu: only a shown, enabled command of this menu can be chosen.
    if (!chosen || !Holds(Items(), chosen) || chosen == Items() || chosen->Count() > 0 ||
        chosen->IsLine() || !EffectivelyEnabled(chosen))
        return;
    for (const TMenuItem* i = chosen; i != Items(); i = i->Parent())
        if (!i->Visible())
            return;
    GuardEvent(chosen, [chosen] { chosen->Click(); });
}

namespace {

void AddItems(QMenu* Menu, const TMenuItem* Parent, QHash<QAction*, TMenuItem*>& Actions)
{
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->Visible())
            continue;
        if (item->IsLine()) {
            Menu->addSeparator();
            continue;
        }
        QString text = item->Caption();
        // Shown in the shortcut column only: registering it with Qt would make it a Qt shortcut.
        if (const QString keys = ShortCutToText(item->ShortCut()); !keys.isEmpty())
            text += QLatin1Char('\t') + keys;
        if (item->Count() > 0) {
            QMenu* sub = Menu->addMenu(text);
            sub->setEnabled(item->Enabled());
            AddItems(sub, item, Actions);
            continue;
        }
        QAction* action = Menu->addAction(text);
        action->setEnabled(item->Enabled());
        action->setCheckable(item->Checked());
        action->setChecked(item->Checked());
        action->setStatusTip(item->Hint());
        Actions.insert(action, item);
    }
}

} // namespace

TMenuItem* TPopupMenu::RunMenu(int X, int Y)
{
    if (Application && Application->PopupDriver()) {
        // A copy: the driver may be replaced while it runs.
        const TPopupDriver driver = Application->PopupDriver();
        return driver(this, X, Y);
    }
    // No parent widget: the menu is no part of a control, so the screen's active control
    // stays the one that has the focus while it is open.
    QMenu menu;
    QHash<QAction*, TMenuItem*> actions;
    AddItems(&menu, Items(), actions);
    if (menu.isEmpty())
        return nullptr;
    return actions.value(menu.exec(QPoint(X, Y)));
}

} // namespace vyn
