#include "tests/db/DbFixture.h"

#include "platform/core/TypInfo.h"

#include <QDir>
#include <QFile>

using namespace vyn;
using namespace vyn::test;

using SessionTest = DbTest;

TEST_F(SessionTest, ConfigModeDecidesWhereAnAliasGoes)
{
    EXPECT_EQ(GetOrdProp(Session, QStringLiteral("ConfigMode")), 7);
    Session->SetConfigMode({cfmSession});
    EXPECT_EQ(GetOrdProp(Session, QStringLiteral("ConfigMode")), 4);
    Session->AddStandardAlias(QStringLiteral("Mine"), dir.Path(), QStringLiteral("PARADOX"));
    Session->SetConfigMode({cfmVirtual, cfmPersistent, cfmSession});
    EXPECT_TRUE(Session->IsAlias(QStringLiteral("mine")));
    EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("aliases.ini"))));

    Session->AddStandardAlias(QStringLiteral("Shared"), dir.Path(), QStringLiteral("PARADOX"));
    EXPECT_TRUE(QFile::exists(dir.File(QStringLiteral("aliases.ini"))));
    TStringList names;
    Session->GetAliasNames(&names);
    EXPECT_EQ(names.ToStringList(), (QStringList{"MINE", "SHARED"}));
    TStringList params;
    Session->GetAliasParams(QStringLiteral("Shared"), &params);
    EXPECT_EQ(params.Strings(0), QStringLiteral("PATH=") + dir.Path());
    EXPECT_THROW(Session->AddStandardAlias(QStringLiteral("shared"), dir.Path(), QString()),
                 EDatabaseError);

    // A new session (the next run) sees the persistent alias only.
    TSessionRef::Free();
    EXPECT_TRUE(Session->IsAlias(QStringLiteral("Shared")));
    EXPECT_FALSE(Session->IsAlias(QStringLiteral("Mine")));
    Session->SetConfigMode({cfmSession});
    EXPECT_FALSE(Session->IsAlias(QStringLiteral("Shared")));
    Session->SetConfigMode({cfmVirtual, cfmPersistent, cfmSession});
    Session->DeleteAlias(QStringLiteral("Shared"));
    TSessionRef::Free();
    EXPECT_FALSE(Session->IsAlias(QStringLiteral("Shared")));
}

TEST_F(SessionTest, DatasetsOpenThroughTheirAliasDatabase)
{
    MakePeople({"a"})->Close();
    Session->SetConfigMode({cfmSession});
    Session->AddStandardAlias(QStringLiteral("VynExample"), dir.Path() + QLatin1Char('/'),
                              QStringLiteral("PARADOX"));
    Session->SetConfigMode({cfmVirtual, cfmPersistent, cfmSession});
    TTable t(nullptr);
    t.SetDatabaseName(QStringLiteral("VynExample"));
    t.SetTableName(QStringLiteral("People.DB"));
    t.Open();
    TDatabase* db = Session->FindDatabase(QStringLiteral("vynexample"));
    ASSERT_NE(db, nullptr);
    EXPECT_TRUE(db->Connected());
    ASSERT_EQ(db->DataSetCount(), 1);
    EXPECT_EQ(db->DataSets(0), &t);
    t.Close();
    EXPECT_EQ(db->DataSetCount(), 0);

    // A database component of its own, named by the dataset.
    TDatabase named(nullptr);
    named.SetDatabaseName(QStringLiteral("Work"));
    named.SetAliasName(QStringLiteral("VynExample"));
    TTable u(nullptr);
    u.SetDatabaseName(QStringLiteral("Work"));
    u.SetTableName(QStringLiteral("People"));
    u.Open();
    EXPECT_TRUE(named.Connected());
    EXPECT_EQ(named.DataSetCount(), 1);
    named.Close();
    EXPECT_FALSE(u.Active());
}

TEST_F(SessionTest, BadInputRaisesNamingWhatIsWrong)
{
    QFile junk(dir.File(QStringLiteral("Junk.DB")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    struct Case
    {
        const char* database;
        const char* table;
        const char* message;
    } cases[] = {
        {"NoSuchAlias", "People", "Alias 'NoSuchAlias' not found"},
        {"", "Missing", "Table 'Missing' does not exist"},
        {"", "Junk", "'Junk' is not a table file"},
        {"", "", "Missing table name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TTable t(nullptr);
        t.SetName(QStringLiteral("Table1"));
        t.SetDatabaseName(*c.database ? QString::fromUtf8(c.database) : dir.Path());
        t.SetTableName(QString::fromUtf8(c.table));
        try {
            t.Open();
            ADD_FAILURE() << "opened";
        } catch (const EDatabaseError& e) {
            EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.message))) << e.what();
        }
        EXPECT_FALSE(t.Active());
    }
    // Creating in a folder that does not exist leaves nothing behind.
    TTable t(nullptr);
    t.SetDatabaseName(dir.File(QStringLiteral("nowhere")));
    t.SetTableName(QStringLiteral("X"));
    t.FieldDefs().Add(QStringLiteral("A"), ftInteger);
    EXPECT_THROW(t.CreateTable(), EDatabaseError);
    EXPECT_THROW(t.FieldDefs().Add(QStringLiteral("a"), ftInteger), EDatabaseError);
    EXPECT_THROW(t.FieldDefs().Add(QStringLiteral("S"), ftString), EDatabaseError);
}

TEST_F(SessionTest, EmptyAndDeleteTable)
{
    auto t = MakePeople({"a", "b"});
    t->EmptyTable();
    EXPECT_TRUE(t->IsEmpty());
    EXPECT_TRUE(t->Exists());
    t->Close();
    t->DeleteTable();
    EXPECT_FALSE(t->Exists());
    EXPECT_THROW(t->Open(), EDatabaseError);
    EXPECT_THROW(t->DeleteTable(), EDatabaseError);
}

TEST_F(SessionTest, AReadOnlyTableCannotBeModified)
{
    MakePeople({"a"})->Close();
    TTable t(nullptr);
    t.SetDatabaseName(dir.Path());
    t.SetTableName(QStringLiteral("People"));
    t.SetReadOnly(true);
    t.Open();
    EXPECT_FALSE(t.CanModify());
    EXPECT_FALSE(t.FieldByName(QStringLiteral("Name"))->CanModify());
    EXPECT_THROW(t.Edit(), EDatabaseError);
    EXPECT_THROW(t.Insert(), EDatabaseError);
    EXPECT_EQ(t.State(), dsBrowse);
}

TEST_F(SessionTest, PersistentFieldsFromALayoutJoinTheirDataSet)
{
    MakePeople({"a", "b"})->Close();
    TComponent form(nullptr);
    auto* table = new TTable(&form);
    table->SetName(QStringLiteral("Table1"));
    table->SetDatabaseName(dir.Path());
    table->SetTableName(QStringLiteral("People"));
    auto* name = new TStringField(&form);
    name->SetName(QStringLiteral("Table1Name"));
    name->SetFieldName(QStringLiteral("Name"));
    name->SetSize(40);
    table->AdoptChild(name);
    EXPECT_EQ(name->DataSet(), table);
    table->Open();
    EXPECT_EQ(table->FieldCount(), 1);
    EXPECT_EQ(name->AsString(), QStringLiteral("a"));
    table->Close();
    delete name; // a field destroyed leaves its dataset
    EXPECT_EQ(table->FieldCount(), 0);
    table->Open();
    EXPECT_EQ(table->FieldCount(), 4); // dynamic again
}
