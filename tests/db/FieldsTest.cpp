#include "tests/db/DbFixture.h"

#include "platform/core/Stream.h"

#include <QDateTime>

using namespace vyn;
using namespace vyn::test;

namespace {

// A table with a column of every type, one empty record in insert state.
class FieldsTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        t = std::make_unique<TTable>(nullptr);
        t->SetDatabaseName(dir.Path());
        t->SetTableName(QStringLiteral("All"));
        auto& d = t->FieldDefs();
        d.Add(QStringLiteral("Id"), ftAutoInc);
        d.Add(QStringLiteral("S"), ftString, 5);
        d.Add(QStringLiteral("Small"), ftSmallint);
        d.Add(QStringLiteral("Int"), ftInteger);
        d.Add(QStringLiteral("F"), ftFloat);
        d.Add(QStringLiteral("B"), ftBoolean);
        d.Add(QStringLiteral("D"), ftDate);
        d.Add(QStringLiteral("DT"), ftDateTime);
        d.Add(QStringLiteral("M"), ftMemo);
        d.Add(QStringLiteral("Bl"), ftBlob);
        t->CreateTable();
        t->Open();
        t->Append();
    }
    TField* F(const char* name) { return t->FieldByName(QString::fromLatin1(name)); }
    std::unique_ptr<TTable> t;
};

} // namespace

TEST_F(FieldsTest, EveryTypeSurvivesARoundTripThroughTheFile)
{
    const QDateTime when(QDate(2024, 2, 29), QTime(13, 45, 6, 789));
    const QByteArray bytes("\x00\x01\xFF{\\rtf1 x}", 12);
    F("S")->SetAsString(QStringLiteral("héllo"));
    F("Small")->SetAsInteger(-32768);
    F("Int")->SetAsInteger(2147483647);
    F("F")->SetAsFloat(3.25);
    F("B")->SetAsBoolean(true);
    F("D")->SetAsDateTime(when);
    F("DT")->SetAsDateTime(when);
    F("M")->SetAsString(QStringLiteral("{\\rtf1 Grüße}"));
    TMemoryStream blob(bytes);
    static_cast<TBlobField*>(F("Bl"))->LoadFromStream(&blob);
    t->Post();
    t->Close();
    t->Open();
    EXPECT_EQ(F("Id")->AsInteger(), 1);
    EXPECT_EQ(F("S")->AsString(), QStringLiteral("héllo"));
    EXPECT_EQ(F("Small")->AsInteger(), -32768);
    EXPECT_EQ(F("Int")->AsInteger(), 2147483647);
    EXPECT_DOUBLE_EQ(F("F")->AsFloat(), 3.25);
    EXPECT_TRUE(F("B")->AsBoolean());
    EXPECT_EQ(F("D")->AsDateTime(), QDateTime(when.date(), QTime(0, 0)));
    EXPECT_EQ(F("DT")->AsDateTime(), when);
    EXPECT_EQ(F("M")->AsString(), QStringLiteral("{\\rtf1 Grüße}"));
    EXPECT_EQ(F("Bl")->AsBytes(), bytes);
    EXPECT_TRUE(F("Bl")->IsBlob());
    EXPECT_TRUE(F("M")->IsBlob());
    EXPECT_FALSE(F("S")->IsBlob());

    // Classes made from the table.
    EXPECT_NE(dynamic_cast<TAutoIncField*>(F("Id")), nullptr);
    EXPECT_NE(dynamic_cast<TSmallintField*>(F("Small")), nullptr);
    EXPECT_NE(dynamic_cast<TMemoField*>(F("M")), nullptr);
    EXPECT_EQ(F("S")->Size(), 5);
    EXPECT_FALSE(F("Id")->CanModify());
    EXPECT_EQ(F("Int")->Alignment(), taRightJustify);
    EXPECT_EQ(F("S")->Alignment(), taLeftJustify);
}

TEST_F(FieldsTest, NullAndEmptyStaysApart)
{
    F("S")->SetAsString(QString());
    F("M")->SetAsVariant(Variant(QByteArray()));
    t->Post();
    t->Close();
    t->Open();
    EXPECT_FALSE(F("S")->IsNull()); // an empty string is a value
    EXPECT_EQ(F("S")->AsString(), QString());
    EXPECT_FALSE(F("M")->IsNull());
    EXPECT_TRUE(F("D")->IsNull());
    EXPECT_TRUE(F("Int")->IsNull());
    EXPECT_EQ(F("Int")->AsString(), QString());
    EXPECT_EQ(F("Int")->AsInteger(), 0);
}

