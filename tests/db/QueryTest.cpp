#include "tests/db/DbFixture.h"

using namespace vyn;
using namespace vyn::test;

namespace {

class QueryTest : public DbTest
{
protected:
    std::unique_ptr<TQuery> Query(const QString& sql)
    {
        auto q = std::make_unique<TQuery>(nullptr);
        q->SetName(QStringLiteral("Query1"));
        q->SetDatabaseName(dir.Path());
        q->SQL()->SetText(sql);
        return q;
    }

    // Orders: Id auto-increment, PersonId integer, Item string(20).
    std::unique_ptr<TTable> MakeOrders(const std::vector<std::pair<int, QString>>& rows)
    {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetDatabaseName(dir.Path());
        t->SetTableName(QStringLiteral("Orders"));
        t->FieldDefs().Add(QStringLiteral("Id"), ftAutoInc);
        t->FieldDefs().Add(QStringLiteral("PersonId"), ftInteger);
        t->FieldDefs().Add(QStringLiteral("Item"), ftString, 20);
        t->CreateTable();
        t->Open();
        for (const auto& [person, item] : rows) {
            t->Append();
            t->FieldByName(QStringLiteral("PersonId"))->SetAsInteger(person);
            t->FieldByName(QStringLiteral("Item"))->SetAsString(item);
            t->Post();
        }
        return t;
    }

    static QStringList Column(TDataSet* d, const QString& field)
    {
        QStringList out;
        for (d->First(); !d->Eof(); d->Next())
            out << d->FieldByName(field)->AsString();
        return out;
    }
};

} // namespace

TEST_F(QueryTest, ParametersAreBoundAndTablesNamedByFile)
{
    MakePeople({"Ann", "Bob", "Cid", "Dee"})->Close();
    for (const char* from : {"People", "People.DB", "\"People.DB\"", "people"}) {
        SCOPED_TRACE(from);
        auto q = Query(
            QStringLiteral("SELECT Name, Age FROM %1\nWHERE Age >= :MinAge ORDER BY Name DESC")
                .arg(QLatin1String(from)));
        ASSERT_EQ(q->ParamCount(), 1);
        q->ParamByName(QStringLiteral("minage")).SetAsInteger(21);
        q->Open();
        EXPECT_EQ(Column(q.get(), QStringLiteral("Name")), (QStringList{"Dee", "Cid", "Bob"}));
        EXPECT_EQ(q->RecordCount(), 3);
        EXPECT_FALSE(q->CanModify());
        EXPECT_THROW(q->Edit(), EDatabaseError);
    }
    // A value that looks like SQL stays a value.
    auto q = Query(QStringLiteral("SELECT * FROM People WHERE Name = :N"));
    q->ParamByName(QStringLiteral("N")).SetAsString(QStringLiteral("x' OR '1'='1"));
    q->Open();
    EXPECT_TRUE(q->IsEmpty());
}

TEST_F(QueryTest, BadStatementsAndMissingParametersRaiseClearly)
{
    MakePeople({"Ann"})->Close();
    auto bad = Query(QStringLiteral("SELECT Nope FROM People\nWHERE 1"));
    try {
        bad->Open();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("no such column: Nope"))) << e.what();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("SELECT Nope FROM People"))) << e.what();
        EXPECT_FALSE(e.Message().contains(QStringLiteral("WHERE"))) << e.what();
    }
    EXPECT_FALSE(bad->Active());
    auto missing = Query(QStringLiteral("SELECT * FROM People WHERE Age = :Age"));
    try {
        missing->Open();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Query1: No value for parameter 'Age'"));
    }
    auto update = Query(QStringLiteral("UPDATE People SET Age = :Age"));
    update->ParamByName(QStringLiteral("Age")).SetAsInteger(50);
    EXPECT_EQ(update->ExecSQL(), 1);
    auto check = OpenTable();
    EXPECT_EQ(check->FieldByName(QStringLiteral("Age"))->AsInteger(), 50);
}

