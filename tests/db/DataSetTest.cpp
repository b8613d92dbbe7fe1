#include "tests/db/DbFixture.h"

#include "platform/core/Stream.h"

#include <QFile>
#include <sqlite3.h>

using namespace vyn;
using namespace vyn::test;

namespace {
const QStringList Five{"Ann", "Bob", "Cid", "Dee", "Eve"};
}

using DataSetTest = DbTest;

TEST_F(DataSetTest, BofAndEofFollowTheMoves)
{
    auto t = MakePeople(Five);
    struct Step
    {
        const char* move;
        const char* name;
        bool bof, eof;
    } steps[] = {
        {"First", "Ann", true, false},     {"Prior", "Ann", true, false},
        {"Next", "Bob", false, false},     {"Prior", "Ann", false, false},
        {"Prior", "Ann", true, false},     {"Last", "Eve", false, true},
        {"Next", "Eve", false, true},      {"Prior", "Dee", false, false},
        {"Next", "Eve", false, false},     {"Next", "Eve", false, true},
        {"MoveBy-3", "Bob", false, false}, {"MoveBy+10", "Eve", false, true},
        {"MoveBy-10", "Ann", true, false},
    };
    for (const Step& s : steps) {
        const QString m = QString::fromLatin1(s.move);
        if (m == "First")
            t->First();
        else if (m == "Last")
            t->Last();
        else if (m == "Next")
            t->Next();
        else if (m == "Prior")
            t->Prior();
        else
            t->MoveBy(m.mid(6).toInt());
        SCOPED_TRACE(s.move);
        EXPECT_EQ(Name(t.get()), QString::fromLatin1(s.name));
        EXPECT_EQ(t->Bof(), s.bof);
        EXPECT_EQ(t->Eof(), s.eof);
    }
    EXPECT_EQ(t->RecordCount(), 5);
    t->First();
    t->Next();
    EXPECT_EQ(t->RecNo(), 2);

    auto empty = MakePeople({}, QStringLiteral("Empty"));
    EXPECT_TRUE(empty->Bof());
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->IsEmpty());
    empty->Next();
    EXPECT_TRUE(empty->Bof() && empty->Eof());
}

TEST_F(DataSetTest, InsertGoesBeforeTheCurrentRecordAndAppendAtTheEnd)
{
    auto t = MakePeople(Five);
    t->First();
    t->Next(); // Bob
    t->Insert();
    EXPECT_EQ(t->State(), dsInsert);
    EXPECT_FALSE(t->Modified());
    t->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Zed"));
    EXPECT_TRUE(t->Modified());
    t->Post();
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(Name(t.get()), QStringLiteral("Zed"));
    // The database gave the key.
    EXPECT_EQ(t->FieldByName(QStringLiteral("Id"))->AsInteger(), 6);
    t->Append();
    t->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Last"));
    t->Post();
    t->Last();
    EXPECT_EQ(Name(t.get()), QStringLiteral("Last"));

    // Cancelling an insert goes back to the record that was current.
    t->First();
    t->Next();
    t->Insert();
    t->Cancel();
    EXPECT_EQ(Name(t.get()), QStringLiteral("Bob"));
    EXPECT_EQ(t->RecordCount(), 7);
}

TEST_F(DataSetTest, CheckBrowseModePostsModifiedAndCancelsUnmodifiedRecords)
{
    auto t = MakePeople(Five);
    t->Edit();
    t->CheckBrowseMode(); // unmodified: cancelled
    EXPECT_EQ(t->State(), dsBrowse);

    t->Edit();
    t->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Anna"));
    t->Next(); // moving off posts
    EXPECT_EQ(t->State(), dsBrowse);
    auto other = OpenTable();
    EXPECT_EQ(Name(other.get()), QStringLiteral("Anna"));

    t->Insert();
    t->Next(); // an untouched insert is dropped
    EXPECT_EQ(t->RecordCount(), 5);
}

