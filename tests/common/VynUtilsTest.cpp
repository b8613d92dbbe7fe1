#include "common/VynUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/StdCtrls.h"
#include "tests/support/TestComponents.h"

#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace vyn;
using namespace vyn::test;

TEST(GetStringProperty, ReturnsStringsAndEmptyForMissingOrOtherKinds)
{
    TTestComponent c(nullptr);
    c.SetCaption(QStringLiteral("People"));
    c.SetName(QStringLiteral("Table1"));
    struct Case
    {
        const char* name;
        const char* expected;
    } cases[] = {
        {"Caption", "People"}, {"caption", "People"}, {"Name", "Table1"},
        {"RecordName", ""},    {"Count", ""},         {"Link", ""},
        {"OnChange", ""},      {"Lines", ""},         {"", ""},
    };
    for (const Case& k : cases)
        EXPECT_EQ(GetStringProperty(&c, QString::fromUtf8(k.name)), QString::fromUtf8(k.expected))
            << k.name;
    EXPECT_EQ(GetStringProperty(nullptr, QStringLiteral("Caption")), QString());
}

TEST(EnterAsTab, PostsATabThatMovesTheFocusOnOnlyOnceTheEventLoopRuns)
{
    TApplication app;
    TForm form(nullptr);
    std::vector<TEdit*> edits;
    for (int i = 0; i < 3; ++i) {
        auto* edit = new TEdit(&form);
        edit->SetName(QStringLiteral("Edit%1").arg(i + 1));
        edit->SetParent(&form);
        edit->SetBounds(8, 8 + 30 * i, 100, 21);
        edits.push_back(edit);
    }
    edits[1]->SetTabOrder(0); // Edit2 first, then Edit1, then Edit3
    QStringList log;
    edits[1]->OnKeyDown = [&](TObject* Sender, Word& Key, TShiftState) {
        log << QStringLiteral("down %1").arg(Key);
        EnterAsTab(static_cast<TWinControl*>(Sender), Key);
        log << QStringLiteral("after %1").arg(Key);
    };
    edits[1]->OnKeyPress = [&](TObject*, QChar& Key) {
        log << QStringLiteral("press %1").arg(Key.unicode());
    };
    form.Show();
    form.Widget()->activateWindow();
    QCoreApplication::processEvents();
    edits[1]->SetFocus();

    // Any other key: nothing is posted.
    QTest::keyClick(edits[1]->Widget(), Qt::Key_A);
    QCoreApplication::processEvents();
    EXPECT_TRUE(edits[1]->Focused());

    log.clear();
    QTest::keyClick(edits[1]->Widget(), Qt::Key_Return);
    // The Enter itself went on as usual, and the focus has not moved yet.
    EXPECT_EQ(log, (QStringList{"down 13", "after 13", "press 13"}));
    EXPECT_TRUE(edits[1]->Focused());
    QCoreApplication::processEvents();
    EXPECT_TRUE(edits[0]->Focused());
    EXPECT_EQ(Screen->ActiveControl(), edits[0]);
    // The posted Tab reached the edit's keys like a typed one.
    EXPECT_EQ(log.mid(3, 2), (QStringList{"down 9", "after 9"}));
}
