#include "platform/core/Unit.h"
#include "platform/core/Exception.h"

#include <gtest/gtest.h>

using namespace vyn;

namespace {

QStringList& Log()
{
    static QStringList log;
    return log;
}

// Registered in an order that differs from the order of use.
const TUnitRegistration rich(
    "TestRich", {"TestPopup", "TestConst"}, [] { Log() << "init Rich"; },
    [] { Log() << "fin Rich"; });
const TUnitRegistration popup(
    "TestPopup", {"TestConst"}, [] { Log() << "init Popup"; }, [] { Log() << "fin Popup"; });
const TUnitRegistration constants("TestConst", {}, nullptr, [] { Log() << "fin Const"; });

QStringList Ours(const QStringList& all)
{
    QStringList r;
    for (const QString& s : all)
        if (s.startsWith(QLatin1String("init Test")) || s.startsWith(QLatin1String("fin Test")) ||
            s.contains(QLatin1String("Rich")) || s.contains(QLatin1String("Popup")) ||
            s.contains(QLatin1String("Const")))
            r << s;
    return r;
}

} // namespace

TEST(Units, InitialiseAfterTheirUsesFinaliseInReverseAndRunAgain)
{
    FinalizeUnits();
    Log().clear();
    InitializeUnits();
    const QStringList order = InitializedUnits();
    EXPECT_LT(order.indexOf("TestConst"), order.indexOf("TestPopup"));
    EXPECT_LT(order.indexOf("TestPopup"), order.indexOf("TestRich"));
    EXPECT_TRUE(UnitIsInitialized(QStringLiteral("TestRich")));
    InitializeUnits(); // nothing runs twice
    EXPECT_EQ(Ours(Log()), (QStringList{"init Popup", "init Rich"}));

    FinalizeUnits();
    EXPECT_EQ(Ours(Log()),
              (QStringList{"init Popup", "init Rich", "fin Rich", "fin Popup", "fin Const"}));
    EXPECT_FALSE(UnitIsInitialized(QStringLiteral("TestRich")));

    Log().clear();
    InitializeUnits();
    EXPECT_EQ(Ours(Log()), (QStringList{"init Popup", "init Rich"}));
    FinalizeUnits();
}
