#pragma once

#include "platform/core/TypInfo.h"
#include "platform/core/Unit.h"
#include "platform/db/DBTables.h"
#include "platform/db/DataSource.h"
#include "tests/support/TempDir.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace vyn::test {

// A temporary folder as the database, a private alias file, and a fresh session per test.
class DbTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VYN_ALIAS_FILE", dir.File(QStringLiteral("aliases.ini")).toUtf8());
        SetLockTimeoutMs(200);
    }
    void TearDown() override
    {
        FinalizeUnits();
        TSessionRef::Free();
        qunsetenv("VYN_ALIAS_FILE");
    }

    // People: Id auto-increment, Name string(40), Age smallint, Rich memo; one record per name.
    std::unique_ptr<TTable> MakePeople(const QStringList& names,
                                       const QString& table = QStringLiteral("People"))
    {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetDatabaseName(dir.Path());
        t->SetTableName(table);
        t->FieldDefs().Add(QStringLiteral("Id"), ftAutoInc);
        t->FieldDefs().Add(QStringLiteral("Name"), ftString, 40);
        t->FieldDefs().Add(QStringLiteral("Age"), ftSmallint);
        t->FieldDefs().Add(QStringLiteral("Rich"), ftMemo);
        t->CreateTable();
        t->Open();
        int age = 20;
        for (const QString& n : names) {
            t->Append();
            t->FieldByName(QStringLiteral("Name"))->SetAsString(n);
            t->FieldByName(QStringLiteral("Age"))->SetAsInteger(age++);
            t->Post();
        }
        t->First();
        return t;
    }

    std::unique_ptr<TTable> OpenTable(const QString& table = QStringLiteral("People"))
    {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetDatabaseName(dir.Path());
        t->SetTableName(table);
        t->Open();
        return t;
    }

    static QString Name(TDataSet* d) { return d->FieldByName(QStringLiteral("Name"))->AsString(); }

    TempDir dir;
};

// Counts what a link hears.
class CountingLink : public TDataLink
{
public:
    int active = 0, changed = 0, scrolled = 0, record = 0, editing = 0, updates = 0, layout = 0;

protected:
    void ActiveChanged() override { ++active; }
    void DataSetChanged() override { ++changed; }
    void DataSetScrolled(int) override { ++scrolled; }
    void RecordChanged(TField*) override { ++record; }
    void EditingChanged() override { ++editing; }
    void UpdateData() override { ++updates; }
    void LayoutChanged() override { ++layout; }
};

} // namespace vyn::test