TEST_F(DataSetTest, EditRereadsTheRecordAndTellsTheLinks)
{
    auto t = MakePeople(Five);
    auto other = OpenTable();
    other->Edit();
    other->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Changed"));
    other->Post();

    TDataSource source(nullptr);
    source.SetDataSet(t.get());
    CountingLink link;
    link.SetDataSource(&source);
    EXPECT_EQ(Name(t.get()), QStringLiteral("Ann")); // still the buffered value
    t->Edit();
    EXPECT_EQ(Name(t.get()), QStringLiteral("Changed"));
    EXPECT_EQ(link.record, 1);
    EXPECT_EQ(link.editing, 1);
    EXPECT_TRUE(link.Editing());
    t->Cancel();
    EXPECT_EQ(link.editing, 2);
}

TEST_F(DataSetTest, NewRecordHandlerValuesAndFailures)
{
    auto t = MakePeople(Five);
    t->OnNewRecord = [](TDataSet* d) { d->FieldByName(QStringLiteral("Age"))->SetAsInteger(99); };
    t->Insert();
    EXPECT_EQ(t->FieldByName(QStringLiteral("Age"))->AsInteger(), 99);
    EXPECT_FALSE(t->Modified()); // cleared after the handler
    t->Cancel();

    t->OnNewRecord = [](TDataSet*) { throw EDatabaseError(QStringLiteral("no")); };
    t->First();
    EXPECT_THROW(t->Insert(), EDatabaseError);
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(Name(t.get()), QStringLiteral("Ann"));
    EXPECT_EQ(t->RecordCount(), 5);
}

TEST_F(DataSetTest, BookmarksSurviveRefreshAndDeletes)
{
    auto t = MakePeople(Five);
    EXPECT_TRUE(t->GetBookmark().size() > 0);
    t->Next();
    t->Next(); // Cid
    TBookmark cid = t->GetBookmark();
    t->Next();
    TBookmark dee = t->GetBookmark();
    EXPECT_LT(t->CompareBookmarks(cid, dee), 0);
    EXPECT_EQ(t->CompareBookmarks(dee, dee), 0);
    t->Refresh();
    EXPECT_EQ(Name(t.get()), QStringLiteral("Dee"));
    t->First();
    t->GotoBookmark(cid);
    EXPECT_EQ(Name(t.get()), QStringLiteral("Cid"));

    auto other = OpenTable();
    other->Next();
    other->Next();
    other->Delete(); // Cid goes; the delete leaves the cursor on the next record
    EXPECT_EQ(Name(other.get()), QStringLiteral("Dee"));
    EXPECT_FALSE(t->BookmarkValid(cid));
    EXPECT_TRUE(t->BookmarkValid(dee));
    t->First();
    try {
        t->GotoBookmark(cid);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Record not found"))) << e.what();
    }
    TBookmark none;
    t->FreeBookmark(none); // harmless
    t->Insert();
    EXPECT_TRUE(t->GetBookmark().isEmpty());
    t->Cancel();
    auto empty = MakePeople({}, QStringLiteral("Empty"));
    EXPECT_TRUE(empty->GetBookmark().isEmpty());
}

TEST_F(DataSetTest, DisableControlsNestsAndSendsOneChange)
{
    auto t = MakePeople(Five);
    TDataSource source(nullptr);
    source.SetDataSet(t.get());
    CountingLink link;
    link.SetDataSource(&source);
    int dataChanges = 0;
    source.OnDataChange = [&](TObject*, TField*) { ++dataChanges; };

    t->DisableControls();
    t->DisableControls();
    t->Next();
    t->Last();
    t->EnableControls();
    EXPECT_EQ(link.changed + link.scrolled, 0);
    t->EnableControls();
    EXPECT_EQ(link.changed + link.scrolled, 1);
    EXPECT_EQ(dataChanges, 1);

    // Without disabling, each move is heard.
    t->First();
    t->Next();
    EXPECT_EQ(link.changed, 2);
    EXPECT_EQ(link.scrolled, 1);
}

