#include "platform/dbctrls/DBGrids.h"
#include "platform/dbctrls/DBNavigator.h"
#include "platform/ui/Modal.h"
#include "tests/dbctrls/DbFormFixture.h"

#include <QDir>
#include <QImage>
#include <QTableView>
#include <QToolButton>

using namespace vyn;
using namespace vyn::test;

namespace {

QString Enabled(const TDBNavigator* nav)
{
    QString s;
    for (int i = 0; i <= int(nbRefresh); ++i)
        s += nav->ButtonEnabled(TNavigateBtn(i)) ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

} // namespace

using NavigatorTest = DBCtrlsTest;

TEST_F(NavigatorTest, ButtonsFollowStateAndPosition)
{
    auto* nav = new TDBNavigator(form);
    nav->SetParent(form);
    nav->SetDataSource(source);
    // Buttons: First Prior Next Last Insert Delete Edit Post Cancel Refresh
    struct Case
    {
        const char* what;
        std::function<void()> act;
        const char* enabled;
    } cases[] = {
        {"first record", [&] { table->First(); }, "0011111001"},
        {"middle", [&] { table->Next(); }, "1111111001"},
        {"last", [&] { table->Last(); }, "1100111001"},
        {"editing", [&] { table->Edit(); }, "1100110110"},
        {"inserting",
         [&] {
             table->Cancel();
             table->Insert();
         },
         "1111110110"},
        {"read-only",
         [&] {
             table->Cancel();
             table->Close();
             table->SetReadOnly(true);
             table->Open();
         },
         "0011000001"},
        {"closed", [&] { table->Close(); }, "0000000000"},
        {"empty",
         [&] {
             table->SetReadOnly(false);
             table->Open();
             table->EmptyTable();
         },
         "0000100001"},
        {"no source", [&] { nav->SetDataSource(nullptr); }, "0000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        EXPECT_EQ(Enabled(nav), QString::fromLatin1(c.enabled));
        for (int i = 0; i <= int(nbRefresh); ++i)
            EXPECT_EQ(nav->Button(TNavigateBtn(i))->isEnabled(), c.enabled[i] == '1');
    }
    EXPECT_EQ(nav->Button(nbPost)->toolTip(), QStringLiteral("Post edit"));
    EXPECT_FALSE(nav->Button(nbFirst)->icon().isNull());
}

TEST_F(NavigatorTest, DeleteAsksFirst)
{
    auto* nav = new TDBNavigator(form);
    nav->SetParent(form);
    nav->SetDataSource(source);
    Show();
    {
        TScriptedModalDriver driver;
        QString text;
        driver.Then([&](TCustomForm* f) {
            text = f->ClassName();
            return mrCancel;
        });
        nav->Button(nbDelete)->click();
        EXPECT_EQ(driver.Shown().size(), 1);
        EXPECT_EQ(table->RecordCount(), 3);
    }
    {
        TScriptedModalDriver driver;
        driver.Then([](TCustomForm*) { return mrOk; });
        nav->Button(nbDelete)->click();
        EXPECT_EQ(table->RecordCount(), 2);
    }
    nav->Button(nbLast)->click();
    EXPECT_EQ(Name(table), QStringLiteral("Cid"));
    nav->Button(nbInsert)->click();
    EXPECT_EQ(table->State(), dsInsert);
    nav->Button(nbCancel)->click();
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(NavigatorTest, AFormWithAGridAndANavigatorRenders)
{
    form->SetCaption(QStringLiteral("People"));
    auto* grid = new TDBGrid(form);
    grid->SetParent(form);
    grid->SetBounds(8, 8, 400, 150);
    grid->SetDataSource(source);
    grid->SetReadOnly(true);
    auto* nav = new TDBNavigator(form);
    nav->SetParent(form);
    nav->SetBounds(8, 170, 240, 25);
    nav->SetDataSource(source);
    Show();
    table->Next();
    QCoreApplication::processEvents();
    const QImage image = form->Widget()->grab().toImage();
    const QString file =
        QDir(QStringLiteral(VYN_DBCTRLS_TEST_OUTPUT_DIR)).filePath(QStringLiteral("GridForm.png"));
    ASSERT_TRUE(image.save(file));
    // The current record's cell is drawn in the highlight colour.
    const QRect cell = grid->View()->visualRect(grid->View()->model()->index(1, 0));
    const QPoint inRow =
        grid->View()->viewport()->mapTo(form->Widget(), cell.topLeft() + QPoint(3, 3));
    // The style may shade it a little when the grid has the focus.
    const QColor drawn = image.pixelColor(inRow);
    const QColor highlight = grid->View()->palette().color(QPalette::Highlight);
    EXPECT_LE(std::abs(drawn.red() - highlight.red()) + std::abs(drawn.green() - highlight.green()) +
                  std::abs(drawn.blue() - highlight.blue()),
              24)
        << drawn.name().toStdString() << " " << highlight.name().toStdString();
}
