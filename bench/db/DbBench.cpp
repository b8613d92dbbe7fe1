// Walking a large table: the dataset against one raw SQLite statement (the limit) and against
// QSqlTableModel (what a Qt program would use); Last and Prior at two table sizes; peak memory
// of a walk in one child process per size.
//
// VYN_BENCH_SMOKE=1 shrinks every table so the run takes seconds.

#include "bench/support/RatioReporter.h"
#include "platform/db/DBTables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sqlite3.h>

using namespace vyn;

namespace {

bool Smoke()
{
    return qEnvironmentVariableIntValue("VYN_BENCH_SMOKE") != 0;
}

int BigRows()
{
    return Smoke() ? 20000 : 1000000;
}

int SmallRows()
{
    return 1000;
}

QString DataDir()
{
    const QString dir =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench-data"));
    QDir().mkpath(dir);
    return dir;
}

QString TableName(int rows)
{
    return QStringLiteral("People%1").arg(rows);
}

// A table of `rows` people with a memo of about 1 KB each, made once and kept.
void EnsureTable(int rows)
{
    const QString path = QDir(DataDir()).filePath(TableName(rows) + QStringLiteral(".DB"));
    const QString done = path + QStringLiteral(".ok");
    if (QFile::exists(done))
        return;
    QFile::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;", nullptr, nullptr, nullptr);
    sqlite3_exec(
        db,
        "CREATE TABLE \"People\" (\"Id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Name\" VARCHAR(40), "
        "\"Rich\" MEMO)",
        nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO \"People\" (\"Name\", \"Rich\") VALUES (?, ?)", -1, &st,
                       nullptr);
    QByteArray memo = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    while (memo.size() < 1020)
        memo += "Lorem ipsum dolor sit amet, \\b consectetur\\b0  adipiscing elit. ";
    memo.truncate(1020);
    memo += "\\par}";
    for (int i = 0; i < rows; ++i) {
        const QByteArray name = "Person " + QByteArray::number(i);
        sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(st, 2, memo.constData(), int(memo.size()), SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QFile f(done);
    f.open(QIODevice::WriteOnly);
}

std::unique_ptr<TTable> OpenPeople(int rows)
{
    auto t = std::make_unique<TTable>(nullptr);
    t->SetDatabaseName(DataDir());
    t->SetTableName(TableName(rows));
    t->Open();
    return t;
}

// (a) The walk.
void BM_Walk_Dataset(benchmark::State& state)
{
    const int rows = BigRows();
    EnsureTable(rows);
    for (auto _ : state) {
        auto t = OpenPeople(rows);
        TField* rich = t->FieldByName(QStringLiteral("Rich"));
        std::size_t bytes = 0;
        int n = 0;
        for (t->First(); !t->Eof(); t->Next()) {
            bytes += size_t(rich->AsBytes().size());
            ++n;
        }
        if (n != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_Walk_RawSqlite(benchmark::State& state)
{
    const int rows = BigRows();
    EnsureTable(rows);
    const QByteArray path =
        QFile::encodeName(QDir(DataDir()).filePath(TableName(rows) + QStringLiteral(".DB")));
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(
            db, "SELECT rowid, \"Id\", \"Name\", \"Rich\" FROM \"People\" ORDER BY rowid", -1, &st,
            nullptr);
        std::size_t bytes = 0;
        int n = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            // Copy the values out as a program would.
            const QString name =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)));
            const QByteArray rich(static_cast<const char*>(sqlite3_column_blob(st, 3)),
                                  sqlite3_column_bytes(st, 3));
            bytes += size_t(rich.size() + name.size());
            ++n;
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        if (n != rows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_Walk_QSqlTableModel(benchmark::State& state)
{
    const int rows = BigRows();
    EnsureTable(rows);
    for (auto _ : state) {
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
            db.setDatabaseName(QDir(DataDir()).filePath(TableName(rows) + QStringLiteral(".DB")));
            db.open();
            QSqlTableModel model(nullptr, db);
            model.setTable(QStringLiteral("People"));
            model.select();
            while (model.canFetchMore())
                model.fetchMore();
            std::size_t bytes = 0;
            for (int r = 0; r < model.rowCount(); ++r)
                bytes += size_t(model.data(model.index(r, 2)).toByteArray().size());
            if (model.rowCount() != rows)
                state.SkipWithError("wrong row count");
            benchmark::DoNotOptimize(bytes);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench"));
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

// (b) Last, then 1,000 x Prior.
void LastPrior(benchmark::State& state, int rows)
{
    EnsureTable(rows);
    auto t = OpenPeople(rows);
    for (auto _ : state) {
        t->Last();
        for (int i = 0; i < 1000; ++i)
            t->Prior();
        benchmark::DoNotOptimize(t->Bof());
    }
}

void BM_LastPrior_Small(benchmark::State& state)
{
    LastPrior(state, SmallRows() + 1);
}

void BM_LastPrior_Big(benchmark::State& state)
{
    LastPrior(state, BigRows());
}

// (c) Peak memory of a walk and a Last/Prior run, one child process per size.
long ChildPeakKb(int rows)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child-walk"), QString::number(rows)});
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toLong();
}

void BM_PeakMemory(benchmark::State& state)
{
    const int big = BigRows(), small = SmallRows() + 1;
    EnsureTable(big);
    EnsureTable(small);
    long smallKb = 0, bigKb = 0;
    for (auto _ : state) {
        smallKb = ChildPeakKb(small);
        bigKb = ChildPeakKb(big);
    }
    state.counters["small_peak_MB"] = double(smallKb) / 1024;
    state.counters["big_peak_MB"] = double(bigKb) / 1024;
    state.counters["difference_MB"] = double(bigKb - smallKb) / 1024;
}

long PeakKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

int ChildWalk(int rows)
{
    auto t = OpenPeople(rows);
    std::size_t bytes = 0;
    for (t->First(); !t->Eof(); t->Next())
        bytes += size_t(t->FieldByName(QStringLiteral("Rich"))->AsBytes().size());
    t->Last();
    for (int i = 0; i < 1000; ++i)
        t->Prior();
    std::printf("%ld\n", PeakKb());
    return bytes > 0 ? 0 : 1;
}

} // namespace

BENCHMARK(BM_Walk_Dataset)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Walk_RawSqlite)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Walk_QSqlTableModel)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LastPrior_Small)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LastPrior_Big)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--child-walk")
        return ChildWalk(QByteArray(argv[2]).toInt());
    benchmark::Initialize(&argc, argv);
    vyn::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios (%d rows; lower is better for ours):\n", BigRows());
    reporter.Ratio("walk: dataset / raw sqlite", "BM_Walk_Dataset/iterations:1",
                   "BM_Walk_RawSqlite/iterations:1");
    reporter.Ratio("walk: dataset / QSqlTableModel", "BM_Walk_Dataset/iterations:1",
                   "BM_Walk_QSqlTableModel/iterations:1");
    reporter.Ratio("Last+1000 Prior: big table / small table", "BM_LastPrior_Big",
                   "BM_LastPrior_Small");
    const auto& c = reporter.counters;
    const auto s = c.find("BM_PeakMemory/iterations:1/small_peak_MB"),
               b = c.find("BM_PeakMemory/iterations:1/big_peak_MB");
    if (s != c.end() && b != c.end())
        std::printf("%-44s %12.1f vs %12.1f MB  difference %.1f MB\n",
                    "peak memory: big table vs small table", b->second, s->second,
                    b->second - s->second);
    benchmark::Shutdown();
    return 0;
}
