#include "platform/richtext/CodePage.h"
#include "platform/richtext/Rtf.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <vector>

namespace vyn {

namespace {

constexpr int kLevels = 9;

// One list per unbroken stretch of numbered paragraphs, so that other programs restart the
// numbering where the editor does.
struct ListDef
{
    std::optional<RichNumbering> levels[kLevels];
};

class Writer
{
public:
    explicit Writer(const RichDocument& doc) : m_doc(doc) {}
    QByteArray Write();

private:
    void CollectTables();
    void WriteHeader();
    void WriteParaFormat(const RichParaFormat& f, int list);
    void WriteCharFormat(const RichCharFormat& f);
    void WriteText(const QString& text);
    void Word(const char* word);
    void Word(const char* word, int value);
    void Char(char c);

    const RichDocument& m_doc;
    QByteArray m_out;
    bool m_delimit = false; // a control word was written and awaits its delimiter
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    std::vector<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex; // as written by \cf: the table starts with "automatic"
    std::vector<ListDef> m_lists;
    std::vector<int> m_paraList; // list number (1-based) per paragraph, 0 when not numbered
    RichCharFormat m_cur;
};

void Writer::Word(const char* word)
{
    m_out += '\\';
    m_out += word;
    m_delimit = true;
}

void Writer::Word(const char* word, int value)
{
    m_out += '\\';
    m_out += word;
    m_out += QByteArray::number(value);
    m_delimit = true;
}

void Writer::Char(char c)
{
    const bool wouldJoin = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == ' ' || c == '-';
    if (m_delimit && wouldJoin)
        m_out += ' ';
    m_delimit = false;
    m_out += c;
}

void Writer::CollectTables()
{
    ListDef* open = nullptr;
    m_paraList.reserve(m_doc.Paragraphs().size());
    for (const RichParagraph& p : m_doc.Paragraphs()) {
        for (const RichRun& r : p.runs) {
            if (!r.format.fontName.isEmpty() && !m_fontIndex.contains(r.format.fontName)) {
                m_fontIndex.insert(r.format.fontName, int(m_fonts.size()));
                m_fonts.append(r.format.fontName);
            }
            if (r.format.color.isValid()) {
                const QRgb rgb = r.format.color.rgb();
                if (!m_colorIndex.contains(rgb)) {
                    m_colors.push_back(rgb);
                    m_colorIndex.insert(rgb, int(m_colors.size()));
                }
            }
        }
        const RichNumbering& n = p.format.numbering;
        if (n.IsNone()) {
            open = nullptr;
            m_paraList.push_back(0);
            continue;
        }
        const int level = std::clamp(n.level, 0, kLevels - 1);
        if (open && open->levels[level] && !(*open->levels[level] == n))
            open = nullptr;
        if (!open) {
            m_lists.emplace_back();
            open = &m_lists.back();
        }
        open->levels[level] = n;
        m_paraList.push_back(int(m_lists.size()));
    }
}

void Writer::WriteText(const QString& text)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            m_delimit = false;
            m_out += '\\';
            m_out += char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            Char(char(c));
        } else if (c == '\t') {
            Word("tab");
        } else if (c == 0x2028) {
            Word("line");
        } else {
            Word("u", int(qint16(c)));
            const unsigned char fallback = c >= 0x80 ? rtf::EncodeCp1252(c) : 0;
            if (fallback) {
                static const char hex[] = "0123456789abcdef";
                m_out += "\\'";
                m_out += hex[fallback >> 4];
                m_out += hex[fallback & 15];
                m_delimit = false;
            } else {
                Char('?');
            }
        }
    }
}

