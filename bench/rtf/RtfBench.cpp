// Reading memo fields: 10,000 records of about 1 KB of RTF each, read to a document and to plain
// text, against QTextDocument::setHtml of the same content, which is what a Qt program would use.
#include "bench/support/RatioReporter.h"
#include "platform/richtext/Rtf.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>

using namespace vyn;

namespace {

constexpr int kRecords = 10000;

struct Records
{
    std::vector<QByteArray> rtf;
    std::vector<QString> html;
    qint64 rtfBytes = 0;
    qint64 htmlBytes = 0;
};

QString Escape(const QString& s)
{
    return s.toHtmlEscaped();
}

QString HtmlOf(const RichDocument& doc)
{
    QString h = "<html><body>";
    bool inList = false;
    for (const RichParagraph& p : doc.Paragraphs()) {
        const bool item = !p.format.numbering.IsNone();
        if (item && !inList)
            h += "<ul>";
        if (!item && inList)
            h += "</ul>";
        inList = item;
        static const char* align[] = {"left", "center", "right", "justify"};
        h += QString(item ? "<li" : "<p") +
             " style=\"text-align:" + align[int(p.format.alignment)] +
             ";margin-left:" + QString::number(p.format.li / 20) +
             "pt;text-indent:" + QString::number(p.format.fi / 20) + "pt\">";
        for (const RichRun& r : p.runs) {
            const RichCharFormat& f = r.format;
            h += "<span style=\"font-family:'" + f.fontName +
                 "';font-size:" + QString::number(f.sizeHalfPoints / 2) + "pt";
            if (f.bold)
                h += ";font-weight:bold";
            if (f.italic)
                h += ";font-style:italic";
            if (f.underline)
                h += ";text-decoration:underline";
            if (f.color.isValid())
                h += ";color:" + f.color.name();
            h += "\">" + Escape(r.text) + "</span>";
        }
        h += item ? "</li>" : "</p>";
    }
    if (inList)
        h += "</ul>";
    return h + "</body></html>";
}

// Customer notes as a memo field would hold them: a few formatted paragraphs, a short list,
// some accented words.
const Records& Data()
{
    static const Records records = [] {
        Records r;
        std::mt19937 rng(42);
        const QStringList words = {"order",  "delivery", "invoice", "customer", "café",   "größe",
                                   "naïve",  "résumé",   "payment", "address",  "phone",  "called",
                                   "agreed", "discount", "€",       "pending",  "urgent", "next"};
        const auto sentence = [&](int n) {
            QString s;
            for (int i = 0; i < n; ++i)
                s += (i ? " " : "") + words[int(rng() % words.size())];
            return s + ". ";
        };
        const QStringList fonts = {"Arial", "Times New Roman", "Courier New"};
        for (int i = 0; i < kRecords; ++i) {
            RichDocument d;
            for (int p = 0; p < 4; ++p) {
                RichParaFormat pf;
                pf.alignment = RichAlignment(rng() % 4);
                if (p == 1 || p == 2) {
                    pf.numbering.style = RichNumberStyle::Bullet;
                    pf.SetIndents(360, 360, 0);
                }
                d.AppendParagraph(pf);
                for (int run = 0; run < 3; ++run) {
                    RichCharFormat f;
                    f.fontName = fonts[int(rng() % fonts.size())];
                    f.sizeHalfPoints = 20 + 2 * int(rng() % 4);
                    f.bold = rng() % 3 == 0;
                    f.italic = rng() % 4 == 0;
                    f.underline = rng() % 6 == 0;
                    if (rng() % 4 == 0)
                        f.color = QColor::fromRgb(QRgb(rng() & 0xffffff));
                    d.AppendText(sentence(3 + int(rng() % 4)), f);
                }
            }
            r.rtf.push_back(WriteRtf(d));
            r.html.push_back(HtmlOf(d));
            r.rtfBytes += r.rtf.back().size();
            r.htmlBytes += r.html.back().toUtf8().size();
        }
        return r;
    }();
    return records;
}

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
