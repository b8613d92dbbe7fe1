// Loading 10,000 records' rich text into a shown rich edit one record after the other, as a
// data-aware rich edit does while its dataset moves, side by side with the codec's plain-text
// path alone (the limit) and with QTextEdit::setHtml of the same content (the naive way).
//
// Load:  each record loaded; the editor shows the last one once the event loop runs.
// Walk:  each record loaded and searched, as the search across records does.
// Show:  each record loaded and painted before the next one (the event loop runs each time).
#include "bench/support/RatioReporter.h"
#include "bench/support/RichRecords.h"
#include "platform/db/DBTables.h"
#include "platform/dbctrls/DBRichEdit.h"
#include "platform/richtext/RichEdit.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextEdit>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace vyn;
using namespace vyn::bench;

namespace {

const QString kAbsent = QStringLiteral("no such words");

// A shown form holding one rich edit.
struct Shown
{
    Shown()
    {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        edit = new TRichEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(0, 0, 480, 380);
        form->Show();
        QApplication::processEvents();
    }
    std::unique_ptr<TForm> form;
    TRichEdit* edit;
};

void Finish(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_Load_PlainTextLimit(benchmark::State& state)
{
    for (auto _ : state)
        for (const QByteArray& rtf : Data().rtf)
            benchmark::DoNotOptimize(RtfPlainText(rtf));
    Finish(state);
}

void BM_Load_RichEdit(benchmark::State& state)
{
    Shown s;
    for (auto _ : state) {
        for (const QByteArray& rtf : Data().rtf)
            s.edit->LoadRichText(rtf);
        QApplication::processEvents();
    }
    Finish(state);
}

void BM_Walk_PlainTextLimit(benchmark::State& state)
{
    for (auto _ : state)
        for (const QByteArray& rtf : Data().rtf)
            benchmark::DoNotOptimize(RtfPlainText(rtf).indexOf(kAbsent, 0, Qt::CaseInsensitive));
    Finish(state);
}

void BM_Walk_RichEdit(benchmark::State& state)
{
    Shown s;
    for (auto _ : state) {
        for (const QByteArray& rtf : Data().rtf) {
            s.edit->LoadRichText(rtf);
            benchmark::DoNotOptimize(s.edit->FindText(kAbsent, 0, s.edit->GetTextLen(), {}));
        }
        QApplication::processEvents();
    }
    Finish(state);
}

void BM_Show_RichEdit(benchmark::State& state)
{
    Shown s;
    for (auto _ : state)
        for (const QByteArray& rtf : Data().rtf) {
            s.edit->LoadRichText(rtf);
            QApplication::processEvents();
        }
    Finish(state);
}

void BM_Show_QtSetHtml(benchmark::State& state)
{
    Shown s;
    QTextEdit* editor = s.edit->Editor();
    for (auto _ : state)
        for (const QString& html : Data().html) {
            editor->setHtml(html);
            QApplication::processEvents();
        }
    Finish(state);
}

BENCHMARK(BM_Load_PlainTextLimit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_RichEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk_PlainTextLimit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk_RichEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Show_RichEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Show_QtSetHtml)->Unit(benchmark::kMillisecond);

// The same records in a table: a shown data-aware rich edit following the dataset from the
// first record to the last, against reading the memos and their plain text alone.
QString TableDir()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        TTable t(nullptr);
        t.SetDatabaseName(dir.path());
        t.SetTableName(QStringLiteral("Notes"));
        t.FieldDefs().Add(QStringLiteral("Id"), ftAutoInc);
        t.FieldDefs().Add(QStringLiteral("Rich"), ftMemo);
        t.CreateTable();
        t.Open();
        for (const QByteArray& rtf : Data().rtf) {
            t.Append();
            t.FieldByName(QStringLiteral("Rich"))->SetAsVariant(Variant(rtf));
            t.Post();
        }
        made = true;
    }
    return dir.path();
}

void BM_Table_PlainTextLimit(benchmark::State& state)
{
    TTable t(nullptr);
    t.SetDatabaseName(TableDir());
    t.SetTableName(QStringLiteral("Notes"));
    t.Open();
    TField* rich = t.FieldByName(QStringLiteral("Rich"));
    for (auto _ : state)
        for (t.First(); !t.Eof(); t.Next())
            benchmark::DoNotOptimize(RtfPlainText(rich->AsBytes()));
    Finish(state);
}

void BM_Table_DBRichEdit(benchmark::State& state)
{
    TTable t(nullptr);
    t.SetDatabaseName(TableDir());
    t.SetTableName(QStringLiteral("Notes"));
    TDataSource source(nullptr);
    source.SetDataSet(&t);
    Shown s;
    auto* edit = new TDBRichEdit(s.form.get());
    edit->SetParent(s.form.get());
    edit->SetBounds(0, 0, 480, 380);
    edit->SetDataSource(&source);
    edit->SetDataField(QStringLiteral("Rich"));
    t.Open();
    QApplication::processEvents();
    for (auto _ : state) {
        for (t.First(); !t.Eof(); t.Next())
            benchmark::DoNotOptimize(edit->GetTextLen());
        QApplication::processEvents();
    }
    Finish(state);
    edit->SetDataSource(nullptr);
}

BENCHMARK(BM_Table_PlainTextLimit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Table_DBRichEdit)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TApplication application;
    benchmark::Initialize(&argc, argv);
    std::printf("%d records, RTF %.0f bytes each on average\n", kRecords,
                double(Data().rtfBytes) / kRecords);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.Ratio("load / plain-text limit", "BM_Load_RichEdit", "BM_Load_PlainTextLimit");
    reporter.Ratio("walk / plain-text limit", "BM_Walk_RichEdit", "BM_Walk_PlainTextLimit");
    reporter.Ratio("show / setHtml shown", "BM_Show_RichEdit", "BM_Show_QtSetHtml");
    reporter.Ratio("show / plain-text limit", "BM_Show_RichEdit", "BM_Load_PlainTextLimit");
    reporter.Ratio("data-aware walk / table plain-text limit", "BM_Table_DBRichEdit",
                   "BM_Table_PlainTextLimit");
    benchmark::Shutdown();
    return 0;
}