TEST_F(DataSetTest, LinksHearStateFieldAndUpdateNotifications)
{
    auto t = MakePeople(Five);
    TDataSource source(nullptr);
    CountingLink link;
    link.SetDataSource(&source);
    source.SetDataSet(t.get());
    EXPECT_EQ(link.active, 1);
    EXPECT_TRUE(link.Active());

    TFieldDataLink fieldLink;
    int shown = 0, written = 0;
    fieldLink.OnDataChange = [&](TObject*) { ++shown; };
    fieldLink.OnUpdateData = [&](TObject*) {
        ++written;
        t->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("FromControl"));
    };
    fieldLink.SetDataSource(&source);
    fieldLink.SetFieldName(QStringLiteral("Name"));
    ASSERT_NE(fieldLink.Field(), nullptr);
    EXPECT_TRUE(fieldLink.Edit());
    fieldLink.Modified();
    t->Post(); // the control's pending change is written first
    EXPECT_EQ(written, 1);
    EXPECT_EQ(Name(t.get()), QStringLiteral("FromControl"));
    EXPECT_GE(link.updates, 1);

    // AutoEdit off: the link cannot start editing.
    source.SetAutoEdit(false);
    EXPECT_FALSE(fieldLink.Edit());
    source.SetAutoEdit(true);
    fieldLink.SetReadOnly(true);
    EXPECT_FALSE(fieldLink.Edit());
    EXPECT_EQ(t->State(), dsBrowse);

    t->Close();
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(fieldLink.Field(), nullptr);
    EXPECT_GT(shown, 0);
}

TEST_F(DataSetTest, TheWindowHoldsWhatTheLinksShowNotTheTable)
{
    QStringList many;
    for (int i = 0; i < 50; ++i)
        many << QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0'));
    auto t = MakePeople(many);
    TDataSource source(nullptr);
    source.SetDataSet(t.get());
    CountingLink grid;
    grid.SetBufferCount(10);
    grid.SetDataSource(&source);
    t->First();
    EXPECT_EQ(t->BufferedRecords(), 10);
    EXPECT_EQ(grid.RecordCount(), 10);
    EXPECT_EQ(grid.ActiveRecord(), 0);
    t->MoveBy(12);
    EXPECT_EQ(Name(t.get()), QStringLiteral("P12"));
    EXPECT_EQ(grid.ActiveRecord(), 9);
    // Reading another row of the window, then coming back.
    grid.SetActiveRecord(0);
    EXPECT_EQ(Name(t.get()), QStringLiteral("P03"));
    grid.SetActiveRecord(9);
    t->Last();
    EXPECT_EQ(t->BufferedRecords(), 10);
    EXPECT_EQ(grid.ActiveRecord(), 9);
    t->Prior();
    EXPECT_EQ(Name(t.get()), QStringLiteral("P48"));
}

TEST_F(DataSetTest, IndexFieldNamesOrdersWithNullsFirstInBothDirections)
{
    auto t = MakePeople({"d", "b", "c", "a"});
    t->Insert();
    t->FieldByName(QStringLiteral("Age"))->SetAsInteger(1);
    t->Post(); // Name is null
    t->SetIndexFieldNames(QStringLiteral("Name"));
    QStringList forward, backward;
    for (t->First(); !t->Eof(); t->Next())
        forward << (t->FieldByName(QStringLiteral("Name"))->IsNull() ? QStringLiteral("<null>")
                                                                     : Name(t.get()));
    for (t->Last(); !t->Bof(); t->Prior())
        backward.prepend(t->FieldByName(QStringLiteral("Name"))->IsNull() ? QStringLiteral("<null>")
                                                                          : Name(t.get()));
    EXPECT_EQ(forward, (QStringList{"<null>", "a", "b", "c", "d"}));
    EXPECT_EQ(backward, forward);
    // Renaming moves the record to its new place and keeps it current.
    t->First();
    t->Next(); // a
    t->Edit();
    t->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("e"));
    t->Post();
    EXPECT_EQ(Name(t.get()), QStringLiteral("e"));
    t->Prior();
    EXPECT_EQ(Name(t.get()), QStringLiteral("d"));
}

