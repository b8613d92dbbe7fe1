#include "tests/db/DbFixture.h"

#include <QFile>
#include <sqlite3.h>

using namespace vyn;
using namespace vyn::test;

namespace {
const QStringList Five{"Ann", "Bob", "Cid", "Dee", "Eve"};
}
using EdgeTest = DbTest;

// Delete while editing: the buffer holds the user's edits, sent as "original" values.
TEST_F(EdgeTest, DeleteWhileEditingDeletesTheRecordAsRead)
{
    auto t = MakePeople(Five);
    t->Edit();
    t->FieldByName("Name")->SetAsString("Typed");
    EXPECT_NO_THROW(t->Delete()) << "delete in edit state should delete the record";
    EXPECT_EQ(t->RecordCount(), 4);
}

// Append then Cancel with a one-record window (no grid): lands on the first record.
TEST_F(EdgeTest, CancelAfterAppendReturnsToTheLastRecord)
{
    auto t = MakePeople(Five);
    t->Next();
    t->Next(); // Cid
    t->Append();
    t->Cancel();
    EXPECT_EQ(Name(t.get()), QStringLiteral("Eve"));
}

// DisableControls; Close; Open; EnableControls: the field link keeps a destroyed dynamic field.
TEST_F(EdgeTest, FieldLinkFindsTheNewFieldAfterAReopenWhileDisabled)
{
    auto t = MakePeople(Five);
    TDataSource source(nullptr);
    source.SetDataSet(t.get());
    TFieldDataLink link;
    link.SetDataSource(&source);
    link.SetFieldName("Name");
    TField* before = link.Field();
    ASSERT_TRUE(before);
    QString seen;
    link.OnDataChange = [&](TObject*) {
        if (link.Field())
            seen = link.Field()->AsString();
    };
    t->DisableControls();
    t->Close();
    t->Open();
    t->EnableControls();
    EXPECT_EQ(link.Field(), t->FieldByName("Name")) << "link still holds the deleted field";
}

// A calculated field removed while the dataset is open: the other's slot is past the buffer.
TEST_F(EdgeTest, RemovingAFieldWhileOpenClosesTheDataSet)
{
    auto t = MakePeople(Five);
    t->Close();
    for (const char* name : {"Id", "Name", "Age"}) {
        TField* f = static_cast<TField*>(
            DefaultFieldClass(QLatin1String(name) == QLatin1String("Name") ? ftString : ftInteger)
                .Create(t.get()));
        f->SetFieldName(QString::fromLatin1(name));
        f->SetDataSet(t.get());
    }
    auto* c1 = new TStringField(nullptr); // owned by nobody: deleted below
    c1->SetFieldName("C1");
    c1->SetFieldKind(fkCalculated);
    c1->SetDataSet(t.get());
    auto* c2 = new TStringField(t.get());
    c2->SetFieldName("C2");
    c2->SetFieldKind(fkCalculated);
    c2->SetDataSet(t.get());
    t->OnCalcFields = [](TDataSet* d) {
        if (TField* f = d->FindField("C2"))
            f->SetAsString(QString(200, QLatin1Char('x')));
    };
    t->Open();
    delete c1; // while open: the buffers no longer fit the fields
    EXPECT_FALSE(t->Active());
    t->Open();
    t->Next();
    EXPECT_EQ(c2->AsString(), QString(20, QLatin1Char('x'))); // its size
    t->Close();
}

// A field named like the table's own row number would hide it.
TEST_F(EdgeTest, ReservedRowNamesCannotNameFields)
{
    for (const char* name : {"RowId", "oid", "_ROWID_"}) {
        TTable t(nullptr);
        t.SetDatabaseName(dir.Path());
        t.SetTableName("R");
        t.FieldDefs().Add(QString::fromLatin1(name), ftInteger);
        EXPECT_THROW(t.CreateTable(), EDatabaseError) << name;
    }
    // A file made elsewhere with such a column is still walked by a free alias.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(dir.File("Other.DB")).constData(), &raw), SQLITE_OK);
    sqlite3_exec(raw,
                 "CREATE TABLE Other (rowid INTEGER, Name TEXT); INSERT INTO Other VALUES "
                 "(7,'a'),(7,'b'),(7,'c');",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    auto t = OpenTable("Other");
    QStringList names;
    for (t->First(); !t->Eof() && names.size() < 5; t->Next())
        names << Name(t.get());
    EXPECT_EQ(names, (QStringList{"a", "b", "c"}));
    t->Next();
    t->Edit();
    t->FieldByName("Name")->SetAsString("z");
    t->Post();
    EXPECT_EQ(Name(t.get()), QStringLiteral("z"));
    t->First();
    EXPECT_EQ(Name(t.get()), QStringLiteral("a"));
}

// Persistent string field with the default Size (20) bound to a VARCHAR(40) column.
TEST_F(EdgeTest, APersistentStringFieldTakesItsColumnsSize)
{
    auto t = MakePeople(Five);
    t->Close();
    auto* name = new TStringField(t.get());
    name->SetFieldName("Name");
    name->SetDataSet(t.get());
    t->Open();
    t->Edit();
    const QString longName = QStringLiteral("Abcdefghijklmnopqrstuvwxyz0123");
    name->SetAsString(longName);
    t->Post();
    EXPECT_EQ(name->AsString(), longName);
}

// The prepared-statement cache is cleared while Delete still holds its DELETE statement.
TEST_F(EdgeTest, ManyStatementsNeverEvictOneInUse)
{
    {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetDatabaseName(dir.Path());
        t->SetTableName("Wide");
        for (int i = 0; i < 62; ++i)
            t->FieldDefs().Add(QStringLiteral("c%1").arg(i), ftInteger);
        t->CreateTable();
        t->Open();
        for (int r = 0; r < 80; ++r) {
            t->Append();
            t->FieldByName("c0")->SetAsInteger(r);
            t->Post();
        }
    }
    for (int n = 57; n <= 61; ++n) {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetDatabaseName(dir.Path());
        t->SetTableName("Wide");
        t->Open();
        for (int i = 0; i < n; ++i)
            t->SetIndexFieldNames(QStringLiteral("c%1").arg(i));
        t->Delete();
    }
}
