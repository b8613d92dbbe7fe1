// Reading memo fields: 10,000 records of about 1 KB of RTF each, read to a document and to plain
// text, against QTextDocument::setHtml of the same content, which is what a Qt program would use.
#include "bench/support/RatioReporter.h"
#include "bench/support/RichRecords.h"
#include "platform/richtext/Rtf.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

using namespace vyn;
using namespace vyn::bench;

namespace {

void Finish(benchmark::State& state, qint64 bytes)
{
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_Document_ReadRtf(benchmark::State& state)
{
    const Records& r = Data();
    for (auto _ : state)
        for (const QByteArray& rtf : r.rtf)
            benchmark::DoNotOptimize(ReadRtf(rtf));
    Finish(state, r.rtfBytes);
}

void BM_Document_QtSetHtml(benchmark::State& state)
{
    const Records& r = Data();
    QTextDocument doc;
    for (auto _ : state)
        for (const QString& html : r.html) {
            doc.setHtml(html);
            benchmark::DoNotOptimize(doc.blockCount());
        }
    Finish(state, r.htmlBytes);
}

void BM_PlainText_RtfPlainText(benchmark::State& state)
{
    const Records& r = Data();
    for (auto _ : state)
        for (const QByteArray& rtf : r.rtf)
            benchmark::DoNotOptimize(RtfPlainText(rtf));
    Finish(state, r.rtfBytes);
}

void BM_PlainText_QtSetHtml(benchmark::State& state)
{
    const Records& r = Data();
    QTextDocument doc;
    for (auto _ : state)
        for (const QString& html : r.html) {
            doc.setHtml(html);
            benchmark::DoNotOptimize(doc.toPlainText());
        }
    Finish(state, r.htmlBytes);
}

BENCHMARK(BM_Document_ReadRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Document_QtSetHtml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainText_RtfPlainText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainText_QtSetHtml)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const Records& r = Data();
    std::printf("%d records, RTF %.0f bytes each on average, HTML %.0f\n", kRecords,
                double(r.rtfBytes) / kRecords, double(r.htmlBytes) / kRecords);
    vyn::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const char* label, const char* ours, const char* base) {
        const auto o = reporter.times.find(ours), b = reporter.times.find(base);
        if (o != reporter.times.end() && b != reporter.times.end() && o->second > 0)
            std::printf("%-12s ours %9.2f ms  setHtml %9.2f ms  ours is %.1fx faster\n", label,
                        o->second, b->second, b->second / o->second);
    };
    ratio("document", "BM_Document_ReadRtf", "BM_Document_QtSetHtml");
    ratio("plain text", "BM_PlainText_RtfPlainText", "BM_PlainText_QtSetHtml");
    benchmark::Shutdown();
    return 0;
}