void Writer::WriteHeader()
{
    m_out += "{\\rtf1\\ansi\\ansicpg1252\\uc1";
    if (!m_fonts.isEmpty()) {
        m_out += "{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i) {
            m_out += "{";
            Word("f", i);
            Word("fnil");
            Word("fcharset", 0);
            // A ';' inside the name would end it, so it travels escaped.
            for (const QChar c : m_fonts[i]) {
                if (c == QLatin1Char(';')) {
                    m_out += "\\'3b";
                    m_delimit = false;
                } else {
                    WriteText(QString(c));
                }
            }
            m_out += ";}";
            m_delimit = false;
        }
        m_out += "}";
    }
    if (!m_colors.empty()) {
        m_out += "{\\colortbl;";
        for (QRgb rgb : m_colors) {
            Word("red", qRed(rgb));
            Word("green", qGreen(rgb));
            Word("blue", qBlue(rgb));
            m_out += ';';
        }
        m_out += "}";
    }
    if (!m_lists.empty()) {
        m_out += "{\\*\\listtable";
        for (size_t i = 0; i < m_lists.size(); ++i) {
            const ListDef& def = m_lists[i];
            int count = 0;
            for (int l = 0; l < kLevels; ++l)
                if (def.levels[l])
                    count = l + 1;
            m_out += "{\\list\\listtemplateid" + QByteArray::number(int(i) + 1);
            if (count == 1)
                m_out += "\\listsimple";
            for (int l = 0; l < count; ++l) {
                const RichNumbering n =
                    def.levels[l].value_or(RichNumbering{RichNumberStyle::Arabic, l, 1});
                const int nfc = int(n.style);
                m_out += "{\\listlevel\\levelnfc" + QByteArray::number(nfc) + "\\levelnfcn" +
                         QByteArray::number(nfc) +
                         "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" +
                         QByteArray::number(n.start);
                if (n.style == RichNumberStyle::Bullet)
                    m_out += "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}";
                else
                    m_out += "{\\leveltext\\'02\\'0" + QByteArray::number(l) +
                             ".;}{\\levelnumbers\\'01;}";
                m_out += "}";
            }
            m_out += "\\listid" + QByteArray::number(int(i) + 1) + "}";
        }
        m_out += "}{\\*\\listoverridetable";
        for (size_t i = 0; i < m_lists.size(); ++i)
            m_out += "{\\listoverride\\listid" + QByteArray::number(int(i) + 1) +
                     "\\listoverridecount0\\ls" + QByteArray::number(int(i) + 1) + "}";
        m_out += "}";
    }
    m_out += '\n';
    m_delimit = false;
}

void Writer::WriteParaFormat(const RichParaFormat& f, int list)
{
    Word("pard");
    switch (f.alignment) {
    case RichAlignment::Left:
        break;
    case RichAlignment::Center:
        Word("qc");
        break;
    case RichAlignment::Right:
        Word("qr");
        break;
    case RichAlignment::Justify:
        Word("qj");
        break;
    }
    if (f.li)
        Word("li", f.li);
    if (f.fi)
        Word("fi", f.fi);
    if (f.ri)
        Word("ri", f.ri);
    if (list) {
        Word("ls", list);
        Word("ilvl", std::clamp(f.numbering.level, 0, kLevels - 1));
    }
}

void Writer::WriteCharFormat(const RichCharFormat& f)
{
    if (m_cur.fontName != f.fontName && f.fontName.isEmpty()) {
        // Only \plain returns to the default font; the rest is set again below.
        Word("plain");
        m_cur = RichCharFormat{};
    }
    if (m_cur.fontName != f.fontName)
        Word("f", m_fontIndex.value(f.fontName));
    if (m_cur.sizeHalfPoints != f.sizeHalfPoints)
        Word("fs", f.sizeHalfPoints);
    if (m_cur.bold != f.bold)
        f.bold ? Word("b") : Word("b", 0);
    if (m_cur.italic != f.italic)
        f.italic ? Word("i") : Word("i", 0);
    if (m_cur.underline != f.underline)
        f.underline ? Word("ul") : Word("ulnone");
    if (m_cur.strikeOut != f.strikeOut)
        f.strikeOut ? Word("strike") : Word("strike", 0);
    if (m_cur.color != f.color) {
        Word("cf", f.color.isValid() ? m_colorIndex.value(f.color.rgb()) : 0);
    }
    m_cur = f;
}

QByteArray Writer::Write()
{
    CollectTables();
    WriteHeader();
    const auto& paras = m_doc.Paragraphs();
    for (size_t i = 0; i < paras.size(); ++i) {
        const RichParagraph& p = paras[i];
        const int list = m_paraList[i];
        if (i == 0 || !(p.format == paras[i - 1].format) || list != m_paraList[i - 1])
            WriteParaFormat(p.format, list);
        for (const RichRun& r : p.runs) {
            WriteCharFormat(r.format);
            WriteText(r.text);
        }
        m_out += "\\par\n";
        m_delimit = false;
    }
    m_out += '}';
    return m_out;
}

} // namespace

QByteArray WriteRtf(const RichDocument& doc)
{
    return Writer(doc).Write();
}

} // namespace vyn
