#include "listfield/VynList.h"

#include "dataset/VynDBFuncs.h"
#include "platform/core/Layout.h"
#include "platform/ui/StdCtrls.h"
#include "tests/db/DbFixture.h"

using namespace vyn;
using namespace vyn::test;

namespace {

// Paints: Id auto-increment, Colour smallint, shown through a value-list field.
class ListFieldTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        InitializeUnits();
        TTable maker(nullptr);
        maker.SetDatabaseName(dir.Path());
        maker.SetTableName(QStringLiteral("Paints"));
        maker.FieldDefs().Add(QStringLiteral("Id"), ftAutoInc);
        maker.FieldDefs().Add(QStringLiteral("Colour"), ftSmallint);
        maker.CreateTable();
        t = std::make_unique<TTable>(&form);
        t->SetDatabaseName(dir.Path());
        t->SetTableName(QStringLiteral("Paints"));
        auto* id = new TAutoIncField(&form);
        id->SetFieldName(QStringLiteral("Id"));
        id->SetDataSet(t.get());
        field = new TVynListField(&form);
        field->SetFieldName(QStringLiteral("Colour"));
        field->SetDataSet(t.get());
        t->Open();
        t->Append();
    }
    void SetLines(const QStringList& lines)
    {
        TStringList l(lines);
        field->SetValues(&l);
    }
    QString Error(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const EDatabaseError& e) {
            return e.Message();
        }
        return QStringLiteral("(no error)");
    }

    TComponent form{nullptr};
    std::unique_ptr<TTable> t;
    TVynListField* field = nullptr;
};

} // namespace

TEST_F(ListFieldTest, StartsEmptyLeftAlignedAndRangeless)
{
    TVynListField fresh(nullptr);
    EXPECT_EQ(fresh.MinValue(), 0);
    EXPECT_EQ(fresh.MaxValue(), -1);
    EXPECT_EQ(fresh.Values()->Count(), 0);
    EXPECT_EQ(fresh.Alignment(), taLeftJustify);
    EXPECT_EQ(fresh.DisplayFormat(), QString());
    EXPECT_FALSE(GetPropInfo(&fresh, QStringLiteral("MaxValue"))->IsWritable());
    EXPECT_FALSE(GetPropInfo(&fresh, QStringLiteral("DisplayFormat"))->IsWritable());
    EXPECT_EQ(GetPropInfo(&fresh, QStringLiteral("Values"))->Kind, TPropKind::StringList);
}

