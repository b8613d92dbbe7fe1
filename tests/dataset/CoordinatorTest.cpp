#include "dataset/VynDB.h"
#include "dataset/VynDBFuncs.h"
#include "platform/core/TypInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StdCtrls.h"
#include "tests/db/DbFixture.h"

#include <QApplication>

using namespace vyn;
using namespace vyn::test;

namespace {

// Any component that publishes "DataSource" and "ListSource" takes part, as controls do.
class TSourceUser : public TComponent
{
    VYN_CLASS(TSourceUser, TComponent)
public:
    using TComponent::TComponent;
    TDataSource* DataSource() const { return m_source; }
    void SetDataSource(TDataSource* v) { m_source = v; }
    TDataSource* ListSource() const { return m_list; }
    void SetListSource(TDataSource* v) { m_list = v; }

private:
    TDataSource* m_source = nullptr;
    TDataSource* m_list = nullptr;
};

} // namespace

const TClassInfo& TSourceUser::StaticClassInfo()
{
    static const TClassInfo info =
        TClassBuilder<TSourceUser>("TSourceUser")
            .Property("DataSource", &TSourceUser::DataSource, &TSourceUser::SetDataSource)
            .Property("ListSource", &TSourceUser::ListSource, &TSourceUser::SetListSource)
            .Build();
    return info;
}

namespace {

class CoordinatorTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        app = std::make_unique<TApplication>();
        InitializeUnits();
        MakePeople({"Ann", "Bob", "Cid"})->Close();
        form = new TForm(app.get());
        form->SetTag(9);
    }
    void TearDown() override
    {
        app.reset();
        DbTest::TearDown();
    }

    TTable* Table(TComponent* owner, const QString& name, int tag)
    {
        auto* t = new TTable(owner);
        t->SetName(name);
        t->SetTag(tag);
        t->SetDatabaseName(dir.Path());
        t->SetTableName(QStringLiteral("People"));
        return t;
    }
    // A component on the form that uses the dataset through a data source.
    TDataSource* Use(TDataSet* d, bool asList = false)
    {
        auto* s = new TDataSource(form);
        s->SetDataSet(d);
        auto* user = new TSourceUser(form);
        if (asList)
            user->SetListSource(s);
        else
            user->SetDataSource(s);
        return s;
    }
    // Another user renames the first person; a dataset that re-reads sees it.
    void ChangeElsewhere(const QString& name)
    {
        auto other = OpenTable();
        other->Edit();
        other->FieldByName(QStringLiteral("Name"))->SetAsString(name);
        other->Post();
    }
    static QString First(TDataSet* d) { return d->FieldByName(QStringLiteral("Name"))->AsString(); }

    std::unique_ptr<TApplication> app;
    TForm* form = nullptr;
};

} // namespace

TEST_F(CoordinatorTest, TagCodesDecideWhatOpensAndWhatIsReRead)
{
    struct Case
    {
        int tag;
        bool active;
        bool editing;
        bool force;
        bool openAfter;
        bool reRead;
    } cases[] = {
        {85, false, false, false, false, false}, {85, false, false, true, true, false},
        {95, true, false, false, true, true},    {95, true, true, false, true, false},
        {-91, false, false, false, true, false}, {-91, true, false, false, true, false},
        {0, false, false, false, true, false},   {0, true, false, false, true, false},
        {0, true, false, true, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("tag %1 active %2 editing %3 force %4")
                         .arg(c.tag)
                         .arg(c.active)
                         .arg(c.editing)
                         .arg(c.force)
                         .toStdString());
        TTable* t = Table(form, QStringLiteral("T%1").arg(n++), c.tag);
        Use(t);
        if (c.active)
            t->Open();
        if (c.editing) {
            t->Edit();
            t->FieldByName(QStringLiteral("Age"))->SetAsInteger(77);
        }
        ChangeElsewhere(QStringLiteral("Changed%1").arg(n));
        const QString before = c.active ? First(t) : QString();
        OpenFormDataSets(form, c.force);
        EXPECT_EQ(t->Active(), c.openAfter);
        if (c.active && !c.editing) {
            EXPECT_EQ(First(t) != before, c.reRead);
        }
        if (c.editing) {
            EXPECT_EQ(t->State(), dsEdit); // the pending change stays
            EXPECT_EQ(t->FieldByName(QStringLiteral("Age"))->AsInteger(), 77);
        }
        if (c.editing)
            t->Cancel();
        t->Close();
    }
}

