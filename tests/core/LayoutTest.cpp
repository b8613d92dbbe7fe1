#include "platform/core/Layout.h"
#include "platform/core/Exception.h"
#include "platform/core/TypInfo.h"
#include "tests/support/TestComponents.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vyn;
using namespace vyn::test;

namespace {

const QByteArray Full = R"(object Root1: TTestRoot
  Tag = 9
  object First: TTestComponent
    Caption = 'It''s '#13#10'two'#$263A +
      ' lines'
    Count = cnDozen
    Small = -5
    Ratio = 2.5
    Enabled = False
    Color = tcGreen
    Colors = [tcRed, tcBlue]
    Link = Second
    Font.Name = 'Liberation Serif'
    Font.Style = [tcBlue]
    Lines.Strings = (
      'one'
      'two'#9'x'
      '')
    Data = {
      00FF10
      7F}
    OnChange = FirstChange
    OnAction = ActionHandler
    object Inner: TTestComponent
      Link = Root1.First
    end
  end
  object Second: TTestComponent
    Link = Items1
  end
  object Items1: TTestItems
    Actions = []
    Link = nil
  end
end
)";

} // namespace

TEST(Layout, BuildsTheTreeWithPropertiesEventsAndReferences)
{
    TTestComponent::LoadLog().clear();
    std::unique_ptr<TComponent> made(CreateComponentFromLayout(Full, nullptr));
    auto* root = dynamic_cast<TTestRoot*>(made.get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Name(), QStringLiteral("Root1"));
    EXPECT_EQ(root->Tag(), 9);
    ASSERT_EQ(root->ComponentCount(), 4); // First, Inner, Second, Items1: all owned by the root

    TTestComponent* first = root->First;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Caption(), QStringLiteral("It's \r\ntwo\u263A lines"));
    EXPECT_EQ(first->Count(), 12);
    EXPECT_EQ(first->Small(), -5);
    EXPECT_DOUBLE_EQ(first->Ratio(), 2.5);
    EXPECT_FALSE(first->Enabled());
    EXPECT_EQ(first->Color(), tcGreen);
    EXPECT_EQ(first->Colors(), (TTestColors{tcRed, tcBlue}));
    EXPECT_EQ(first->Font()->Name(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(first->Font()->Style(), TTestColors{tcBlue});
    EXPECT_EQ(first->Lines()->ToStringList(),
              (QStringList{QStringLiteral("one"), QStringLiteral("two\tx"), QString()}));
    EXPECT_EQ(first->LinesSetterCalls, 0); // read into the existing list
    EXPECT_EQ(first->Data(), QByteArray("\x00\xFF\x10\x7F", 4));

    // Forward references and a reference through the root's name.
    EXPECT_EQ(first->Link(), root->Second);
    auto* inner = dynamic_cast<TTestComponent*>(root->FindComponent(QStringLiteral("Inner")));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Link(), first);
    EXPECT_EQ(root->Second->Link(), root->Items1);
    EXPECT_EQ(root->Items1->Link(), nullptr);
    EXPECT_TRUE(root->Items1->Actions().Empty());

    // Nested components are adopted by the component they are nested in.
    ASSERT_EQ(first->Children.size(), 1u);
    EXPECT_EQ(first->Children[0], inner);

    // Events are bound to the root's methods.
    first->OnChange(first);
    EXPECT_EQ(root->Changes, 1);
    bool allow = true;
    first->OnAction(root, first, 1, allow);
    EXPECT_FALSE(allow);

    // Loaded once each, after everything is set, root first, with csLoading still on.
    EXPECT_EQ(TTestComponent::LoadLog(),
              (QStringList{QStringLiteral("First:loading"), QStringLiteral("Inner:loading"),
                           QStringLiteral("Second:loading"), QStringLiteral("Items1:loading")}));
    EXPECT_TRUE(first->LoadingDuringReadState);
    for (int i = 0; i < root->ComponentCount(); ++i)
        EXPECT_FALSE(root->Components(i)->ComponentState().Contains(csLoading));
    EXPECT_FALSE(root->ComponentState().Contains(csLoading));
}

TEST(Layout, ReadsIntoAnExistingRootAndNumbersASecondInstance)
{
    const QByteArray text = "object Root1: TTestRoot\n  object First: TTestComponent\n  end\nend\n";
    TComponent app(nullptr);
    auto* a = new TTestRoot(&app);
    ReadComponentLayout(a, text);
    EXPECT_EQ(a->Name(), QStringLiteral("Root1"));
    ASSERT_NE(a->First, nullptr);
    auto* b = new TTestRoot(&app);
    ReadComponentLayout(b, text);
    EXPECT_EQ(b->Name(), QStringLiteral("Root1_1"));
    EXPECT_NE(b->First, a->First);

    TTestComponent wrong(nullptr);
    EXPECT_THROW(ReadComponentLayout(&wrong, text), EReadError);
}