TEST_F(FieldsTest, IntegerFieldsConvertAndCheckTheirRange)
{
    struct Case
    {
        const char* field;
        Variant value;
        const char* expected; // AsString afterwards, or the error
        bool error;
    } cases[] = {
        {"Small", Variant(2.5), "3", false},
        {"Small", Variant(-2.5), "-3", false},
        {"Small", Variant(QStringLiteral("12")), "12", false},
        {"Small", Variant(Null), "", false},
        {"Small", Variant(true), "1", false},
        {"Small", Variant(32768),
         "32768 is not a valid value for field 'Small'. The allowed range is -32768 to 32767",
         true},
        {"Small", Variant(QStringLiteral("abc")), "Invalid value for field 'Small'", true},
        {"Int", Variant(std::int64_t(1) << 40),
         "1099511627776 is not a valid value for field 'Int'. The allowed range is -2147483648 to "
         "2147483647",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        F(c.field)->SetAsInteger(7);
        try {
            F(c.field)->SetAsVariant(c.value);
            EXPECT_FALSE(c.error);
            EXPECT_EQ(F(c.field)->AsString(), QString::fromUtf8(c.expected));
        } catch (const EDatabaseError& e) {
            EXPECT_TRUE(c.error);
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.expected));
            EXPECT_EQ(F(c.field)->AsInteger(), 7); // unchanged
        }
    }
    auto* small = static_cast<TIntegerField*>(F("Small"));
    small->SetMinValue(0);
    small->SetMaxValue(2);
    try {
        small->SetAsInteger(3);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral(
                      "3 is not a valid value for field 'Small'. The allowed range is 0 to 2"));
    }
    small->SetAsFloat(1.6);
    EXPECT_EQ(small->AsInteger(), 2);
    small->SetDisplayLabel(QStringLiteral("Level"));
    EXPECT_THROW(small->SetAsString(QStringLiteral("x")), EDatabaseError);
    try {
        small->SetAsString(QStringLiteral("x"));
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid value for field 'Level'"));
    }
    for (QChar ch : QStringLiteral("+-0123456789"))
        EXPECT_TRUE(small->IsValidChar(ch));
    for (QChar ch : QStringLiteral("a.e ,"))
        EXPECT_FALSE(small->IsValidChar(ch));
}

TEST_F(FieldsTest, TextFormatsEventsAndWritesOutsideEditing)
{
    auto* f = static_cast<TIntegerField*>(F("Int"));
    f->SetAsInteger(1234567);
    EXPECT_EQ(f->DisplayFormat(), QString());
    f->SetDisplayFormat(QStringLiteral("#,##0"));
    EXPECT_EQ(f->DisplayText(), QStringLiteral("1,234,567"));
    EXPECT_EQ(f->Text(), QStringLiteral("1,234,567")); // no edit format: the display format
    f->SetEditFormat(QStringLiteral("0"));
    EXPECT_EQ(f->Text(), QStringLiteral("1234567"));
    auto* fl = static_cast<TFloatField*>(F("F"));
    fl->SetAsFloat(2.5);
    fl->SetDisplayFormat(QStringLiteral("0.00 kg"));
    EXPECT_EQ(fl->DisplayText(), QStringLiteral("2.50 kg"));

    F("S")->OnGetText = [](TField*, QString& text, bool display) {
        text = display ? "shown" : "edited";
    };
    EXPECT_EQ(F("S")->DisplayText(), QStringLiteral("shown"));
    EXPECT_EQ(F("S")->Text(), QStringLiteral("edited"));
    F("S")->OnSetText = [](TField* s, const QString& text) { s->SetAsString(text.toUpper()); };
    F("S")->SetText(QStringLiteral("abc"));
    EXPECT_EQ(F("S")->AsString(), QStringLiteral("ABC"));
    F("S")->SetAsString(QStringLiteral("toolongtext"));
    EXPECT_EQ(F("S")->AsVariant().ToString(), QStringLiteral("toolo"));

    int changes = 0;
    F("Small")->OnChange = [&](TField*) { ++changes; };
    F("Small")->OnValidate = [](TField* s) {
        if (s->AsInteger() < 0)
            throw EDatabaseError(QStringLiteral("negative"));
    };
    F("Small")->SetAsInteger(4);
    EXPECT_THROW(F("Small")->SetAsInteger(-1), EDatabaseError);
    EXPECT_EQ(F("Small")->AsInteger(), 4);
    EXPECT_EQ(changes, 1);
    F("Small")->DataChanged();
    EXPECT_EQ(changes, 2);

    F("B")->SetAsString(QStringLiteral("false"));
    EXPECT_EQ(F("B")->AsString(), QStringLiteral("False"));

    t->Cancel();
    t->SetName(QStringLiteral("Table1"));
    try {
        F("Int")->SetAsInteger(1);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Table1: Dataset not in edit or insert mode"));
    }
}

TEST_F(FieldsTest, NativeDataHoldsTheValueAndNoBufferMeansNull)
{
    struct Case
    {
        const char* field;
        Variant value;
        int size;
    } cases[] = {
        {"Small", Variant(-5), 2},
        {"Int", Variant(123456), 4},
        {"F", Variant(1.5), 8},
        {"B", Variant(true), 2},
        {"S", Variant(QStringLiteral("")), 21},
        {"S", Variant(QStringLiteral("ab")), 21},
        {"DT", Variant(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5))), 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        TField* f = F(c.field);
        f->SetAsVariant(c.value);
        ASSERT_EQ(f->DataSize(), c.size);
        QByteArray buffer(f->DataSize(), '\x55');
        ASSERT_TRUE(f->GetData(buffer.data()));
        const Variant before = f->AsVariant();
        f->SetData(nullptr);
        EXPECT_TRUE(f->IsNull());
        EXPECT_FALSE(f->GetData(buffer.data()));
        f->SetData(buffer.constData());
        EXPECT_EQ(f->AsVariant(), before);
    }
}

TEST_F(FieldsTest, RequiredFieldsAndUnknownNames)
{
    t->Cancel();
    t->Close();
    t->FieldDefs().Clear();
    t->SetTableName(QStringLiteral("Req"));
    t->FieldDefs().Add(QStringLiteral("Name"), ftString, 10, true);
    t->CreateTable();
    t->Open();
    t->Insert();
    t->FieldByName(QStringLiteral("Name"))->SetDisplayLabel(QStringLiteral("Full name"));
    try {
        t->Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Field 'Full name' must have a value"));
    }
    EXPECT_EQ(t->State(), dsInsert);
    t->SetName(QStringLiteral("Table1"));
    try {
        t->FieldByName(QStringLiteral("Nope"));
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Table1: Field 'Nope' not found"));
    }
    EXPECT_EQ(t->FindField(QStringLiteral("nope")), nullptr);
}