TEST_F(ListFieldTest, TextsAndCodes)
{
    SetLines({"Red", "Green", "Blue", "", "Green"});
    struct Case
    {
        const char* text; // written as text; "#n" writes code n
        const char* shown;
        const char* error;
    } cases[] = {
        {"#1", "Green", nullptr},
        {"green", "Green", nullptr},
        {"BLUE", "Blue", nullptr},
        {"#4", "Green", nullptr}, // a later copy still shows its text
        {"#3", "", nullptr},      // a gap clears
        {"", "", nullptr},
        {"Gr", nullptr, "Invalid value for field 'Colour'"},
        {" Red", nullptr, "Invalid value for field 'Colour'"},
        {"#5", nullptr, "5 is not a valid value for field 'Colour'. The allowed range is 0 to 4"},
        {"#-1", nullptr, "-1 is not a valid value for field 'Colour'. The allowed range is 0 to 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        field->SetAsInteger(0);
        const QString text = QString::fromUtf8(c.text);
        auto write = [&] {
            if (text.startsWith(QLatin1Char('#')))
                field->SetAsInteger(text.mid(1).toInt());
            else
                field->SetAsString(text);
        };
        if (c.error) {
            EXPECT_EQ(Error(write), QString::fromUtf8(c.error));
            EXPECT_EQ(field->AsInteger(), 0); // unchanged
        } else {
            write();
            EXPECT_EQ(field->AsString(), QString::fromUtf8(c.shown));
            EXPECT_EQ(field->Text(), QString::fromUtf8(c.shown));
            EXPECT_EQ(field->DisplayText(), QString::fromUtf8(c.shown));
        }
    }
    field->SetAsString(QStringLiteral("Green"));
    EXPECT_EQ(field->AsInteger(), 1); // the first of repeated lines
    field->SetAsFloat(1.6);
    EXPECT_EQ(field->AsString(), QStringLiteral("Blue"));
    field->SetAsVariant(Variant(QStringLiteral("0")));
    EXPECT_EQ(field->AsString(), QStringLiteral("Red"));
    field->SetAsVariant(Variant(Null));
    EXPECT_TRUE(field->IsNull());
    EXPECT_EQ(field->AsString(), QString());
    EXPECT_EQ(Error([&] { field->SetAsVariant(Variant(QStringLiteral("x"))); }),
              QStringLiteral("Invalid value for field 'Colour'"));
    field->SetDisplayLabel(QStringLiteral("Paint colour"));
    EXPECT_EQ(Error([&] { field->SetAsString(QStringLiteral("Pink")); }),
              QStringLiteral("Invalid value for field 'Paint colour'"));
}

TEST_F(ListFieldTest, OneLineAndEmptyLists)
{
    SetLines({"Only"});
    field->SetAsInteger(-32768); // both limits 0: the small-integer range applies
    EXPECT_EQ(field->AsString(), QString());
    field->SetAsInteger(0);
    EXPECT_EQ(field->AsString(), QStringLiteral("Only"));
    EXPECT_EQ(
        Error([&] { field->SetAsInteger(40000); }),
        QStringLiteral(
            "40000 is not a valid value for field 'Colour'. The allowed range is -32768 to 32767"));

    SetLines({});
    EXPECT_EQ(field->MaxValue(), -1);
    EXPECT_EQ(
        Error([&] { field->SetAsInteger(0); }),
        QStringLiteral("0 is not a valid value for field 'Colour'. The allowed range is 0 to -1"));
    EXPECT_EQ(Error([&] { field->SetAsString(QStringLiteral("a")); }),
              QStringLiteral("Invalid value for field 'Colour'"));
    field->SetAsString(QString());
    EXPECT_TRUE(field->IsNull());
}

TEST_F(ListFieldTest, StoredCodesOutsideTheListShowNothing)
{
    SetLines({"Red", "Green"});
    field->SetAsInteger(1);
    t->Post();
    auto raw = OpenTable(QStringLiteral("Paints"));
    raw->Edit();
    raw->FieldByName(QStringLiteral("Colour"))->SetAsInteger(9); // another program's value
    raw->Post();
    t->Refresh();
    EXPECT_EQ(field->AsInteger(), 9);
    EXPECT_EQ(field->AsString(), QString());
}

TEST_F(ListFieldTest, WritingValuesWhileOpenShowsTheNewTextAtOnce)
{
    SetLines({"Red", "Green"});
    field->SetAsInteger(1);
    t->Post();
    TDataSource source(nullptr);
    source.SetDataSet(t.get());
    TFieldDataLink link;
    QStringList shown;
    link.OnDataChange = [&](TObject*) {
        shown << (link.Field() ? link.Field()->DisplayText() : QString());
    };
    link.SetDataSource(&source);
    link.SetFieldName(QStringLiteral("Colour"));
    shown.clear();
    SetLines({"Rouge", "Vert"});
    EXPECT_EQ(shown, QStringList{"Vert"});
    EXPECT_EQ(field->AsInteger(), 1); // the stored code is untouched
    EXPECT_EQ(t->State(), dsBrowse);
}

TEST_F(ListFieldTest, MoreThan32768LinesFailAndKeepMaxValue)
{
    SetLines({"a", "b"});
    QStringList many;
    for (int i = 0; i < 32770; ++i)
        many << QString::number(i);
    TStringList lines(many);
    EXPECT_EQ(
        Error([&] { field->SetValues(&lines); }),
        QStringLiteral(
            "32769 is not a valid value for field 'Colour'. The allowed range is -32768 to 32767"));
    EXPECT_EQ(field->Values()->Count(), 32770); // copied already
    EXPECT_EQ(field->MaxValue(), 1);
}

TEST_F(ListFieldTest, TheSetupHookSetsTheWidthAndChainsThePreviousOne)
{
    ASSERT_NE(SetupFieldHook, nullptr);
    SetLines({"Red", "Magenta", ""});
    SetupFieldHook(field);
    EXPECT_EQ(field->DisplayWidth(), 10);
    SetLines({"", ""});
    field->SetDisplayWidth(4);
    SetupFieldHook(field);
    EXPECT_EQ(field->DisplayWidth(), 4);
    TVynListField calc(nullptr);
    calc.SetFieldKind(fkCalculated);
    TStringList long_(QStringList{"A very long text"});
    calc.SetValues(&long_);
    const int before = calc.DisplayWidth();
    SetupFieldHook(&calc);
    EXPECT_EQ(calc.DisplayWidth(), before);
    // Running the start-up again keeps one link in the chain.
    FinalizeUnits();
    InitializeUnits();
    SetLines({"Red", "Magenta"});
    SetupFieldHook(field);
    EXPECT_EQ(field->DisplayWidth(), 10);
}

TEST_F(ListFieldTest, TheComboHookMakesAPlainComboForValueListFieldsOnly)
{
    ASSERT_NE(CreateFieldComboHook, nullptr);
    TComboBox* combo = CreateFieldComboHook(&form, field);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Owner(), &form);
    EXPECT_EQ(combo->Parent(), nullptr);
    EXPECT_EQ(combo->Items()->Count(), 0);
    EXPECT_EQ(CreateFieldComboHook(&form, t->FieldByName(QStringLiteral("Id"))), nullptr);
}

TEST_F(ListFieldTest, LoadsFromAStoredLayout)
{
    const QByteArray layout = R"(object Module: TComponent
  object Paints: TTable
    DatabaseName = 'X'
    TableName = 'Paints'
    object PaintsColour: TVynListField
      FieldName = 'Colour'
      Values.Strings = (
        'Red'
        'Green'
        'Blue')
    end
  end
end
)";
    std::unique_ptr<TComponent> module(CreateComponentFromLayout(layout, nullptr));
    auto* f = dynamic_cast<TVynListField*>(module->FindComponent(QStringLiteral("PaintsColour")));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->MaxValue(), 2);
    EXPECT_EQ(f->Values()->Strings(2), QStringLiteral("Blue"));
    auto* table = dynamic_cast<TTable*>(module->FindComponent(QStringLiteral("Paints")));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(f->DataSet(), table);
}
