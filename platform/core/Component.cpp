#include "platform/core/Component.h"

#include "platform/core/Exception.h"
#include "platform/core/TypInfo.h"

#include <algorithm>

namespace vyn {

bool IsValidIdent(const QString& Ident)
{
    if (Ident.isEmpty())
        return false;
    auto letter = [](QChar c) {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_');
    };
    if (!letter(Ident[0]))
        return false;
    return std::all_of(Ident.begin() + 1, Ident.end(), [&](QChar c) {
        return letter(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    });
}

const TClassInfo& TComponent::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TComponent>("TComponent")
                                       .Property("Name", &TComponent::Name, &TComponent::SetName)
                                       .Property("Tag", &TComponent::Tag, &TComponent::SetTag)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TComponent)

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Those who asked to hear of our end drop their pointers now.
    while (!m_freeNotifies.empty()) {
        TComponent* other = m_freeNotifies.back();
        m_freeNotifies.pop_back();
        auto& back = other->m_freeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (m_owner)
        m_owner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return m_components[size_t(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!m_owner)
        return -1;
    const auto& list = m_owner->m_components;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

TComponent* TComponent::FindComponent(const QString& AName) const
{
    if (AName.isEmpty())
        return nullptr;
    for (TComponent* c : m_components)
        if (c->m_name.compare(AName, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

void TComponent::SetName(const QString& NewName)
{
    if (m_name == NewName)
        return;
    if (!NewName.isEmpty() && !IsValidIdent(NewName))
        throw EComponentError(QStringLiteral("'%1' is not a valid component name").arg(NewName));
    if (m_owner)
        m_owner->ValidateRename(this, m_name, NewName);
    else
        ValidateRename(nullptr, m_name, NewName);
    m_name = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const QString& CurName,
                                const QString& NewName)
{
    if (!AComponent || NewName.isEmpty() || CurName.compare(NewName, Qt::CaseInsensitive) == 0)
        return;
    if (TComponent* other = FindComponent(NewName); other && other != AComponent)
        throw EComponentError(QStringLiteral("A component named %1 already exists").arg(NewName));
}

void TComponent::SetDesigning(bool Value)
{
    if (Value)
        m_state.Include(csDesigning);
    else
        m_state.Exclude(csDesigning);
    for (TComponent* c : m_components)
        c->SetDesigning(Value);
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent)
        return;
    if (AComponent->m_owner == this)
        return;
    ValidateRename(AComponent, QString(), AComponent->m_name);
    if (AComponent->m_owner)
        AComponent->m_owner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->m_owner != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent)
{
    m_components.push_back(AComponent);
    AComponent->m_owner = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    auto it = std::find(m_components.begin(), m_components.end(), AComponent);
    if (it != m_components.end())
        m_components.erase(it);
    AComponent->m_owner = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!m_components.empty()) {
        TComponent* last = m_components.back();
        // Its OnDestroy runs while it is whole; then siblings hear of it, so none keeps a
        // pointer to a destroyed component.
        last->PrepareDestruction();
        RemoveComponent(last);
        delete last;
    }
}

void TComponent::PrepareDestruction()
{
    if (m_destructionPrepared)
        return;
    m_destructionPrepared = true;
    BeforeDestruction();
}

void TComponent::Destroying()
{
    if (m_state.Contains(csDestroying))
        return;
    m_state.Include(csDestroying);
    for (TComponent* c : m_components)
        c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    auto add = [](std::vector<TComponent*>& list, TComponent* c) {
        if (std::find(list.begin(), list.end(), c) == list.end())
            list.push_back(c);
    };
    add(m_freeNotifies, AComponent);
    add(AComponent->m_freeNotifies, this);
    m_state.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    auto drop = [](std::vector<TComponent*>& list, TComponent* c) {
        list.erase(std::remove(list.begin(), list.end(), c), list.end());
    };
    drop(m_freeNotifies, AComponent);
    drop(AComponent->m_freeNotifies, this);
}

void TComponent::ChangeReference(TComponent* Old, TComponent* New)
{
    if (Old == New)
        return;
    if (Old)
        Old->RemoveFreeNotification(this);
    if (New)
        New->FreeNotification(this);
}

void TComponent::Loaded()
{
    m_state.Exclude(csLoading);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // By index: a component that is told may remove others.
    for (size_t i = 0; i < m_components.size(); ++i)
        if (m_components[i] != AComponent)
            m_components[i]->Notification(AComponent, Operation);
}

void TComponent::AdoptChild(TComponent*) {}

void TComponent::ReadState() {}

void TComponent::SetLoading(bool on)
{
    if (on)
        m_state += TComponentState{csLoading, csReading};
    else
        m_state -= TComponentState{csLoading, csReading};
}

} // namespace vyn
