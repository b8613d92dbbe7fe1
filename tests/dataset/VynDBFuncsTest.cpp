#include "dataset/VynDBFuncs.h"
#include "tests/support/TestComponents.h"

#include <gtest/gtest.h>

using namespace vyn;
using namespace vyn::test;

TEST(GetObjectProperty, ReturnsTheReferencedObjectOrNull)
{
    TComponent owner(nullptr);
    auto* c = new TTestItems(&owner);
    auto* source = new TTestComponent(&owner);
    EXPECT_EQ(GetObjectProperty(c, QStringLiteral("Link")), nullptr); // empty reference
    c->SetLink(source);
    EXPECT_EQ(GetObjectProperty(c, QStringLiteral("link")), source);
    EXPECT_EQ(GetObjectProperty(c, QStringLiteral("Font")), c->Font());
    // Missing, and properties that hold no object (an ordinal is never handed out as one).
    for (const char* name : {"DataSource", "Count", "Tag", "Caption", "Actions", "Lines"})
        EXPECT_EQ(GetObjectProperty(c, QString::fromUtf8(name)), nullptr) << name;
    EXPECT_EQ(GetObjectProperty(nullptr, QStringLiteral("Link")), nullptr);
    delete source; // the reference is dropped with its target
    EXPECT_EQ(GetObjectProperty(c, QStringLiteral("Link")), nullptr);
}