TEST_F(DataSetTest, AnotherUsersChangeMakesThePostFailAndKeepsTheEdit)
{
    auto mine = MakePeople(Five);
    auto theirs = OpenTable();
    mine->Edit();
    mine->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Mine"));
    theirs->Edit();
    theirs->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Theirs"));
    theirs->Post();
    try {
        mine->Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("another user changed the record")))
            << e.what();
    }
    EXPECT_EQ(mine->State(), dsEdit);
    EXPECT_EQ(Name(mine.get()), QStringLiteral("Mine"));
    auto check = OpenTable();
    EXPECT_EQ(Name(check.get()), QStringLiteral("Theirs"));

    // Deleting a record someone changed fails too; one that is gone as well.
    mine->Cancel();
    theirs->First();
    theirs->Edit();
    theirs->FieldByName(QStringLiteral("Age"))->SetAsInteger(5);
    theirs->Post();
    EXPECT_THROW(mine->Delete(), EDatabaseError);
    EXPECT_EQ(mine->RecordCount(), 5);
    mine->Refresh();
    theirs->Delete();
    EXPECT_THROW(mine->Delete(), EDatabaseError);
    EXPECT_THROW(mine->Edit(), EDatabaseError);
}

TEST_F(DataSetTest, ALockedTableFailsWithinItsTimeout)
{
    auto t = MakePeople(Five);
    sqlite3* raw = nullptr;
    ASSERT_EQ(
        sqlite3_open(QFile::encodeName(dir.File(QStringLiteral("People.DB"))).constData(), &raw),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    t->Edit();
    t->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("x"));
    try {
        t->Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("locked"))) << e.what();
    }
    EXPECT_EQ(t->State(), dsEdit);
    sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    t->Post();
    EXPECT_EQ(Name(t.get()), QStringLiteral("x"));
}

TEST_F(DataSetTest, EventsRunInOrder)
{
    auto t = MakePeople({"a", "b"});
    QStringList log;
    auto rec = [&](const char* what) { return [&log, what](TDataSet*) { log << what; }; };
    t->BeforeScroll = rec("BeforeScroll");
    t->AfterScroll = rec("AfterScroll");
    t->BeforeEdit = rec("BeforeEdit");
    t->AfterEdit = rec("AfterEdit");
    t->BeforePost = rec("BeforePost");
    t->AfterPost = rec("AfterPost");
    t->BeforeDelete = rec("BeforeDelete");
    t->AfterDelete = rec("AfterDelete");
    t->BeforeClose = rec("BeforeClose");
    t->AfterClose = rec("AfterClose");
    t->BeforeOpen = rec("BeforeOpen");
    t->AfterOpen = rec("AfterOpen");
    t->Next();
    t->Edit();
    t->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("B"));
    t->Post();
    t->Delete();
    t->Close();
    t->Open();
    EXPECT_EQ(
        log, (QStringList{"BeforeScroll", "AfterScroll", "BeforeEdit", "AfterEdit", "BeforePost",
                          "AfterPost", "BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll",
                          "BeforeClose", "AfterClose", "BeforeOpen", "AfterOpen", "AfterScroll"}));
    // At the end, a move is refused before it starts.
    log.clear();
    t->Last();
    log.clear();
    t->Next();
    EXPECT_EQ(log, QStringList{"BeforeScroll"});
}

TEST_F(DataSetTest, CalculatedFieldsAreComputedForEveryBuffer)
{
    auto t = MakePeople({"a", "b", "c"});
    t->Close();
    for (const char* name : {"Id", "Name", "Age"}) {
        TField* f = static_cast<TField*>(
            DefaultFieldClass(name == QLatin1String("Name") ? ftString : ftInteger)
                .Create(t.get()));
        f->SetFieldName(QString::fromLatin1(name));
        f->SetDataSet(t.get());
    }
    auto* calc = new TStringField(t.get());
    calc->SetFieldName(QStringLiteral("Label"));
    calc->SetFieldKind(fkCalculated);
    calc->SetDataSet(t.get());
    t->OnCalcFields = [](TDataSet* d) {
        d->FieldByName(QStringLiteral("Label"))
            ->SetAsString(d->FieldByName(QStringLiteral("Name"))->AsString() + QStringLiteral("!"));
    };
    t->Open();
    EXPECT_EQ(t->FieldCount(), 4); // persistent fields only: Rich is not among them
    EXPECT_EQ(calc->AsString(), QStringLiteral("a!"));
    EXPECT_FALSE(calc->CanModify());
    t->Next();
    EXPECT_EQ(calc->AsString(), QStringLiteral("b!"));
    t->Edit();
    t->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("z"));
    EXPECT_EQ(calc->AsString(), QStringLiteral("z!"));
    t->Cancel();
}