TEST_F(CoordinatorTest, DataModulesOpenTheirUnitsDigitNineDataSetsAtStartUp)
{
    auto* module = new TDataModule(app.get());
    TTable* nine = Table(module, QStringLiteral("Nine"), 9);
    TTable* nineteen = Table(module, QStringLiteral("Nineteen"), 19);
    TTable* minus = Table(module, QStringLiteral("Minus"), -91);
    TTable* zero = Table(module, QStringLiteral("Zero"), 0);
    TTable* broken = Table(module, QStringLiteral("Broken"), 9);
    broken->SetTableName(QStringLiteral("Missing"));
    InitVynApplication(true);
    EXPECT_TRUE(nine->Active());
    EXPECT_TRUE(nineteen->Active());
    EXPECT_FALSE(minus->Active());
    EXPECT_FALSE(zero->Active());
    EXPECT_FALSE(broken->Active()); // skipped silently
}

TEST_F(CoordinatorTest, TheWorkListPutsListAndLookupDataSetsFirstAndTakesEachOnce)
{
    QStringList opened;
    auto log = [&](TDataSet* d) { opened << d->Name(); };
    TTable* a = Table(form, QStringLiteral("A"), 0);
    TTable* l = Table(form, QStringLiteral("L"), 0);
    TTable* b = Table(form, QStringLiteral("B"), 0);
    for (TTable* t : {a, l, b})
        t->AfterOpen = log;
    // A's lookup field uses L.
    for (const char* name : {"Id", "Name"}) {
        auto* f = static_cast<TField*>(
            DefaultFieldClass(QLatin1String(name) == QLatin1String("Id") ? ftAutoInc : ftString)
                .Create(form));
        f->SetFieldName(QString::fromLatin1(name));
        f->SetDataSet(a);
    }
    auto* look = new TStringField(form);
    look->SetFieldName(QStringLiteral("Other"));
    look->SetFieldKind(fkLookup);
    look->SetLookupDataSet(l);
    look->SetKeyFields(QStringLiteral("Id"));
    look->SetLookupKeyFields(QStringLiteral("Id"));
    look->SetLookupResultField(QStringLiteral("Name"));
    look->SetDataSet(a);
    Use(a);
    Use(b, true);
    Use(a); // a second control on A
    OpenFormDataSets(form, false);
    EXPECT_EQ(opened, (QStringList{"B", "L", "A"}));
    EXPECT_EQ(look->AsString(), QStringLiteral("Ann"));
}

TEST_F(CoordinatorTest, ADetailOfAQueryFollowsItsMasterInsteadOfBeingReRead)
{
    for (bool masterIsQuery : {true, false}) {
        SCOPED_TRACE(masterIsQuery ? "query master" : "table master");
        TDataSet* master = nullptr;
        if (masterIsQuery) {
            auto* q = new TQuery(form);
            q->SetDatabaseName(dir.Path());
            q->SQL()->SetText(QStringLiteral("SELECT * FROM People"));
            master = q;
        } else {
            master = Table(form, QString(), 0);
        }
        master->SetTag(90);
        TDataSource* masterSource = Use(master);
        TTable* detail = Table(form, QString(), 90);
        detail->SetIndexFieldNames(QStringLiteral("Id"));
        detail->SetMasterFields(QStringLiteral("Id"));
        detail->SetMasterSource(masterSource);
        Use(detail);
        master->Open();
        detail->Open();
        int detailRefreshes = 0;
        detail->AfterScroll = [&](TDataSet*) {};
        TDataSource probe(nullptr);
        probe.SetDataSet(detail);
        CountingLink link;
        link.SetDataSource(&probe);
        const int before = link.changed;
        OpenFormDataSets(form, false);
        detailRefreshes = link.changed - before;
        if (masterIsQuery)
            EXPECT_EQ(detailRefreshes, 0);
        else
            EXPECT_GE(detailRefreshes, 1);
        link.SetDataSource(nullptr);
        delete detail;
        delete master;
    }
}

