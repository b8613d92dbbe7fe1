#include "platform/core/Exception.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/Set.h"
#include "platform/core/Stream.h"
#include "platform/core/Variant.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestComponents.h"

#include <gtest/gtest.h>

using namespace vyn;
using namespace vyn::test;

TEST(Variant, NullIsDistinctFromEveryValueAndFromUnassigned)
{
    const Variant unassigned;
    const Variant null = Variant::Null();
    EXPECT_TRUE(unassigned.IsUnassigned());
    EXPECT_TRUE(null.IsNull());
    EXPECT_FALSE(unassigned == null);
    for (const Variant& v :
         {Variant(0), Variant(QString()), Variant(false), Variant(0.0), Variant(QByteArray())}) {
        EXPECT_FALSE(v == null);
        EXPECT_FALSE(v.IsEmpty());
    }
    EXPECT_TRUE(null == Variant(Null));
    EXPECT_EQ(VarToStr(null), QString());
}

TEST(Variant, ConversionsAndTheirErrors)
{
    EXPECT_EQ(Variant(QStringLiteral(" 42 ")).ToInt(), 42);
    EXPECT_EQ(Variant(7).ToString(), QStringLiteral("7"));
    EXPECT_DOUBLE_EQ(Variant(QStringLiteral("2.5")).ToDouble(), 2.5);
    EXPECT_TRUE(Variant(QStringLiteral("true")).ToBool());
    EXPECT_EQ(Variant(2.6).ToInt(), 3);
    EXPECT_EQ(Variant(QStringLiteral("é")).ToBytes(), QByteArray("\xC3\xA9"));
    EXPECT_EQ(Variant(Null).ToInt(), 0);
    try {
        Variant(QStringLiteral("abc")).ToInt();
        FAIL();
    } catch (const EVariantError& e) {
        EXPECT_EQ(
            e.Message(),
            QStringLiteral("Could not convert variant 'abc' of type (String) into type (Integer)"));
    }
    EXPECT_THROW(Variant(std::int64_t(1) << 40).ToInt(), EVariantError);
    EXPECT_THROW(Variant(QByteArray("x")).ToDouble(), EVariantError);
}

TEST(Set, MembersAreBitsOfTheOrdinal)
{
    TTestColors s{tcRed, tcBlue};
    EXPECT_EQ(s.Ordinal(), 5u);
    EXPECT_TRUE(s.Contains(tcBlue));
    EXPECT_FALSE(s.Contains(tcGreen));
    s += tcGreen;
    s -= tcRed;
    EXPECT_EQ(s, TTestColors::FromOrdinal(6));
    EXPECT_EQ(s * TTestColors{tcGreen}, TTestColors{tcGreen});
    EXPECT_TRUE(TTestColors{tcGreen} <= s);
    EXPECT_TRUE(TTestColors().Empty());
}

TEST(ScopeGuard, RunsOnEveryExitAndKeepsTheFirstError)
{
    int runs = 0;
    {
        auto g = Finally([&] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    try {
        auto g = Finally([&] {
            ++runs;
            throw EConvertError(QStringLiteral("cleanup"));
        });
        throw EDatabaseError(QStringLiteral("first"));
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("first"));
    }
    EXPECT_EQ(runs, 2);
    {
        auto g = Finally([&] { ++runs; });
        g.Dismiss();
    }
    EXPECT_EQ(runs, 2);
}

TEST(Stream, MemoryStreamReadsWritesSeeksAndSaves)
{
    TMemoryStream m;
    m.WriteBytes("hello");
    EXPECT_EQ(m.Size(), 5);
    m.SetPosition(1);
    EXPECT_EQ(m.ReadBytes(3), QByteArray("ell"));
    char buf[10];
    EXPECT_THROW(m.ReadBuffer(buf, 5), EReadError);
    m.Seek(-2, soEnd);
    m.WriteBytes("LOWORLD");
    EXPECT_EQ(m.Memory(), QByteArray("helLOWORLD"));
    EXPECT_THROW(m.Seek(-1, soBeginning), EStreamError);
    m.SetSize(3);
    EXPECT_EQ(m.Position(), 3);

    TStringStream s(QStringLiteral("ünï"));
    TMemoryStream copy;
    copy.CopyFrom(&s, 0);
    EXPECT_EQ(copy.Memory(), QStringLiteral("ünï").toUtf8());

    TempDir dir;
    copy.SaveToFile(dir.File(QStringLiteral("x.bin")));
    TMemoryStream loaded;
    loaded.LoadFromFile(dir.File(QStringLiteral("x.bin")));
    EXPECT_EQ(loaded.Memory(), copy.Memory());
    EXPECT_THROW(loaded.LoadFromFile(dir.File(QStringLiteral("missing"))), EFOpenError);
}
