#include "platform/core/TypInfo.h"
#include "tests/support/TestComponents.h"

#include <gtest/gtest.h>

using namespace vyn;
using namespace vyn::test;

TEST(TypInfo, ClassesAreFoundByNameWithTheirAncestors)
{
    const TClassInfo* items = GetClass(QStringLiteral("ttestitems"));
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->ClassName(), QStringLiteral("TTestItems"));
    EXPECT_EQ(items->ClassParent(), &TTestComponent::StaticClassInfo());
    EXPECT_TRUE(items->InheritsFrom(&TComponent::StaticClassInfo()));
    EXPECT_FALSE(TTestComponent::StaticClassInfo().InheritsFrom(items));
    EXPECT_EQ(GetClass(QStringLiteral("TNoSuchClass")), nullptr);
    EXPECT_THROW(FindClass(QStringLiteral("TNoSuchClass")), EClassNotFound);

    std::unique_ptr<TComponent> made(items->Create(nullptr));
    EXPECT_NE(dynamic_cast<TTestItems*>(made.get()), nullptr);
    EXPECT_FALSE(TPersistent::StaticClassInfo().IsCreatable());
}

TEST(TypInfo, PropertiesOfEveryKindAreReadAndWrittenByName)
{
    TComponent owner(nullptr);
    auto* c = new TTestComponent(&owner);
    auto* other = new TTestComponent(&owner);

    SetStrProp(c, QStringLiteral("caption"), QStringLiteral("Hello"));
    EXPECT_EQ(c->Caption(), QStringLiteral("Hello"));
    SetOrdProp(c, QStringLiteral("Count"), 42);
    EXPECT_EQ(GetOrdProp(c, QStringLiteral("Count")), 42);
    SetOrdProp(c, QStringLiteral("Enabled"), 0);
    EXPECT_FALSE(c->Enabled());
    SetEnumProp(c, QStringLiteral("Color"), QStringLiteral("tcBlue"));
    EXPECT_EQ(c->Color(), tcBlue);
    EXPECT_EQ(GetEnumProp(c, QStringLiteral("Color")), QStringLiteral("tcBlue"));
    EXPECT_EQ(GetOrdProp(c, QStringLiteral("Color")), 2);
    SetFloatProp(c, QStringLiteral("Ratio"), 1.5);
    EXPECT_DOUBLE_EQ(c->Ratio(), 1.5);
    SetObjectProp(c, QStringLiteral("Link"), other);
    EXPECT_EQ(GetObjectProp(c, QStringLiteral("Link")), other);
    EXPECT_EQ(GetObjectProp(c, QStringLiteral("Lines")), c->Lines());
    EXPECT_EQ(GetObjectProp(c, QStringLiteral("Font")), c->Font());
    SetBytesProp(c, QStringLiteral("Data"), QByteArray("\x00\x01", 2));
    EXPECT_EQ(c->Data().size(), 2);
    SetStrProp(c->Font(), QStringLiteral("Name"), QStringLiteral("Serif"));
    EXPECT_EQ(c->Font()->Name(), QStringLiteral("Serif"));
    SetOrdProp(c, QStringLiteral("Tag"), 95);
    EXPECT_EQ(c->Tag(), 95);
}

TEST(TypInfo, ASetReadsAsItsOrdinalWithMemberNAtBitTwoToTheN)
{
    TTestItems items(nullptr);
    // Default {taDelete, taClone}: ordinals 1 and 2.
    EXPECT_EQ(GetOrdProp(&items, QStringLiteral("Actions")), 2 + 4);
    EXPECT_EQ(GetSetProp(&items, QStringLiteral("Actions")), QStringLiteral("[taDelete,taClone]"));
    SetSetProp(&items, QStringLiteral("Actions"), QStringLiteral("[taInsert]"));
    EXPECT_EQ(GetOrdProp(&items, QStringLiteral("Actions")), 1);
    SetOrdProp(&items, QStringLiteral("Actions"), 4);
    EXPECT_TRUE(items.Actions().Contains(taClone));
    EXPECT_FALSE(items.Actions().Contains(taInsert));
    EXPECT_THROW(SetOrdProp(&items, QStringLiteral("Actions"), 8), EPropertyError);
    EXPECT_THROW(SetSetProp(&items, QStringLiteral("Actions"), QStringLiteral("[tcRed]")),
                 EPropertyError);
}

