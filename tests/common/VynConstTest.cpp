#include "common/VynConst.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace vyn;

TEST(VynConst, HoldsEveryCatalogueTextExactly)
{
    const char* expected[] = {"Prompt on replace",
                              "Scope",
                              "Global",
                              "Selected text",
                              "From",
                              "Only for",
                              "current record",
                              "Origin",
                              "From cursor",
                              "Entire scope",
                              "Text '%s' not found",
                              "Refresh data",
                              "Paragraph",
                              "Paragraph",
                              "First line",
                              "Left indent",
                              "Right indent",
                              "Left",
                              "Center",
                              "Right",
                              "Bullet",
                              "Search",
                              "Replace",
                              "Replace All",
                              "Text to find",
                              "Replace with",
                              "Options",
                              "Whole words only",
                              "Search / replace",
                              "Search/replace next",
                              "Copy",
                              "Insert",
                              "Select All",
                              "Print",
                              "First record",
                              "Prior record",
                              "Next record",
                              "Last record",
                              "Insert record",
                              "Delete record",
                              "Edit record",
                              "Post edit",
                              "Cancel edit",
                              "Cancel",
                              "Case sensitive",
                              "Find",
                              "Clone record",
                              "Font",
                              "Basic font"};
    ASSERT_EQ(std::size(expected), size_t(VynTextCount));
    ASSERT_EQ(VynTextCount, 49);
    for (int i = 0; i < VynTextCount; ++i)
        EXPECT_EQ(VynText(TVynText(i)), QString::fromUtf8(expected[i])) << i;
    EXPECT_EQ(VynText(TVynText::ParagraphCaption), VynText(TVynText::ParagraphItem));
    EXPECT_EQ(VynText(TVynText::SearchReplace), QStringLiteral("Search / replace"));
    EXPECT_EQ(VynText(TVynText::CurrentRecord), QStringLiteral("current record"));
}

TEST(VynConst, TextsAreLookedUpWhenNeeded)
{
    SetVynText(TVynText::Find, QStringLiteral("Suchen"));
    EXPECT_EQ(VynText(TVynText::Find), QStringLiteral("Suchen"));
    EXPECT_EQ(VynText(TVynText::Search), QStringLiteral("Search"));
    ResetVynTexts();
    EXPECT_EQ(VynText(TVynText::Find), QStringLiteral("Find"));
}
