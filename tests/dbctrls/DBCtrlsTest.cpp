#include "platform/dbctrls/DBCtrls.h"
#include "platform/dbctrls/DBGrids.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Modal.h"
#include "tests/db/DbFixture.h"
#include "tests/dbctrls/DbFormFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

using namespace vyn;
using namespace vyn::test;

TEST_F(DBCtrlsTest, EditTypingEditsPostsAndEscapeResets)
{
    auto* edit = Add<TDBEdit>(QStringLiteral("Name"), 8);
    auto* other = Add<TDBEdit>(QStringLiteral("Age"), 40);
    Show();
    EXPECT_EQ(edit->Text(), QStringLiteral("Ann"));
    EXPECT_EQ(GetObjectProp(edit, QStringLiteral("DataSource")), source);
    EXPECT_EQ(GetStrProp(edit, QStringLiteral("DataField")), QStringLiteral("Name"));

    edit->SetFocus();
    QTest::keyClick(edit->Widget(), Qt::Key_End);
    QTest::keyClicks(edit->Widget(), "a");
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(edit->Text(), QStringLiteral("Anna"));
    table->Post(); // the control's text is written first
    EXPECT_EQ(table->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Anna"));

    QTest::keyClicks(edit->Widget(), "x");
    EXPECT_EQ(table->State(), dsEdit);
    QTest::keyClick(edit->Widget(), Qt::Key_Escape);
    EXPECT_EQ(edit->Text(), QStringLiteral("Anna"));
    table->Cancel();

    // A letter in a number field beeps and is dropped; no edit starts.
    other->SetFocus();
    const QString before = other->Text();
    QTest::keyClicks(other->Widget(), "z");
    EXPECT_EQ(other->Text(), before);
    EXPECT_EQ(table->State(), dsBrowse);

    // Moving shows the next record.
    table->Next();
    EXPECT_EQ(edit->Text(), QStringLiteral("Bob"));
    // While browsing the edit is read-only: nothing is written without an edit.
    EXPECT_TRUE(static_cast<TCustomEdit*>(edit)->TCustomEdit::ReadOnly());
}

TEST_F(DBCtrlsTest, ARejectedValueIsShownAndTheControlKeepsTheText)
{
    auto* age = Add<TDBEdit>(QStringLiteral("Age"), 8);
    auto* name = Add<TDBEdit>(QStringLiteral("Name"), 40);
    Show();
    TScriptedModalDriver driver;
    QString message;
    driver.Then([&](TCustomForm* f) {
        message = f->Caption() + QLatin1Char('|') + f->ClassName();
        return mrOk;
    });
    age->SetFocus();
    QTest::keyClick(age->Widget(), Qt::Key_End);
    QTest::keyClicks(age->Widget(), "99999");
    name->SetFocus(); // leaving writes the value back: the field refuses it
    QCoreApplication::processEvents();
    EXPECT_EQ(driver.Shown().size(), 1);
    EXPECT_TRUE(age->Text().endsWith(QStringLiteral("99999")));
    EXPECT_EQ(table->State(), dsEdit);
}

TEST_F(DBCtrlsTest, AMissingFieldLeavesTheControlEmptyAndNotEditable)
{
    auto* edit = Add<TDBEdit>(QStringLiteral("NoSuchField"), 8);
    Show();
    EXPECT_EQ(edit->Field(), nullptr);
    EXPECT_EQ(edit->Text(), QString());
    edit->SetFocus();
    QTest::keyClicks(edit->Widget(), "abc");
    EXPECT_EQ(edit->Text(), QString());
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(DBCtrlsTest, MemoEditsAndPosts)
{
    auto* memo = Add<TDBMemo>(QStringLiteral("Rich"), 8);
    Show();
    memo->SetFocus();
    QTest::keyClicks(memo->Editor(), "line one");
    QTest::keyClick(memo->Editor(), Qt::Key_Return);
    QTest::keyClicks(memo->Editor(), "two");
    EXPECT_EQ(table->State(), dsEdit);
    table->Post();
    EXPECT_EQ(table->FieldByName(QStringLiteral("Rich"))->AsString(),
              QStringLiteral("line one\r\ntwo"));
}

TEST_F(DBCtrlsTest, ComboShowsTheMatchingItemAndWritesTheChoiceBack)
{
    auto* combo = Add<TDBComboBox>(QStringLiteral("Name"), 8);
    combo->SetStyle(csDropDownList);
    TStringList items(QStringList{"BOB", "ann", "Zed"});
    combo->SetItems(&items);
    Show();
    EXPECT_EQ(combo->ItemIndex(), 1); // "Ann" matches "ann" ignoring case
    table->Next();
    EXPECT_EQ(combo->ItemIndex(), 0);
    table->Next(); // Cid: no item
    EXPECT_EQ(combo->ItemIndex(), -1);

    combo->SetFocus();
    QTest::keyClick(combo->Widget(), Qt::Key_Down); // asks for the edit, then selects
    EXPECT_EQ(table->State(), dsEdit);
    combo->ComboBox()->setCurrentIndex(2);
    table->Post();
    EXPECT_EQ(table->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Zed"));
}

TEST_F(DBCtrlsTest, ComboRefusesLettersForNumbersAndUndoesAChoiceThatCannotBeEdited)
{
    auto* combo = Add<TDBComboBox>(QStringLiteral("Age"), 8);
    TStringList items(QStringList{"20", "21", "22"});
    combo->SetItems(&items);
    Show();
    combo->SetFocus();
    const QString before = combo->Text();
    QTest::keyClicks(combo->ComboBox()->lineEdit(), "q");
    EXPECT_EQ(combo->Text(), before);
    EXPECT_EQ(table->State(), dsBrowse);

    source->SetAutoEdit(false);
    combo->ComboBox()->setCurrentIndex(2); // a user's choice in the list
    emit combo->ComboBox()->activated(2);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(combo->ItemIndex(), 0); // back to the field's value
    QTest::keyClick(combo->Widget(), Qt::Key_Down);
    EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(DBCtrlsTest, GridRowsAndColumnsFollowTheTableAndAClickMoves)
{
    auto* grid = new TDBGrid(form);
    grid->SetParent(form);
    grid->SetBounds(8, 8, 400, 200);
    grid->SetDataSource(source);
    Show();
    ASSERT_EQ(grid->ColumnCount(), 4);
    EXPECT_EQ(grid->View()->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Name"));
    EXPECT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(grid->CellText(2, 1), QStringLiteral("Cid"));
    EXPECT_EQ(grid->CurrentRow(), 0);

    const QRect cell = grid->View()->visualRect(grid->View()->model()->index(2, 1));
    QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(Name(table), QStringLiteral("Cid"));
    EXPECT_EQ(grid->CurrentRow(), 2);

    table->Append();
    table->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Dee"));
    table->Post();
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->CellText(grid->CurrentRow(), 1), QStringLiteral("Dee"));

    table->First();
    grid->SetFocus();
    QTest::keyClick(grid->View(), Qt::Key_Down);
    EXPECT_EQ(Name(table), QStringLiteral("Bob"));

    // Edit in place.
    grid->View()->model()->setData(grid->View()->model()->index(1, 1), QStringLiteral("Bobby"));
    EXPECT_EQ(table->State(), dsEdit);
    table->Post();
    EXPECT_EQ(grid->CellText(1, 1), QStringLiteral("Bobby"));

    table->Close();
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(grid->ColumnCount(), 0);
}

TEST_F(DBCtrlsTest, AGridKeepsAWindowNotTheTable)
{
    auto big = MakePeople(
        [] {
            QStringList n;
            for (int i = 0; i < 300; ++i)
                n << QStringLiteral("P%1").arg(i, 3, 10, QLatin1Char('0'));
            return n;
        }(),
        QStringLiteral("Many"));
    big->Close();
    table->Close();
    table->SetTableName(QStringLiteral("Many"));
    table->Open();
    auto* grid = new TDBGrid(form);
    grid->SetParent(form);
    grid->SetBounds(8, 8, 400, 200);
    grid->SetDataSource(source);
    Show();
    EXPECT_GT(grid->RowCount(), 3);
    EXPECT_LT(grid->RowCount(), 20);
    EXPECT_EQ(table->BufferedRecords(), grid->RowCount());
    table->Last();
    EXPECT_EQ(grid->CellText(grid->CurrentRow(), 1), QStringLiteral("P299"));
    QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid->View()->viewport(), &wheel);
    EXPECT_EQ(Name(table), QStringLiteral("P297"));
}
