#include "common/VynUtils.h"
#include "tests/support/TestComponents.h"

#include <gtest/gtest.h>

using namespace vyn;
using namespace vyn::test;

TEST(GetStringProperty, ReturnsStringsAndEmptyForMissingOrOtherKinds)
{
    TTestComponent c(nullptr);
    c.SetCaption(QStringLiteral("People"));
    c.SetName(QStringLiteral("Table1"));
    struct Case {
        const char* name;
        const char* expected;
    } cases[] = {
        {"Caption", "People"}, {"caption", "People"}, {"Name", "Table1"},
        {"RecordName", ""},    {"Count", ""},          {"Link", ""},
        {"OnChange", ""},      {"Lines", ""},          {"", ""},
    };
    for (const Case& k : cases)
        EXPECT_EQ(GetStringProperty(&c, QString::fromUtf8(k.name)), QString::fromUtf8(k.expected))
            << k.name;
    EXPECT_EQ(GetStringProperty(nullptr, QStringLiteral("Caption")), QString());
}