TEST_F(QueryTest, AParameterSourceFeedsTheQueryAndReopensItWhenItMoves)
{
    auto people = MakePeople({"Ann", "Bob"});
    MakeOrders({{1, "pen"}, {1, "ink"}, {2, "cup"}})->Close();
    TDataSource source(nullptr);
    source.SetDataSet(people.get());
    auto q = Query(QStringLiteral("SELECT Item FROM Orders WHERE PersonId = :Id ORDER BY Item"));
    q->SetDataSource(&source);
    EXPECT_EQ(GetObjectProp(q.get(), QStringLiteral("DataSource")), &source);
    q->Open();
    EXPECT_EQ(Column(q.get(), QStringLiteral("Item")), (QStringList{"ink", "pen"}));
    people->Next();
    EXPECT_TRUE(q->Active());
    EXPECT_EQ(Column(q.get(), QStringLiteral("Item")), (QStringList{"cup"}));
    // A value given explicitly wins over the source.
    q->Close();
    q->ParamByName(QStringLiteral("Id")).SetAsInteger(1);
    q->Open();
    EXPECT_EQ(q->RecordCount(), 2);
}

TEST_F(QueryTest, ALiveQueryPostsBackToItsTable)
{
    MakePeople({"Ann", "Bob", "Cid"})->Close();
    auto q = Query(QStringLiteral(
        "SELECT Id, Name, Age * 2 AS Double FROM People p WHERE Age > 20 ORDER BY Name DESC"));
    q->SetRequestLive(true);
    q->Open();
    ASSERT_TRUE(q->CanModify());
    EXPECT_EQ(q->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Cid"));
    EXPECT_FALSE(q->FieldByName(QStringLiteral("Id"))->CanModify());
    q->Edit();
    q->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Cyd"));
    q->Post();
    EXPECT_EQ(q->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Cyd"));
    auto people = OpenTable();
    people->Last();
    EXPECT_EQ(Name(people.get()), QStringLiteral("Cyd"));

    // Another user's change makes the live post fail and keeps the edit.
    q->Edit();
    q->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Mine"));
    people->Edit();
    people->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Theirs"));
    people->Post();
    EXPECT_THROW(q->Post(), EDatabaseError);
    EXPECT_EQ(q->State(), dsEdit);
    q->Cancel();

    q->Next();
    q->Delete();
    EXPECT_EQ(people->RecordCount(), 2);

    // A join is never live.
    MakeOrders({{1, "pen"}})->Close();
    auto join = Query(
        QStringLiteral("SELECT p.Name, o.Item FROM People p JOIN Orders o ON o.PersonId = p.Id"));
    join->SetRequestLive(true);
    join->Open();
    EXPECT_FALSE(join->CanModify());
}

TEST_F(QueryTest, ReopeningAndReturningToABookmarkFindsTheSameRecord)
{
    MakePeople({"Ann", "Bob", "Cid", "Dee"})->Close();
    for (const char* sql : {"SELECT * FROM People ORDER BY Name",
                            "SELECT Name, count(*) AS N FROM People GROUP BY Name"}) {
        SCOPED_TRACE(sql);
        auto q = Query(QString::fromLatin1(sql));
        q->Open();
        q->Next();
        q->Next();
        TBookmark cid = q->GetBookmark();
        q->Close();
        // Someone adds a record that sorts before it.
        auto people = OpenTable();
        people->Append();
        people->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Abe"));
        people->Post();
        q->Open();
        q->GotoBookmark(cid);
        EXPECT_EQ(q->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Cid"));
        people->Last();
        people->Delete();
    }
}

TEST_F(QueryTest, MasterDetailFollowsTheMaster)
{
    auto people = MakePeople({"Ann", "Bob", "Cid"});
    MakeOrders({{1, "pen"}, {2, "cup"}, {1, "ink"}})->Close();
    TDataSource master(nullptr);
    master.SetDataSet(people.get());
    TTable orders(nullptr);
    orders.SetDatabaseName(dir.Path());
    orders.SetTableName(QStringLiteral("Orders"));
    orders.SetIndexFieldNames(QStringLiteral("PersonId"));
    orders.SetMasterFields(QStringLiteral("Id"));
    orders.SetMasterSource(&master);
    EXPECT_EQ(GetObjectProp(&orders, QStringLiteral("MasterSource")), &master);
    orders.Open();
    EXPECT_EQ(Column(&orders, QStringLiteral("Item")), (QStringList{"pen", "ink"}));
    people->Next();
    EXPECT_EQ(Column(&orders, QStringLiteral("Item")), (QStringList{"cup"}));
    people->Next();
    EXPECT_TRUE(orders.IsEmpty());
    orders.Insert();
    EXPECT_EQ(orders.FieldByName(QStringLiteral("PersonId"))->AsInteger(), 3);
    orders.FieldByName(QStringLiteral("Item"))->SetAsString(QStringLiteral("mug"));
    orders.Post();
    people->First();
    people->Last();
    EXPECT_EQ(Column(&orders, QStringLiteral("Item")), (QStringList{"mug"}));
}

TEST_F(QueryTest, LookupFieldsShowAndFollowTheirDataSet)
{
    auto people = MakePeople({"Ann", "Bob"});
    MakeOrders({{2, "cup"}, {1, "pen"}, {7, "lost"}})->Close();
    TComponent form(nullptr);
    auto* orders = new TTable(&form);
    orders->SetDatabaseName(dir.Path());
    orders->SetTableName(QStringLiteral("Orders"));
    for (const char* name : {"Id", "PersonId", "Item"}) {
        TField* f = static_cast<TField*>(
            DefaultFieldClass(QLatin1String(name) == QLatin1String("Item") ? ftString : ftInteger)
                .Create(&form));
        f->SetFieldName(QString::fromLatin1(name));
        f->SetDataSet(orders);
    }
    auto* who = new TStringField(&form);
    who->SetFieldName(QStringLiteral("Who"));
    who->SetFieldKind(fkLookup);
    who->SetLookupDataSet(people.get());
    who->SetKeyFields(QStringLiteral("PersonId"));
    who->SetLookupKeyFields(QStringLiteral("Id"));
    who->SetLookupResultField(QStringLiteral("Name"));
    who->SetDataSet(orders);
    orders->Open();
    EXPECT_EQ(Column(orders, QStringLiteral("Who")), (QStringList{"Bob", "Ann", ""}));
    EXPECT_FALSE(who->CanModify());
    orders->First();
    // The lookup dataset changes: the shown text follows.
    people->First();
    people->Next();
    people->Edit();
    people->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Robert"));
    people->Post();
    EXPECT_EQ(who->AsString(), QStringLiteral("Robert"));
    delete people.release(); // the lookup dataset goes; the field lets go of it
    EXPECT_EQ(who->LookupDataSet(), nullptr);
}

TEST_F(QueryTest, ResyncWithoutExactSettlesOnANeighbour)
{
    auto t = MakePeople({"Ann", "Bob", "Cid"});
    struct Case
    {
        QStringList deleteNames; // deleted by another connection
        const char* expected;    // "" for empty buffers
    } cases[] = {{{"Bob"}, "Cid"}, {{"Bob", "Cid"}, "Ann"}, {{"Ann", "Bob", "Cid"}, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        t = MakePeople({"Ann", "Bob", "Cid"});
        t->Next(); // Bob
        TBookmark bob = t->GetBookmark();
        auto other = OpenTable();
        for (other->First(); !other->Eof();)
            if (c.deleteNames.contains(Name(other.get())))
                other->Delete();
            else
                other->Next();
        TDataSource source(nullptr);
        source.SetDataSet(t.get());
        CountingLink link;
        link.SetDataSource(&source);
        int scrolls = 0;
        t->AfterScroll = [&](TDataSet*) { ++scrolls; };
        TDataSetAccess::DoBeforeScroll(t.get());
        TDataSetAccess::InternalGotoBookmark(t.get(), bob);
        TDataSetAccess::Resync(t.get(), {rmCenter});
        TDataSetAccess::DoAfterScroll(t.get());
        EXPECT_EQ(scrolls, 1);
        EXPECT_GE(link.changed, 1);
        if (*c.expected) {
            EXPECT_EQ(Name(t.get()), QString::fromLatin1(c.expected));
        } else {
            EXPECT_TRUE(t->IsEmpty());
            EXPECT_TRUE(t->Bof() && t->Eof());
        }
        EXPECT_THROW(t->GotoBookmark(bob), EDatabaseError); // exact: "Record not found"
    }
}
