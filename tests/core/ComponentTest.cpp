#include "platform/core/Component.h"
#include "platform/core/Exception.h"
#include "tests/support/TestComponents.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vyn;
using namespace vyn::test;

namespace {

// Records every notification it hears.
class TWatcher : public TComponent
{
public:
    using TComponent::TComponent;
    std::vector<std::pair<TComponent*, TOperation>> Heard;
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        Heard.emplace_back(AComponent, Operation);
    }
};

// Counts its own destructions.
class TCounted : public TComponent
{
public:
    TCounted(TComponent* AOwner, int& counter) : TComponent(AOwner), m_counter(counter) {}
    ~TCounted() override { ++m_counter; }

private:
    int& m_counter;
};

} // namespace

TEST(Component, OwnerListsAndDestroysItsComponents)
{
    int destroyed = 0;
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* a = new TCounted(owner.get(), destroyed);
    auto* b = new TCounted(owner.get(), destroyed);
    new TCounted(b, destroyed); // owned by b, destroyed with it
    a->SetName(QStringLiteral("Alpha"));

    ASSERT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(a->Owner(), owner.get());
    EXPECT_EQ(owner->FindComponent(QStringLiteral("ALPHA")), a);
    EXPECT_THROW(owner->Components(2), EListError);

    delete a; // a component destroyed on its own leaves its owner's list
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(destroyed, 1);
    owner.reset();
    EXPECT_EQ(destroyed, 3);
}

TEST(Component, NamesAreIdentifiersUniqueAmongTheOwnersComponents)
{
    TComponent owner(nullptr);
    TComponent a(&owner), b(&owner);
    a.SetName(QStringLiteral("Table1"));

    struct Case
    {
        const char* name;
        bool ok;
    } cases[] = {{"Table2", true}, {"_x9", true},     {"", true},
                 {"1abc", false},  {"a b", false},    {"Tablé", false},
                 {"a.b", false},   {"table1", false}, {"TABLE1", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        b.SetName(QStringLiteral("Before"));
        if (c.ok) {
            b.SetName(QString::fromUtf8(c.name));
            EXPECT_EQ(b.Name(), QString::fromUtf8(c.name));
        } else {
            try {
                b.SetName(QString::fromUtf8(c.name));
                ADD_FAILURE() << "accepted";
            } catch (const EComponentError& e) {
                EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.name))) << e.what();
            }
            EXPECT_EQ(b.Name(), QStringLiteral("Before")); // nothing changed
        }
    }
    // Renaming to itself in another case is no clash.
    a.SetName(QStringLiteral("TABLE1"));
    EXPECT_EQ(a.Name(), QStringLiteral("TABLE1"));
    // A named component cannot join an owner that already has its name.
    TComponent other(nullptr);
    TComponent stranger(&other);
    stranger.SetName(QStringLiteral("Table1"));
    EXPECT_THROW(owner.InsertComponent(&stranger), EComponentError);
    EXPECT_EQ(stranger.Owner(), &other);
}

TEST(Component, FreeNotificationClearsPointersHeldElsewhere)
{
    auto formA = std::make_unique<TComponent>(nullptr);
    auto formB = std::make_unique<TComponent>(nullptr);
    auto* target = new TTestComponent(formA.get());
    auto* holder = new TTestComponent(formB.get());
    auto* sibling = new TTestComponent(formA.get());
    holder->SetLink(target);
    sibling->SetLink(target);

    formA.reset(); // destroys target and sibling
    EXPECT_EQ(holder->Link(), nullptr);

    // A link that was cleared asks for nothing more.
    auto* t2 = new TTestComponent(formB.get());
    holder->SetLink(t2);
    holder->SetLink(nullptr);
    TWatcher watcher(nullptr);
    t2->FreeNotification(&watcher);
    t2->RemoveFreeNotification(&watcher);
    delete t2;
    EXPECT_TRUE(watcher.Heard.empty());
}

TEST(Component, OwnerTellsItsComponentsOfInsertAndRemove)
{
    TComponent owner(nullptr);
    auto* watcher = new TWatcher(&owner);
    auto* c = new TComponent(&owner);
    ASSERT_EQ(watcher->Heard.size(), 1u);
    EXPECT_EQ(watcher->Heard[0], std::make_pair(c, opInsert));
    delete c;
    ASSERT_EQ(watcher->Heard.size(), 2u);
    EXPECT_EQ(watcher->Heard[1], std::make_pair(c, opRemove));
}

TEST(Component, DestroyingMarksOwnedComponentsAndTagIsKept)
{
    TComponent owner(nullptr);
    auto* c = new TComponent(&owner);
    c->SetTag(-91);
    EXPECT_EQ(c->Tag(), -91);
    owner.Destroying();
    EXPECT_TRUE(owner.ComponentState().Contains(csDestroying));
    EXPECT_TRUE(c->ComponentState().Contains(csDestroying));
    owner.SetDesigning(true);
    EXPECT_TRUE(c->ComponentState().Contains(csDesigning));
}

TEST(Persistent, AssignBetweenUnrelatedClassesFailsClearly)
{
    TTestFont font;
    TStringList list;
    try {
        font.Assign(&list);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a TStringList to a TTestFont"));
    }
    TTestFont other;
    other.SetSize(14);
    font.Assign(&other);
    EXPECT_EQ(font.Size(), 14);
}