TEST(TypInfo, MissingWrongKindReadOnlyAndOutOfRangeRaise)
{
    TTestItems items(nullptr);
    struct Case
    {
        const char* what;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"missing", [&] { GetStrProp(&items, QStringLiteral("Nope")); },
         "Property TTestItems.Nope does not exist"},
        {"wrong kind", [&] { GetStrProp(&items, QStringLiteral("Count")); },
         "Property TTestItems.Count is of kind integer, not string"},
        {"read-only", [&] { SetOrdProp(&items, QStringLiteral("Code"), 1); },
         "Property TTestItems.Code is read-only"},
        {"range", [&] { SetOrdProp(&items, QStringLiteral("Small"), 70000); },
         "Property TTestItems.Small takes values from -32768 to 32767, not 70000"},
        {"enum member",
         [&] { SetEnumProp(&items, QStringLiteral("Color"), QStringLiteral("tcPink")); },
         "Property TTestItems.Color has no member tcPink in TTestColor"},
        {"object class",
         [&] {
             TStringList l;
             SetObjectProp(&items, QStringLiteral("Link"), &l);
         },
         "Property TTestItems.Link takes a TTestComponent, not a TStringList"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no error";
        } catch (const EPropertyError& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.message));
        }
    }
}

TEST(TypInfo, ADescendantPublishesAPropertyAgainWithAnotherKind)
{
    TTestItems items(nullptr);
    items.Lines()->Add(QStringLiteral("a"));
    items.Lines()->Add(QStringLiteral("b"));
    const TPropInfo* p = GetPropInfo(&items, QStringLiteral("Lines"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Kind, TPropKind::Integer);
    EXPECT_FALSE(p->IsWritable());
    EXPECT_EQ(GetOrdProp(&items, QStringLiteral("Lines")), 2);
    // The ancestor still publishes the list.
    TTestComponent plain(nullptr);
    EXPECT_EQ(GetPropInfo(&plain, QStringLiteral("Lines"))->Kind, TPropKind::StringList);
    // Each name once, the nearest declaration first.
    int seen = 0;
    for (const TPropInfo* q : TTestItems::StaticClassInfo().Properties())
        if (q->Name == QStringLiteral("Lines")) {
            ++seen;
            EXPECT_EQ(q, p);
        }
    EXPECT_EQ(seen, 1);
}

TEST(TypInfo, EventsAreReadTestedAndCalledByNameWithAVarArgument)
{
    TTestRoot root(nullptr);
    TTestComponent c(nullptr);

    auto unassigned = GetMethodProp<TTestActionEvent>(&c, QStringLiteral("OnAction"));
    EXPECT_FALSE(unassigned.Assigned());

    SetMethodProp(&c, QStringLiteral("OnAction"),
                  BindMethod<TTestActionEvent>(&root, QStringLiteral("ActionHandler")));
    auto handler = GetMethodProp<TTestActionEvent>(&c, QStringLiteral("OnAction"));
    ASSERT_TRUE(handler.Assigned());
    bool allow = true;
    handler(&root, &c, 1, allow); // delete refused
    EXPECT_FALSE(allow);
    allow = true;
    handler(&root, &c, 0, allow);
    EXPECT_TRUE(allow);
    EXPECT_EQ(handler.Data(), &root);
    EXPECT_TRUE(handler == BindMethod<TTestActionEvent>(&root, QStringLiteral("ActionHandler")));

    // Asked with another signature, or for a missing event: nothing.
    EXPECT_FALSE(GetMethodProp<TNotifyEvent>(&c, QStringLiteral("OnAction")).Assigned());
    EXPECT_FALSE(GetMethodProp<TNotifyEvent>(&c, QStringLiteral("OnMissing")).Assigned());
    EXPECT_FALSE(BindMethod<TNotifyEvent>(&root, QStringLiteral("ActionHandler")).Assigned());
    EXPECT_THROW(SetMethodProp(&c, QStringLiteral("OnAction"), TNotifyEvent([](TObject*) {})),
                 EPropertyError);

    // A copied event calls the same handler; clearing leaves the copy alone.
    TNotifyEvent change = BindMethod<TNotifyEvent>(&root, QStringLiteral("FirstChange"));
    c.OnChange = change;
    c.OnChange = nullptr;
    change(&c);
    EXPECT_EQ(root.Changes, 1);
    EXPECT_EQ(root.LastSender, &c);
}

TEST(TypInfo, PublishedFieldsAndMethodsAreFoundByName)
{
    TTestRoot root(nullptr);
    auto* first = new TTestComponent(&root);
    const TFieldInfo* f = FindPublishedField(&root, QStringLiteral("first"));
    ASSERT_NE(f, nullptr);
    f->Set(&root, first);
    EXPECT_EQ(root.First, first);
    EXPECT_EQ(f->Get(&root), first);
    EXPECT_EQ(FindPublishedField(&root, QStringLiteral("Third")), nullptr);
    EXPECT_NE(FindPublishedMethod(&root, QStringLiteral("FIRSTCHANGE")), nullptr);
    EXPECT_EQ(FindPublishedMethod(&root, QStringLiteral("Missing")), nullptr);
}
