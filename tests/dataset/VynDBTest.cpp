#include "dataset/VynDB.h"
#include "tests/db/DbFixture.h"

#include "platform/core/Stream.h"

using namespace vyn;
using namespace vyn::test;

namespace {

// Items: Id auto-increment, Name string(10), Qty integer, Note memo, Pic blob, Born date,
// Code string(4) read-only in the dataset; plus a calculated field.
class CloneTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        t = std::make_unique<TTable>(nullptr);
        t->SetName(QStringLiteral("Items"));
        t->SetDatabaseName(dir.Path());
        t->SetTableName(QStringLiteral("Items"));
        auto& d = t->FieldDefs();
        d.Add(QStringLiteral("Id"), ftAutoInc);
        d.Add(QStringLiteral("Name"), ftString, 10);
        d.Add(QStringLiteral("Qty"), ftInteger);
        d.Add(QStringLiteral("Note"), ftMemo);
        d.Add(QStringLiteral("Pic"), ftBlob);
        d.Add(QStringLiteral("Born"), ftDate);
        d.Add(QStringLiteral("Code"), ftString, 4);
        t->CreateTable();
        t->Open();
        t->Append();
        F("Name")->SetAsString(QStringLiteral("Lamp"));
        F("Qty")->SetAsInteger(3);
        F("Note")->SetAsVariant(Variant(QByteArray("{\\rtf1\\b bold\\b0}\x00\xff", 20)));
        F("Pic")->SetAsVariant(Variant(QByteArray("\x89PNG\r\n\x1a\n\x00\x00", 10)));
        F("Code")->SetAsString(QStringLiteral("AB"));
        t->Post();
        F("Code")->SetReadOnly(true);
    }
    TField* F(const char* name) { return t->FieldByName(QString::fromLatin1(name)); }
    std::unique_ptr<TTable> t;
};

} // namespace

TEST_F(CloneTest, CopiesEveryCopyableFieldExactly)
{
    CloneRecord(t.get());
    EXPECT_EQ(t->State(), dsInsert);
    EXPECT_FALSE(t->Modified());
    EXPECT_EQ(F("Name")->AsString(), QStringLiteral("Lamp"));
    EXPECT_EQ(F("Qty")->AsInteger(), 3);
    EXPECT_EQ(F("Note")->AsBytes(), QByteArray("{\\rtf1\\b bold\\b0}\x00\xff", 20));
    EXPECT_EQ(F("Pic")->AsBytes(), QByteArray("\x89PNG\r\n\x1a\n\x00\x00", 10));
    EXPECT_TRUE(F("Born")->IsNull()); // null stays null
    EXPECT_TRUE(F("Id")->IsNull());   // the key comes from the database
    EXPECT_TRUE(F("Code")->IsNull()); // read-only: keeps the new record's value
    F("Name")->SetAsString(QStringLiteral("Lamp 2"));
    t->Post();
    EXPECT_EQ(F("Id")->AsInteger(), 2);
    EXPECT_EQ(t->RecordCount(), 2);
}

TEST_F(CloneTest, EmptyStringIsCopiedAsAValueAndTheHandlerWins)
{
    t->Edit();
    F("Name")->SetAsString(QString());
    t->Post();
    t->OnNewRecord = [](TDataSet* d) { d->FieldByName(QStringLiteral("Qty"))->SetAsInteger(99); };
    CloneRecord(t.get());
    EXPECT_FALSE(F("Name")->IsNull());
    EXPECT_EQ(F("Name")->AsString(), QString());
    EXPECT_EQ(F("Qty")->AsInteger(), 99); // the handler runs after the copy
    t->Next();                            // an unchanged copy is dropped
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->RecordCount(), 1);
}

TEST_F(CloneTest, CloningWhileEditingPostsFirst)
{
    t->Edit();
    F("Qty")->SetAsInteger(7);
    CloneRecord(t.get());
    EXPECT_EQ(F("Qty")->AsInteger(), 7);
    t->Cancel();
    auto other = OpenTable(QStringLiteral("Items"));
    EXPECT_EQ(other->FieldByName(QStringLiteral("Qty"))->AsInteger(), 7);
}

TEST_F(CloneTest, FailuresLeaveTheHandlerAndTheDataSetAsTheyWere)
{
    int ownCalls = 0;
    t->OnNewRecord = [&](TDataSet*) { ++ownCalls; };
    t->BeforeInsert = [](TDataSet*) { throw EDatabaseError(QStringLiteral("not now")); };
    EXPECT_THROW(CloneRecord(t.get()), EDatabaseError);
    t->BeforeInsert = nullptr;
    t->Insert();
    EXPECT_EQ(ownCalls, 1); // restored after the failed insert
    t->Cancel();

    // A handler that raises cancels the insert; the exception reaches the caller.
    t->OnNewRecord = [](TDataSet*) { throw EDatabaseError(QStringLiteral("refused")); };
    EXPECT_THROW(CloneRecord(t.get()), EDatabaseError);
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->RecordCount(), 1);

    // A field that refuses its value keeps the new record's; the others are written.
    t->OnNewRecord = nullptr;
    F("Qty")->OnValidate = [](TField*) { throw EDatabaseError(QStringLiteral("no copies")); };
    CloneRecord(t.get());
    EXPECT_TRUE(F("Qty")->IsNull());
    EXPECT_EQ(F("Name")->AsString(), QStringLiteral("Lamp"));
    t->Cancel();

    t->Close();
    t->SetReadOnly(true);
    t->Open();
    EXPECT_THROW(CloneRecord(t.get()), EDatabaseError);
    t->Close();
    EXPECT_THROW(CloneRecord(t.get()), EDatabaseError);
}

TEST_F(CloneTest, CalculatedFieldsAreComputedForTheCopy)
{
    t->Close();
    for (const auto& [name, type] :
         {std::pair{"Id", ftAutoInc}, {"Name", ftString}, {"Qty", ftInteger}}) {
        TField* f = static_cast<TField*>(DefaultFieldClass(type).Create(t.get()));
        f->SetFieldName(QString::fromLatin1(name));
        f->SetDataSet(t.get());
    }
    auto* twice = new TIntegerField(t.get());
    twice->SetFieldName(QStringLiteral("Twice"));
    twice->SetFieldKind(fkCalculated);
    twice->SetDataSet(t.get());
    t->OnCalcFields = [](TDataSet* d) {
        d->FieldByName(QStringLiteral("Twice"))
            ->SetAsInteger(d->FieldByName(QStringLiteral("Qty"))->AsInteger() * 2);
    };
    t->Open();
    CloneRecord(t.get());
    EXPECT_EQ(twice->AsInteger(), 6);
    t->Post();
    EXPECT_EQ(t->RecordCount(), 2);
}