TEST_F(CoordinatorTest, AQueryWithAParameterSourceIsNotReReadByItself)
{
    TTable* people = Table(form, QStringLiteral("People"), 90);
    TDataSource* peopleSource = Use(people);
    auto* q = new TQuery(form);
    q->SetTag(90);
    q->SetDatabaseName(dir.Path());
    q->SQL()->SetText(QStringLiteral("SELECT * FROM People WHERE Id = :Id"));
    q->SetDataSource(peopleSource);
    Use(q);
    people->Open();
    q->Open();
    int closes = 0;
    q->BeforeClose = [&](TDataSet*) { ++closes; };
    OpenFormDataSets(form, false);
    EXPECT_EQ(closes, 1); // once, through its source; not again by itself
}

TEST_F(CoordinatorTest, TheMessageCounterHoldsReReadingBack)
{
    TTable* t = Table(form, QStringLiteral("Table1"), 95);
    Use(t);
    t->Open();
    int earlier = 0;
    Screen->OnActiveFormChange = [&](TObject*) { ++earlier; };
    InitVynApplication(false);
    form->Show();
    QCoreApplication::processEvents();

    ChangeElsewhere(QStringLiteral("Held"));
    QString seenWhenBack;
    {
        TScriptedModalDriver driver;
        driver.Then([](TCustomForm*) { return mrOk; });
        VynApp()->ShowMessage(QStringLiteral("Text 'x' not found"));
        EXPECT_EQ(driver.Shown().size(), 1);
    }
    // The form behind the box became active again while the count was still up.
    EXPECT_EQ(First(t), QStringLiteral("Ann"));
    EXPECT_EQ(VynApp()->MessageCount(), 0);
    EXPECT_EQ(earlier, 0); // the handler set before start-up no longer runs

    VynApp()->BeginMessage();
    VynApp()->BeginMessage();
    VynApp()->ActiveFormChange(nullptr);
    VynApp()->EndMessage();
    VynApp()->ActiveFormChange(nullptr);
    EXPECT_EQ(First(t), QStringLiteral("Ann"));
    VynApp()->EndMessage();
    VynApp()->EndMessage(); // at 0 it stays 0
    EXPECT_EQ(VynApp()->MessageCount(), 0);
    VynApp()->ActiveFormChange(nullptr);
    EXPECT_EQ(First(t), QStringLiteral("Held"));
}

TEST_F(CoordinatorTest, PendingEditsArePostedBeforeTheDataModulesOwnOnDestroy)
{
    auto* module = new TDataModule(app.get());
    TTable* t = Table(module, QStringLiteral("Table1"), 0);
    t->Open();
    QString seen;
    TObject* sender = nullptr;
    module->OnDestroy = [&](TObject* s) {
        sender = s;
        auto other = OpenTable();
        seen = First(other.get());
    };
    InitVynApplication(true);
    t->Edit();
    t->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Posted"));
    delete module;
    EXPECT_EQ(seen, QStringLiteral("Posted"));
    EXPECT_EQ(sender, module);
}

