#pragma once

#include "platform/core/Object.h"
#include "platform/core/Set.h"

#include <QString>
#include <vector>

namespace vyn {

VYN_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning,
         csAncestor, csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
using TComponentState = Set<TComponentStateItem>;

VYN_ENUM(TOperation, opInsert, opRemove)

class TReader;

// A component: named, owned, notified. An owner destroys the components it owns; a component
// created without an owner belongs to its creator.
//
// Destruction notifies in this order: the components that asked for free notification, the
// owned components (destroyed last first), then the owner and its other components. These
// notifications run from TComponent's destructor, so a class that must act on its owned
// components while its own members still exist calls DestroyComponents() in its destructor.
class TComponent : public TPersistent
{
    VYN_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return m_owner; }
    int ComponentCount() const { return int(m_components.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    // The owned component of that name (case-insensitive), or null.
    TComponent* FindComponent(const QString& AName) const;

    const QString& Name() const { return m_name; }
    // A valid identifier (or empty), unique among the owner's components; otherwise raises
    // EComponentError and nothing changes.
    virtual void SetName(const QString& NewName);

    int Tag() const { return m_tag; }
    void SetTag(int Value) { m_tag = Value; }

    TComponentState ComponentState() const { return m_state; }
    // Marks the component and everything it owns as being designed.
    void SetDesigning(bool Value);

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    // Sets csDestroying on the component and on everything it owns.
    void Destroying();
    // Runs BeforeDestruction once, while the whole object still exists. An owner does this
    // for each component before deleting it; destructors of classes that override it call it
    // too, for a component deleted directly.
    void PrepareDestruction();

    // Ask for (or cancel) a Notification(AComponent, opRemove) when AComponent is destroyed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);
    // For a reference that moves from Old to New: stop hearing of Old's end, start hearing of
    // New's.
    void ChangeReference(TComponent* Old, TComponent* New);

    // Called once after the component's layout has been read, with every property and
    // reference in place. The base clears csLoading.
    virtual void Loaded();

    // Told of components inserted into or removed from this component's owner, and of the
    // destruction of components it asked for free notification. The base passes the news on
    // to the owned components.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    // How this component takes in a component that its layout nests in it (a control becomes
    // a child control, a field joins its dataset). The base leaves it alone.
    virtual void AdoptChild(TComponent* Child);

protected:
    // Runs after the component's own properties are read from a layout, before its nested
    // components.
    virtual void ReadState();
    // Work that needs the whole object (its OnDestroy handlers), just before its destruction.
    virtual void BeforeDestruction() {}
    virtual void ValidateRename(TComponent* AComponent, const QString& CurName,
                                const QString& NewName);
    void SetComponentState(TComponentState s) { m_state = s; }

private:
    friend class TReader;
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void SetLoading(bool on);

    TComponent* m_owner = nullptr;
    std::vector<TComponent*> m_components;
    std::vector<TComponent*> m_freeNotifies;
    QString m_name;
    int m_tag = 0;
    TComponentState m_state;
    bool m_destructionPrepared = false;
};

// True for a non-empty identifier: a letter or underscore, then letters, digits, underscores.
bool IsValidIdent(const QString& Ident);

} // namespace vyn