TEST(Layout, ReferencesToOtherRootsGoThroughTheGlobalFinder)
{
    TTestComponent target(nullptr);
    SetFindGlobalComponent([&](const QString& name) -> TComponent* {
        return name == QStringLiteral("Module1.Table1") ? &target : nullptr;
    });
    std::unique_ptr<TComponent> root(CreateComponentFromLayout(
        "object R: TTestRoot\n object First: TTestComponent\n Link = Module1.Table1\n end\nend",
        nullptr));
    SetFindGlobalComponent(nullptr);
    EXPECT_EQ(static_cast<TTestRoot*>(root.get())->First->Link(), &target);
}

TEST(Layout, BadInputRaisesWithTheLineAndLeavesNothingBehind)
{
    struct Case
    {
        const char* what;
        const char* body; // inside "object R: TTestRoot" ... "end"; line 1 is the header
        const char* message;
    } cases[] = {
        {"unknown class", "object A: TNoSuch\nend", "line 2: Class TNoSuch not found"},
        {"not creatable", "object A: TPersistent\nend",
         "line 2: Class TPersistent is not a component"},
        {"unknown property", "object A: TTestComponent\n Colour = 1\nend",
         "line 3: Property Colour does not exist in TTestComponent"},
        {"unknown sub-property", "object A: TTestComponent\n Font.Weight = 1\nend",
         "line 3: Property Weight does not exist in TTestFont"},
        {"wrong kind", "object A: TTestComponent\n Caption = 12\nend",
         "line 3: Invalid value for A.Caption: a string property"},
        {"bad boolean", "object A: TTestComponent\n Enabled = Maybe\nend",
         "line 3: Invalid value for A.Enabled: True or False expected"},
        {"bad enum", "object A: TTestComponent\n Color = tcPink\nend",
         "line 3: Invalid value for A.Color: tcPink is not a member of TTestColor"},
        {"bad set", "object A: TTestComponent\n Colors = [tcRed, taClone]\nend",
         "line 3: Invalid value for A.Colors: taClone is not a member of TTestColor"},
        {"out of range", "object A: TTestComponent\n Small = 99999\nend",
         "line 3: Cannot set A.Small"},
        {"read-only", "object A: TTestComponent\n Code = 1\nend",
         "line 3: Cannot set A.Code: Property TTestComponent.Code is read-only"},
        {"republished read-only", "object A: TTestItems\n Lines.Strings = (\n 'x')\nend",
         "line 3: Property Lines of TTestItems has no sub-properties"},
        {"unresolved",
         "object A: TTestComponent\nend\nobject B: TTestComponent\n Link = Nobody\nend",
         "line 5: Unresolved reference to Nobody in B.Link"},
        {"reference of wrong class", "object A: TTestComponent\n Link = R\nend",
         "line 3: Cannot set A.Link: Property TTestComponent.Link takes a TTestComponent, not a "
         "TTestRoot"},
        {"unknown method", "object A: TTestComponent\n OnChange = Missing\nend",
         "line 3: Method Missing not found in TTestRoot"},
        {"method signature", "object A: TTestComponent\n OnChange = ActionHandler\nend",
         "line 3: Method ActionHandler does not match the signature of A.OnChange"},
        {"duplicate name", "object A: TTestComponent\nend\nobject a: TTestComponent\nend",
         "line 4: A component named a already exists"},
        {"invalid name", "object A: TTestComponent\n Name = '9x'\nend",
         "line 3: Cannot set A.Name: '9x' is not a valid component name"},
        {"field of another class", "object First: TTestRoot\nend",
         "line 2: Field TTestRoot.First holds a TTestComponent, not a TTestRoot"},
        {"unterminated string", "object A: TTestComponent\n Caption = 'abc\nend",
         "line 3: Unterminated string"},
        {"odd binary", "object A: TTestComponent\n Data = {ABC}\nend",
         "line 3: Binary data has an odd number of digits"},
        {"missing end", "object A: TTestComponent\n", "Unexpected end of text"},
        {"list for a string", "object A: TTestComponent\n Caption = (\n 'a')\nend",
         "line 3: Invalid value for A.Caption: a string property"},
        {"stray character", "object A: TTestComponent\n Count = 1 ;\nend",
         "line 3: Unexpected character ';'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray text = QByteArray("object R: TTestRoot\n") + c.body + "\nend\n";
        TComponent owner(nullptr);
        auto* root = new TTestRoot(&owner);
        try {
            ReadComponentLayout(root, text, QStringLiteral("Test.lay"));
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Error reading Test.lay, ")))
                << e.what();
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.message))) << e.what();
        }
        EXPECT_EQ(root->ComponentCount(), 0);
        EXPECT_EQ(root->First, nullptr);
        EXPECT_FALSE(root->ComponentState().Contains(csLoading));

        // A root created by the reader is freed with everything in it.
        try {
            CreateComponentFromLayout(text, &owner);
            ADD_FAILURE() << "no error";
        } catch (const EReadError&) {
        }
        EXPECT_EQ(owner.ComponentCount(), 1);
    }
}

TEST(Layout, DeepNestingIsRefusedNotOverflowed)
{
    QByteArray text = "object R: TTestRoot\n";
    for (int i = 0; i < 5000; ++i)
        text += "object TTestComponent\n";
    EXPECT_THROW(CreateComponentFromLayout(text, nullptr), EReadError);
}
