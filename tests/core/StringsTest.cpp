#include "platform/core/Strings.h"
#include "platform/core/Exception.h"
#include "platform/core/Stream.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace vyn;

TEST(StringList, EditsKeepLinesAndObjectsTogether)
{
    TStringList list;
    TStringList tagA, tagB;
    list.Add(QStringLiteral("b"));
    list.AddObject(QStringLiteral("c"), &tagB);
    list.InsertObject(0, QStringLiteral("a"), &tagA);
    EXPECT_EQ(list.ToStringList(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(list.Objects(0), &tagA);
    EXPECT_EQ(list.IndexOfObject(&tagB), 2);
    list.Exchange(0, 2);
    EXPECT_EQ(list.Strings(0), QStringLiteral("c"));
    EXPECT_EQ(list.Objects(0), &tagB);
    list.Move(0, 2);
    EXPECT_EQ(list.ToStringList(), (QStringList{"b", "a", "c"}));
    EXPECT_EQ(list.Objects(2), &tagB);
    list.Delete(1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_THROW(list.Strings(2), EStringListError);
    EXPECT_THROW(list.Insert(5, QStringLiteral("x")), EStringListError);
    EXPECT_THROW(list.Delete(-1), EStringListError);
}

TEST(StringList, IndexOfIgnoresCaseUnderTheLocale)
{
    TStringList list(
        QStringList{QStringLiteral("Über"), QStringLiteral("Straße"), QStringLiteral("élan")});
    EXPECT_EQ(list.IndexOf(QStringLiteral("über")), 0);
    EXPECT_EQ(list.IndexOf(QStringLiteral("STRASSE")) == 1 ||
                  list.IndexOf(QStringLiteral("straße")) == 1,
              true);
    EXPECT_EQ(list.IndexOf(QStringLiteral("ÉLAN")), 2);
    EXPECT_EQ(list.IndexOf(QStringLiteral("elan")), -1); // accents still count
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(QStringLiteral("über")), -1);
}

TEST(StringList, TextJoinsWithCrLfAndSplitsAnyLineEnd)
{
    TStringList list;
    list.SetText(QStringLiteral("a\r\nb\nc\rd\r\n\r\ne"));
    EXPECT_EQ(list.ToStringList(), (QStringList{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(list.Text(), QStringLiteral("a\r\nb\r\nc\r\nd\r\n\r\ne\r\n"));
    list.SetText(QString());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), QString());

    TMemoryStream stream;
    TStringList saved(QStringList{QStringLiteral("x"), QStringLiteral("ÿ")});
    saved.SaveToStream(&stream);
    stream.SetPosition(0);
    list.LoadFromStream(&stream);
    EXPECT_TRUE(list.Equals(&saved));
}

TEST(StringList, SortedListsAndDuplicates)
{
    struct Case
    {
        TDuplicates dup;
        QStringList expected;
        bool raises;
    } cases[] = {
        {dupIgnore, {"apple", "Banana", "cherry"}, false},
        {dupAccept, {"apple", "banana", "Banana", "cherry"}, false},
        {dupError, {"apple", "Banana", "cherry"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.dup));
        TStringList list;
        list.SetDuplicates(c.dup);
        list.Add(QStringLiteral("cherry"));
        list.Add(QStringLiteral("Banana"));
        list.SetSorted(true);
        list.Add(QStringLiteral("apple"));
        if (c.raises)
            EXPECT_THROW(list.Add(QStringLiteral("banana")), EStringListError);
        else
            list.Add(QStringLiteral("banana"));
        EXPECT_EQ(list.ToStringList(), c.expected);
        int at = -1;
        EXPECT_TRUE(list.Find(QStringLiteral("BANANA"), at));
        EXPECT_EQ(at, 1);
        EXPECT_EQ(list.IndexOf(QStringLiteral("cherry")), c.expected.size() - 1);
        EXPECT_THROW(list.Insert(0, QStringLiteral("x")), EStringListError);
    }
}

TEST(StringList, AssignCopiesAndChangeEventsAreBatched)
{
    TStringList source(QStringList{QStringLiteral("1"), QStringLiteral("2")});
    TStringList target;
    int changes = 0;
    target.OnChange = [&](TObject*) { ++changes; };
    target.Assign(&source);
    EXPECT_EQ(target.ToStringList(), source.ToStringList());
    EXPECT_EQ(changes, 1);
    target.BeginUpdate();
    target.Add(QStringLiteral("3"));
    target.Add(QStringLiteral("4"));
    EXPECT_EQ(changes, 1);
    target.EndUpdate();
    EXPECT_EQ(changes, 2);
}