TEST_F(CoordinatorTest, AFailedPostAtTheEndIsShownAndTheOthersStillRun)
{
    auto* module = new TDataModule(app.get());
    TTable* bad = Table(module, QStringLiteral("Bad"), 0);
    TTable* good = Table(module, QStringLiteral("Good"), 0);
    bad->Open();
    good->Open();
    bad->BeforePost = [](TDataSet*) { throw EDatabaseError(QStringLiteral("disk full")); };
    bad->Edit();
    bad->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("x"));
    good->Last();
    good->Edit();
    good->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Saved"));
    QStringList shown;
    app->OnException = [&](TObject*, const Exception& e) { shown << e.Message(); };
    VynApp()->CheckBrowseModeAll();
    EXPECT_EQ(shown, QStringList{"Bad: disk full"});
    EXPECT_EQ(bad->State(), dsEdit);
    EXPECT_EQ(good->State(), dsBrowse);
    auto other = OpenTable();
    other->Last();
    EXPECT_EQ(First(other.get()), QStringLiteral("Saved"));
}

TEST_F(CoordinatorTest, RefreshDataSetOnQueries)
{
    auto* q = new TQuery(form);
    q->SetDatabaseName(dir.Path());
    q->SQL()->SetText(QStringLiteral("SELECT * FROM People ORDER BY Name"));
    q->Open();
    q->Next(); // Bob
    TDataSource source(nullptr);
    source.SetDataSet(q);
    CountingLink link;
    link.SetDataSource(&source);
    auto other = OpenTable();
    other->Next();
    other->Delete(); // Bob goes
    auto heard = [&] { return link.changed + link.active + link.layout + link.scrolled; };
    const int before = heard();
    RefreshDataSet(q);
    EXPECT_EQ(First(q), QStringLiteral("Cid")); // a neighbour, no "Record not found"
    EXPECT_EQ(heard() - before, 1);             // one change for the close and the open

    // A pending edit is posted first; a failing one raises and stays.
    q->Close();
    q->SetRequestLive(true);
    q->Open();
    q->Edit();
    q->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Annie"));
    RefreshDataSet(q);
    EXPECT_EQ(First(q), QStringLiteral("Annie"));
    q->BeforePost = [](TDataSet*) { throw EDatabaseError(QStringLiteral("refused")); };
    q->Edit();
    q->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("Lost?"));
    EXPECT_THROW(RefreshDataSet(q), EDatabaseError);
    EXPECT_TRUE(q->Active());
    EXPECT_EQ(q->State(), dsEdit);
    EXPECT_EQ(First(q), QStringLiteral("Lost?"));
    q->BeforePost = nullptr;
    q->Cancel();

    // An empty query reopens on nothing.
    q->SQL()->SetText(QStringLiteral("SELECT * FROM People WHERE 0"));
    q->Open();
    RefreshDataSet(q);
    EXPECT_TRUE(q->Active() && q->IsEmpty());

    // No bookmark: nothing happens, no scroll events.
    int scrolls = 0;
    q->BeforeScroll = [&](TDataSet*) { ++scrolls; };
    RestoreBookmark(q, TBookmark());
    EXPECT_EQ(scrolls, 0);
    RefreshDataSet(nullptr);
    OpenFormDataSets(nullptr, false);
    link.SetDataSource(nullptr);
}

TEST_F(CoordinatorTest, WithoutAScreenItSaysSoAndStillOpensTheMainFormsDataSets)
{
    TForm* main = nullptr;
    app->CreateForm(main);
    ASSERT_EQ(app->MainForm(), main);
    TTable* t = Table(main, QStringLiteral("Table1"), 99);
    auto* source = new TDataSource(main);
    source->SetDataSet(t);
    (new TSourceUser(main))->SetDataSource(source);
    TScreen* saved = Screen;
    Screen = nullptr; // as before the screen exists
    QString message;
    {
        TScriptedModalDriver driver;
        driver.Then([&](TCustomForm* f) {
            for (int i = 0; i < f->ComponentCount(); ++i)
                if (auto* label = dynamic_cast<TLabel*>(f->Components(i)))
                    message += label->Caption();
            return mrOk;
        });
        InitVynApplication(true);
    }
    Screen = saved;
    EXPECT_EQ(message, QStringLiteral("Screen dont initialize"));
    EXPECT_TRUE(t->Active());
}
