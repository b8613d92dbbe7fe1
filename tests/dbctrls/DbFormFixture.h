#pragma once

#include "platform/dbctrls/DBCtrls.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "tests/db/DbFixture.h"

#include <QApplication>
#include <QWidget>

namespace vyn::test {

// A form on the people table: the table, its source, and whatever controls a test adds.
class DBCtrlsTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        app = std::make_unique<TApplication>();
        MakePeople({"Ann", "Bob", "Cid"})->Close();
        form = new TForm(app.get());
        form->SetBounds(100, 100, 420, 300);
        table = new TTable(form);
        table->SetName(QStringLiteral("Table1"));
        table->SetDatabaseName(dir.Path());
        table->SetTableName(QStringLiteral("People"));
        source = new TDataSource(form);
        source->SetDataSet(table);
        table->Open();
    }
    void TearDown() override
    {
        app.reset();
        DbTest::TearDown();
    }
    template <class C> C* Add(const QString& field, int top)
    {
        auto* c = new C(form);
        c->SetParent(form);
        c->SetBounds(8, top, 200, 24);
        c->SetDataSource(source);
        c->SetDataField(field);
        return c;
    }
    void Show()
    {
        form->Show();
        form->Widget()->activateWindow();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TApplication> app;
    TForm* form = nullptr;
    TTable* table = nullptr;
    TDataSource* source = nullptr;
};

} // namespace vyn::test
