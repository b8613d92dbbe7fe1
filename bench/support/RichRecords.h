#pragma once

// Memo fields as a customer database would hold them, for the rich-text benchmarks: 10,000
// records of about 1 KB of RTF (a few formatted paragraphs, a short list, some accented words),
// each also as HTML of the same content for Qt's own way of loading formatted text.

#include "platform/richtext/Rtf.h"

#include <QStringList>
#include <random>
#include <vector>

namespace vyn::bench {

constexpr int kRecords = 10000;

struct Records
{
    std::vector<QByteArray> rtf;
    std::vector<QString> html;
    qint64 rtfBytes = 0;
    qint64 htmlBytes = 0;
};

inline QString Escape(const QString& s)
{
    return s.toHtmlEscaped();
}

inline QString HtmlOf(const RichDocument& doc)
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
inline const Records& Data()
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

} // namespace vyn::bench
