#include "platform/richtext/CodePage.h"
#include "platform/richtext/Rtf.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vyn {

namespace {

using namespace rtf;

// Deeper groups are still matched brace for brace, but share the deepest saved state, so hostile
// nesting costs no memory.
constexpr int kMaxDepth = 256;
constexpr int kMaxListLevels = 9;
constexpr int kDefaultSize = 24;

enum class Dest : uint8_t {
    Text,
    FontTable,
    ColorTable,
    ListTable,
    List,
    ListLevel,
    ListOverrideTable,
    ListOverride,
    Pn,
    Upr,
};

enum class Cmd : uint8_t {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    ListTable,
    List,
    ListLevel,
    ListOverrideTable,
    ListOverride,
    Pn,
    Upr,
    Ud,
    Skip, // a destination whose content is never text
    Text, // a destination whose content is document text
    // document
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    Uc,
    U,
    Bin,
    // fonts and colours
    F,
    FCharset,
    CPg,
    Red,
    Green,
    Blue,
    // character format
    Plain,
    Fs,
    B,
    I,
    Ul,
    UlNone,
    Strike,
    Cf,
    // paragraph format
    Pard,
    Ql,
    Qc,
    Qr,
    Qj,
    Li,
    Fi,
    Ri,
    Ls,
    Ilvl,
    // lists
    ListId,
    LevelNfc,
    LevelNfcN,
    LevelStartAt,
    PnLvlBlt,
    PnLvlBody,
    PnLvlCont,
    PnLvl,
    PnStyle, // parameter carries the number style
    PnStart,
    // special characters
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Char, // parameter carries the character
};

struct CmdInfo
{
    Cmd cmd;
    int arg = 0;
};

const std::unordered_map<std::string_view, CmdInfo>& CommandTable()
{
    static const std::unordered_map<std::string_view, CmdInfo> table = [] {
        std::unordered_map<std::string_view, CmdInfo> t;
        for (const char* name : {"stylesheet",   "info",       "pict",        "header",
                                 "headerl",      "headerr",    "headerf",     "footer",
                                 "footerl",      "footerr",    "footerf",     "footnote",
                                 "fldinst",      "pntext",     "listtext",    "object",
                                 "shp",          "shppict",    "nonshppict",  "xe",
                                 "tc",           "txe",        "rxe",         "template",
                                 "bkmkstart",    "bkmkend",    "revtbl",      "rsidtbl",
                                 "generator",    "filetbl",    "themedata",   "colorschememapping",
                                 "latentstyles", "datastore",  "pgdsctbl",    "ftnsep",
                                 "ftnsepc",      "ftncn",      "aftnsep",     "aftnsepc",
                                 "aftncn",       "background", "userprops",   "docvar",
                                 "listpicture",  "pntxta",     "pntxtb",      "leveltext",
                                 "levelnumbers", "listname",   "lfolevel",    "annotation",
                                 "atnid",        "atnauthor",  "mmathPr",     "xmlnstbl",
                                 "objdata",      "blipuid",    "fontemb",     "fontfile",
                                 "panose",       "falt",       "fname",       "defchp",
                                 "defpap",       "pnseclvl",   "protusertbl", "wgrffmtfilter"})
            t[name] = {Cmd::Skip};
        for (const char* name : {"fldrslt", "field", "shprslt", "result"})
            t[name] = {Cmd::Text};
        const std::pair<const char*, CmdInfo> rest[] = {
            {"fonttbl", {Cmd::FontTable}},
            {"colortbl", {Cmd::ColorTable}},
            {"listtable", {Cmd::ListTable}},
            {"list", {Cmd::List}},
            {"listlevel", {Cmd::ListLevel}},
            {"listoverridetable", {Cmd::ListOverrideTable}},
            {"listoverride", {Cmd::ListOverride}},
            {"pn", {Cmd::Pn}},
            {"upr", {Cmd::Upr}},
            {"ud", {Cmd::Ud}},
            {"ansi", {Cmd::Ansi}},
            {"mac", {Cmd::Mac}},
            {"pc", {Cmd::Pc}},
            {"pca", {Cmd::Pca}},
            {"ansicpg", {Cmd::AnsiCpg}},
            {"deff", {Cmd::Deff}},
            {"uc", {Cmd::Uc}},
            {"u", {Cmd::U}},
            {"bin", {Cmd::Bin}},
            {"f", {Cmd::F}},
            {"fcharset", {Cmd::FCharset}},
            {"cpg", {Cmd::CPg}},
            {"red", {Cmd::Red}},
            {"green", {Cmd::Green}},
            {"blue", {Cmd::Blue}},
            {"plain", {Cmd::Plain}},
            {"fs", {Cmd::Fs}},
            {"b", {Cmd::B}},
            {"i", {Cmd::I}},
            {"ul", {Cmd::Ul}},
            {"uld", {Cmd::Ul}},
            {"uldash", {Cmd::Ul}},
            {"uldashd", {Cmd::Ul}},
            {"uldashdd", {Cmd::Ul}},
            {"uldb", {Cmd::Ul}},
            {"ulth", {Cmd::Ul}},
            {"ulw", {Cmd::Ul}},
            {"ulwave", {Cmd::Ul}},
            {"ulhwave", {Cmd::Ul}},
            {"ululdbwave", {Cmd::Ul}},
            {"ulldash", {Cmd::Ul}},
            {"ulthd", {Cmd::Ul}},
            {"ulthdash", {Cmd::Ul}},
            {"ulnone", {Cmd::UlNone}},
            {"strike", {Cmd::Strike}},
            {"striked", {Cmd::Strike}},
            {"cf", {Cmd::Cf}},
            {"pard", {Cmd::Pard}},
            {"ql", {Cmd::Ql}},
            {"qc", {Cmd::Qc}},
            {"qr", {Cmd::Qr}},
            {"qj", {Cmd::Qj}},
            {"qd", {Cmd::Qj}},
            {"li", {Cmd::Li}},
            {"lin", {Cmd::Li}},
            {"fi", {Cmd::Fi}},
            {"ri", {Cmd::Ri}},
            {"rin", {Cmd::Ri}},
            {"ls", {Cmd::Ls}},
            {"ilvl", {Cmd::Ilvl}},
            {"listid", {Cmd::ListId}},
            {"levelnfc", {Cmd::LevelNfc}},
            {"levelnfcn", {Cmd::LevelNfcN}},
            {"levelstartat", {Cmd::LevelStartAt}},
            {"pnlvlblt", {Cmd::PnLvlBlt}},
            {"pnlvlbody", {Cmd::PnLvlBody}},
            {"pnlvlcont", {Cmd::PnLvlCont}},
            {"pnlvl", {Cmd::PnLvl}},
            {"pndec", {Cmd::PnStyle, int(RichNumberStyle::Arabic)}},
            {"pnucrm", {Cmd::PnStyle, int(RichNumberStyle::UpperRoman)}},
            {"pnlcrm", {Cmd::PnStyle, int(RichNumberStyle::LowerRoman)}},
            {"pnucltr", {Cmd::PnStyle, int(RichNumberStyle::UpperLetter)}},
            {"pnlcltr", {Cmd::PnStyle, int(RichNumberStyle::LowerLetter)}},
            {"pnord", {Cmd::PnStyle, int(RichNumberStyle::Ordinal)}},
            {"pncard", {Cmd::PnStyle, int(RichNumberStyle::CardinalText)}},
            {"pnordt", {Cmd::PnStyle, int(RichNumberStyle::OrdinalText)}},
            {"pnstart", {Cmd::PnStart}},
            {"par", {Cmd::Par}},
            {"line", {Cmd::Line}},
            {"tab", {Cmd::Tab}},
            {"cell", {Cmd::Cell}},
            {"nestcell", {Cmd::Cell}},
            {"row", {Cmd::Row}},
            {"nestrow", {Cmd::Row}},
            {"emdash", {Cmd::Char, 0x2014}},
            {"endash", {Cmd::Char, 0x2013}},
            {"emspace", {Cmd::Char, 0x2003}},
            {"enspace", {Cmd::Char, 0x2002}},
            {"qmspace", {Cmd::Char, 0x2005}},
            {"bullet", {Cmd::Char, 0x2022}},
            {"lquote", {Cmd::Char, 0x2018}},
            {"rquote", {Cmd::Char, 0x2019}},
            {"ldblquote", {Cmd::Char, 0x201C}},
            {"rdblquote", {Cmd::Char, 0x201D}},
            {"zwj", {Cmd::Char, 0x200D}},
            {"zwnj", {Cmd::Char, 0x200C}},
            {"ltrmark", {Cmd::Char, 0x200E}},
            {"rtlmark", {Cmd::Char, 0x200F}},
        };
        for (const auto& [name, info] : rest)
            t[name] = info;
        return t;
    }();
    return table;
}

struct CharState
{
    int font = -1; // -1: the document's default font
    int size = kDefaultSize;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = -1; // index into the colour table; -1: automatic
};

struct ParaState
{
    RichAlignment alignment = RichAlignment::Left;
    int li = 0;
    int fi = 0;
    int ri = 0;
    int ls = 0;
    int ilvl = 0;
    RichNumbering pn; // from an old-style \pn group
};

struct State
{
    Dest dest = Dest::Text;
    Dest uprOuter = Dest::Text; // where a \ud group inside \upr sends its text
    Dest opened = Dest::Text;   // the destination this very group started, for its closing work
    int uc = 1;
    CharState ch;
    ParaState para;
};

struct Font
{
    QString name;
    int codePage = 0;
};

struct ListLevel
{
    int nfc = int(RichNumberStyle::Arabic);
    bool nfcN = false; // \levelnfcn seen: it wins over \levelnfc
    int start = 1;
};

using ListLevels = std::vector<ListLevel>;

bool IsAlpha(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}
int HexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One parser for both uses, so the plain-text fast path cannot drift from the document: with
// kBuild false it keeps only what decides which characters exist (destinations, code pages,
// \uc), and skips building runs and paragraph formats.
template <bool kBuild> class Parser
{
public:
    explicit Parser(const QByteArray& data)
        : m_p(reinterpret_cast<const unsigned char*>(data.constData())), m_end(m_p + data.size())
    {}

    void Run();

    RichDocument TakeDocument() { return std::move(m_doc); }
    QString TakeText() { return std::move(m_text); }

private:
    // input
    void ControlWord();
    void ControlSymbol();
    void OpenGroup();
    void CloseGroup();
    void SkipGroup();
    void Dispatch(std::string_view word, bool hasParam, int param);
    void StartDestination(Dest d);

    // text
    void AddByte(unsigned char b, bool raw);
    void AddChar(char16_t c);
    void FlushBytes();
    int CurrentCodePage();
    void EndParagraph();
    void Finish();
    RichCharFormat ResolveFormat() const;
    RichParaFormat ResolveParagraph() const;
    bool ConsumeSkip();

    void FinishFontEntry();
    void CloseDestination(Dest opened);

    const unsigned char* m_p;
    const unsigned char* m_end;

    State m_st;
    std::vector<State> m_stack;
    int m_excessDepth = 0;
    bool m_ignorable = false; // a \* came before the current control word
    int m_skip = 0;           // fallback characters still to drop after \u

    int m_docCodePage = 1252;
    int m_deff = -1;
    std::unordered_map<int, Font> m_fonts;
    int m_fontCacheIndex = -2;
    int m_fontCacheCodePage = 1252;

    // the font table entry being read
    int m_fontEntry = -1;
    int m_fontEntryCodePage = 0;
    QString m_fontName;
    bool m_fontNamePending = false;

    std::vector<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;

    std::unordered_map<int, ListLevels> m_lists; // by \listid
    std::unordered_map<int, int> m_overrides;    // \ls -> \listid
    ListLevels m_curList;
    int m_curListId = 0;
    int m_overrideListId = 0;
    int m_overrideLs = 0;
    RichNumbering m_curPn;

    std::string m_bytes; // undecoded \'hh and raw 8-bit bytes, decoded together (DBCS pairs)

    // the text built so far
    RichDocument m_doc;
    RichParagraph m_para;
    QString m_runText;
    RichCharFormat m_runFormat;
    bool m_formatDirty = true;
    bool m_cellTab = false; // last character was the tab \cell put in

    QString m_text;
    bool m_paraHasText = false;
    bool m_anyPara = false;
};

template <bool kBuild> void Parser<kBuild>::Run()
{
    m_stack.reserve(16);
    while (m_p < m_end) {
        const unsigned char c = *m_p;
        switch (c) {
        case '{':
            ++m_p;
            FlushBytes();
            m_skip = 0;
            OpenGroup();
            break;
        case '}':
            ++m_p;
            FlushBytes();
            m_skip = 0;
            CloseGroup();
            break;
        case '\\':
            ++m_p;
            if (m_p < m_end && IsAlpha(*m_p))
                ControlWord();
            else
                ControlSymbol();
            break;
        case '\r':
        case '\n':
            ++m_p;
            break;
        default:
            if (c >= 0x80) {
                ++m_p;
                AddByte(c, true);
                break;
            }
            if (m_st.dest == Dest::Text && m_skip == 0 && m_bytes.empty() && c >= 0x20) {
                // A stretch of plain ASCII text, taken in one piece.
                const unsigned char* s = m_p;
                while (m_p < m_end && *m_p >= 0x20 && *m_p < 0x80 && *m_p != '\\' && *m_p != '{' &&
                       *m_p != '}')
                    ++m_p;
                const auto len = qsizetype(m_p - s);
                if constexpr (kBuild) {
                    if (m_formatDirty)
                        AddChar(*s++); // settles the run's format first
                    m_runText.append(
                        QLatin1StringView(reinterpret_cast<const char*>(s), qsizetype(m_p - s)));
                } else {
                    m_text.append(QLatin1StringView(reinterpret_cast<const char*>(s), len));
                }
                m_paraHasText = true;
                m_cellTab = false;
                break;
            }
            ++m_p;
            AddByte(c, true);
            break;
        }
    }
    Finish();
}

template <bool kBuild> void Parser<kBuild>::OpenGroup()
{
    m_ignorable = false;
    if (int(m_stack.size()) >= kMaxDepth) {
        ++m_excessDepth;
        return;
    }
    m_stack.push_back(m_st);
    m_st.opened = Dest::Text;
}

template <bool kBuild> void Parser<kBuild>::CloseGroup()
{
    m_ignorable = false;
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return;
    }
    if (m_stack.empty())
        return; // unbalanced: ignore the stray brace
    if (m_st.dest == Dest::FontTable && m_fontNamePending)
        FinishFontEntry(); // an entry may end with its group instead of ';'
    if (m_stack.size() == 1) {
        // The document's own group ends here; whatever follows is not part of it, and the
        // final paragraph keeps the properties in force.
        m_p = m_end;
        return;
    }
    const State closed = m_st;
    m_st = m_stack.back();
    m_stack.pop_back();
    if (closed.opened != Dest::Text)
        CloseDestination(closed.opened);
    if constexpr (kBuild)
        m_formatDirty = true;
}

// Drops the rest of the current group without interpreting it.
template <bool kBuild> void Parser<kBuild>::SkipGroup()
{
    int depth = 1;
    while (m_p < m_end) {
        const unsigned char c = *m_p++;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                break;
        } else if (c == '\\' && m_p < m_end) {
            if (!IsAlpha(*m_p)) {
                ++m_p;
                continue;
            }
            const unsigned char* w = m_p;
            while (m_p < m_end && IsAlpha(*m_p))
                ++m_p;
            const bool isBin =
                m_p - w == 3 && std::string_view(reinterpret_cast<const char*>(w), 3) == "bin";
            bool neg = m_p < m_end && *m_p == '-';
            if (neg)
                ++m_p;
            int64_t n = 0;
            while (m_p < m_end && IsDigit(*m_p)) {
                if (n < (int64_t(1) << 40))
                    n = n * 10 + (*m_p - '0');
                ++m_p;
            }
            if (m_p < m_end && *m_p == ' ')
                ++m_p;
            if (isBin && !neg)
                m_p += std::min<int64_t>(n, m_end - m_p);
        }
    }
    // The group's closing brace is consumed; restore what it saved.
    if (m_excessDepth > 0) {
        --m_excessDepth;
    } else if (m_stack.size() > 1) {
        m_st = m_stack.back();
        m_stack.pop_back();
    } else {
        m_p = m_end; // it was the document's own group
    }
    if constexpr (kBuild)
        m_formatDirty = true;
}

template <bool kBuild> void Parser<kBuild>::ControlWord()
{
    const unsigned char* w = m_p;
    while (m_p < m_end && IsAlpha(*m_p))
        ++m_p;
    const std::string_view word(reinterpret_cast<const char*>(w), size_t(m_p - w));
    bool hasParam = false;
    bool neg = false;
    if (m_p + 1 < m_end && *m_p == '-' && IsDigit(m_p[1])) {
        neg = true;
        ++m_p;
    }
    int64_t n = 0;
    while (m_p < m_end && IsDigit(*m_p)) {
        hasParam = true;
        if (n < (int64_t(1) << 40)) // further digits cannot change the clamped value
            n = n * 10 + (*m_p - '0');
        ++m_p;
    }
    if (m_p < m_end && *m_p == ' ')
        ++m_p;
    if (neg)
        n = -n;
    const int param = int(std::clamp<int64_t>(n, INT32_MIN, INT32_MAX));
    Dispatch(word, hasParam, param);
}

template <bool kBuild> void Parser<kBuild>::ControlSymbol()
{
    if (m_p >= m_end)
        return;
    const unsigned char c = *m_p++;
    switch (c) {
    case '\'': {
        int v = 0, digits = 0;
        while (digits < 2 && m_p < m_end && HexValue(*m_p) >= 0) {
            v = v * 16 + HexValue(*m_p++);
            ++digits;
        }
        if (digits > 0)
            AddByte(static_cast<unsigned char>(v), false);
        return;
    }
    case '*':
        m_ignorable = true;
        return;
    case '\r':
    case '\n':
        Dispatch("par", false, 0);
        return;
    case '\\':
    case '{':
    case '}':
        FlushBytes();
        if (!ConsumeSkip())
            AddChar(c);
        return;
    case '~':
    case '-':
    case '_':
        FlushBytes();
        if (!ConsumeSkip())
            AddChar(c == '~' ? 0x00A0 : c == '-' ? 0x00AD : 0x2011);
        return;
    case '\t':
        Dispatch("tab", false, 0);
        return;
    default:
        FlushBytes();
        ConsumeSkip(); // \| \: and other symbols carry no text
        return;
    }
}

template <bool kBuild> bool Parser<kBuild>::ConsumeSkip()
{
    if (m_skip > 0) {
        --m_skip;
        return true;
    }
    return false;
}

template <bool kBuild> void Parser<kBuild>::StartDestination(Dest d)
{
    m_st.dest = d;
    m_st.opened = d;
}

template <bool kBuild>
void Parser<kBuild>::Dispatch(std::string_view word, bool hasParam, int param)
{
    FlushBytes();
    const bool ignorable = m_ignorable;
    m_ignorable = false;
    if (word.empty())
        return;
    if (m_skip > 0 && word != "bin") {
        --m_skip;
        return;
    }
    const auto& table = CommandTable();
    const auto it = table.find(word);
    const CmdInfo info = it == table.end() ? CmdInfo{Cmd::Unknown} : it->second;
    const bool on = !hasParam || param != 0;
    const Dest dest = m_st.dest;

    switch (info.cmd) {
    case Cmd::Unknown:
        if (ignorable)
            SkipGroup();
        return;
    case Cmd::Skip:
        SkipGroup();
        return;
    case Cmd::Text:
        return;
    case Cmd::FontTable:
        StartDestination(Dest::FontTable);
        return;
    case Cmd::ColorTable:
        m_colors.clear();
        m_colorSet = false;
        m_red = m_green = m_blue = 0;
        StartDestination(Dest::ColorTable);
        return;
    case Cmd::ListTable:
        StartDestination(Dest::ListTable);
        return;
    case Cmd::List:
        if (dest != Dest::ListTable)
            return SkipGroup();
        m_curList.clear();
        m_curListId = 0;
        StartDestination(Dest::List);
        return;
    case Cmd::ListLevel:
        if (dest != Dest::List)
            return SkipGroup();
        if (m_curList.size() < kMaxListLevels)
            m_curList.emplace_back();
        StartDestination(Dest::ListLevel);
        return;
    case Cmd::ListOverrideTable:
        StartDestination(Dest::ListOverrideTable);
        return;
    case Cmd::ListOverride:
        if (dest != Dest::ListOverrideTable)
            return SkipGroup();
        m_overrideListId = 0;
        m_overrideLs = 0;
        StartDestination(Dest::ListOverride);
        return;
    case Cmd::Pn:
        if (dest != Dest::Text)
            return SkipGroup();
        m_curPn = RichNumbering{RichNumberStyle::Arabic, 0, 1};
        StartDestination(Dest::Pn);
        return;
    case Cmd::Upr:
        m_st.uprOuter = dest;
        m_st.dest = Dest::Upr;
        return;
    case Cmd::Ud:
        if (dest == Dest::Upr)
            m_st.dest = m_st.uprOuter;
        return;
    default:
        break;
    }

    if (dest == Dest::Pn) {
        switch (info.cmd) {
        case Cmd::PnLvlBlt:
            m_curPn.style = RichNumberStyle::Bullet;
            return;
        case Cmd::PnLvlBody:
            m_curPn.level = 0;
            return;
        case Cmd::PnLvlCont:
            m_curPn.style = RichNumberStyle::None;
            return;
        case Cmd::PnLvl:
            m_curPn.level = std::clamp(param - 1, 0, kMaxListLevels - 1);
            return;
        case Cmd::PnStyle:
            if (m_curPn.style != RichNumberStyle::Bullet && m_curPn.style != RichNumberStyle::None)
                m_curPn.style = RichNumberStyle(info.arg);
            return;
        case Cmd::PnStart:
            m_curPn.start = param;
            return;
        default:
            return;
        }
    }

    if (dest == Dest::ListLevel && !m_curList.empty()) {
        ListLevel& lvl = m_curList.back();
        switch (info.cmd) {
        case Cmd::LevelNfc:
            if (!lvl.nfcN)
                lvl.nfc = std::clamp(param, 0, 255);
            return;
        case Cmd::LevelNfcN:
            lvl.nfc = std::clamp(param, 0, 255);
            lvl.nfcN = true;
            return;
        case Cmd::LevelStartAt:
            lvl.start = param;
            return;
        default:
            return;
        }
    }
    if (dest == Dest::List) {
        if (info.cmd == Cmd::ListId)
            m_curListId = param;
        return;
    }
    if (dest == Dest::ListOverride) {
        if (info.cmd == Cmd::ListId)
            m_overrideListId = param;
        else if (info.cmd == Cmd::Ls)
            m_overrideLs = param;
        return;
    }
    if (dest == Dest::ListTable || dest == Dest::ListOverrideTable)
        return;

    if (dest == Dest::FontTable) {
        switch (info.cmd) {
        case Cmd::F:
            if (m_fontNamePending)
                FinishFontEntry();
            m_fontEntry = param;
            m_fontEntryCodePage = 0;
            m_fontName.clear();
            m_fontNamePending = true;
            return;
        case Cmd::FCharset:
            m_fontEntryCodePage = CodePageOfCharset(param);
            return;
        case Cmd::CPg:
            if (param > 0)
                m_fontEntryCodePage = param;
            return;
        case Cmd::U:
        case Cmd::Tab:
        case Cmd::Line:
        case Cmd::Char:
            break; // characters of the font's name
        default:
            return;
        }
    }

    if (dest == Dest::ColorTable) {
        const int v = std::clamp(param, 0, 255);
        switch (info.cmd) {
        case Cmd::Red:
            m_red = v, m_colorSet = true;
            return;
        case Cmd::Green:
            m_green = v, m_colorSet = true;
            return;
        case Cmd::Blue:
            m_blue = v, m_colorSet = true;
            return;
        default:
            return;
        }
    }

    switch (info.cmd) {
    case Cmd::Ansi:
        m_docCodePage = 1252;
        break;
    case Cmd::Mac:
        m_docCodePage = 10000;
        break;
    case Cmd::Pc:
        m_docCodePage = 437;
        break;
    case Cmd::Pca:
        m_docCodePage = 850;
        break;
    case Cmd::AnsiCpg:
        if (param > 0)
            m_docCodePage = param;
        m_fontCacheIndex = -2;
        break;
    case Cmd::Deff:
        m_deff = param;
        m_fontCacheIndex = -2;
        break;
    case Cmd::Uc:
        m_st.uc = std::clamp(param, 0, 16);
        break;
    case Cmd::U: {
        if (hasParam && param >= -32768 && param <= 65535)
            AddChar(char16_t(param & 0xFFFF));
        m_skip = m_st.uc;
        break;
    }
    case Cmd::Bin: {
        const int64_t n = hasParam && param > 0 ? param : 0;
        m_p += std::min<int64_t>(n, m_end - m_p);
        break;
    }
    case Cmd::F:
        m_st.ch.font = param;
        break;
    case Cmd::Plain:
        m_st.ch = CharState{};
        break;
    case Cmd::Fs:
        m_st.ch.size = param > 0 && param <= 3276 ? param : kDefaultSize;
        break;
    case Cmd::B:
        m_st.ch.bold = on;
        break;
    case Cmd::I:
        m_st.ch.italic = on;
        break;
    case Cmd::Ul:
        m_st.ch.underline = on;
        break;
    case Cmd::UlNone:
        m_st.ch.underline = false;
        break;
    case Cmd::Strike:
        m_st.ch.strike = on;
        break;
    case Cmd::Cf:
        m_st.ch.color = param;
        break;
    case Cmd::Pard:
        m_st.para = ParaState{};
        break;
    case Cmd::Ql:
        m_st.para.alignment = RichAlignment::Left;
        break;
    case Cmd::Qc:
        m_st.para.alignment = RichAlignment::Center;
        break;
    case Cmd::Qr:
        m_st.para.alignment = RichAlignment::Right;
        break;
    case Cmd::Qj:
        m_st.para.alignment = RichAlignment::Justify;
        break;
    case Cmd::Li:
        m_st.para.li = param;
        break;
    case Cmd::Fi:
        m_st.para.fi = param;
        break;
    case Cmd::Ri:
        m_st.para.ri = param;
        break;
    case Cmd::Ls:
        m_st.para.ls = param;
        break;
    case Cmd::Ilvl:
        m_st.para.ilvl = std::clamp(param, 0, kMaxListLevels - 1);
        break;
    case Cmd::Par:
        if (dest == Dest::Text)
            EndParagraph();
        break;
    case Cmd::Row:
        if (dest == Dest::Text) {
            if (m_cellTab) {
                // the last cell's tab separates nothing
                if constexpr (kBuild)
                    m_runText.chop(1);
                else
                    m_text.chop(1);
            }
            EndParagraph();
        }
        break;
    case Cmd::Line:
        AddChar(0x2028);
        break;
    case Cmd::Tab:
        AddChar('\t');
        break;
    case Cmd::Cell:
        AddChar('\t');
        m_cellTab = dest == Dest::Text;
        return;
    case Cmd::Char:
        AddChar(char16_t(info.arg));
        break;
    default:
        break;
    }
    if constexpr (kBuild) {
        if (info.cmd == Cmd::F || info.cmd == Cmd::Plain || info.cmd == Cmd::Fs ||
            info.cmd == Cmd::B || info.cmd == Cmd::I || info.cmd == Cmd::Ul ||
            info.cmd == Cmd::UlNone || info.cmd == Cmd::Strike || info.cmd == Cmd::Cf)
            m_formatDirty = true;
    }
}

template <bool kBuild> void Parser<kBuild>::CloseDestination(Dest opened)
{
    switch (opened) {
    case Dest::FontTable:
        if (m_fontNamePending)
            FinishFontEntry();
        m_fontCacheIndex = -2;
        break;
    case Dest::ColorTable:
        break;
    case Dest::List:
        if (m_lists.find(m_curListId) == m_lists.end())
            m_lists.emplace(m_curListId, std::move(m_curList));
        m_curList.clear();
        break;
    case Dest::ListOverride:
        m_overrides[m_overrideLs] = m_overrideListId;
        break;
    case Dest::Pn:
        // the numbering belongs to the paragraph that holds the \pn group
        m_st.para.pn = m_curPn;
        break;
    default:
        break;
    }
}

template <bool kBuild> void Parser<kBuild>::FinishFontEntry()
{
    m_fontNamePending = false;
    Font f{m_fontName.trimmed(), m_fontEntryCodePage};
    m_fonts.insert_or_assign(m_fontEntry, std::move(f));
    m_fontName.clear();
}

template <bool kBuild> int Parser<kBuild>::CurrentCodePage()
{
    if (m_st.dest == Dest::FontTable)
        return m_fontEntryCodePage ? m_fontEntryCodePage : m_docCodePage;
    const int font = m_st.ch.font >= 0 ? m_st.ch.font : m_deff;
    if (font != m_fontCacheIndex) {
        m_fontCacheIndex = font;
        const auto it = m_fonts.find(font);
        m_fontCacheCodePage =
            it != m_fonts.end() && it->second.codePage ? it->second.codePage : m_docCodePage;
    }
    return m_fontCacheCodePage;
}

template <bool kBuild> void Parser<kBuild>::AddByte(unsigned char b, bool raw)
{
    if (raw && b < 0x20 && b != '\t')
        return; // stray control characters are not text
    switch (m_st.dest) {
    case Dest::Text:
        break;
    case Dest::FontTable:
        if (raw && b == ';') {
            FlushBytes();
            if (m_fontNamePending)
                FinishFontEntry();
            return;
        }
        break;
    case Dest::ColorTable:
        if (raw && b == ';') {
            m_colors.push_back(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
            m_red = m_green = m_blue = 0;
            m_colorSet = false;
        }
        return;
    default:
        ConsumeSkip();
        return;
    }
    if (m_bytes.empty() && b < 0x80) {
        if (!ConsumeSkip())
            AddChar(b);
        return;
    }
    if (ConsumeSkip())
        return;
    m_bytes.push_back(char(b));
}

template <bool kBuild> void Parser<kBuild>::FlushBytes()
{
    if (m_bytes.empty())
        return;
    QString s;
    DecodeCodePage(CurrentCodePage(), m_bytes.data(), m_bytes.size(), s);
    m_bytes.clear();
    for (QChar c : s)
        AddChar(c.unicode());
}

template <bool kBuild> RichCharFormat Parser<kBuild>::ResolveFormat() const
{
    RichCharFormat f;
    const int font = m_st.ch.font >= 0 ? m_st.ch.font : m_deff;
    if (const auto it = m_fonts.find(font); it != m_fonts.end())
        f.fontName = it->second.name;
    f.sizeHalfPoints = m_st.ch.size;
    f.bold = m_st.ch.bold;
    f.italic = m_st.ch.italic;
    f.underline = m_st.ch.underline;
    f.strikeOut = m_st.ch.strike;
    if (m_st.ch.color >= 0 && m_st.ch.color < int(m_colors.size()))
        f.color = m_colors[size_t(m_st.ch.color)];
    return f;
}

template <bool kBuild> RichParaFormat Parser<kBuild>::ResolveParagraph() const
{
    RichParaFormat f;
    const ParaState& p = m_st.para;
    f.alignment = p.alignment;
    f.li = p.li;
    f.fi = p.fi;
    f.ri = p.ri;
    if (p.ls > 0) {
        RichNumbering n{RichNumberStyle::Bullet, p.ilvl, 1};
        if (const auto o = m_overrides.find(p.ls); o != m_overrides.end()) {
            if (const auto l = m_lists.find(o->second); l != m_lists.end() && !l->second.empty()) {
                const ListLevel& lvl = l->second[std::min(size_t(p.ilvl), l->second.size() - 1)];
                n.style = RichNumberStyle(lvl.nfc);
                n.start = lvl.start;
            }
        }
        f.numbering = n;
    } else {
        f.numbering = p.pn;
    }
    if (f.numbering.style == RichNumberStyle::None)
        f.numbering = RichNumbering{};
    return f;
}

template <bool kBuild> void Parser<kBuild>::AddChar(char16_t c)
{
    switch (m_st.dest) {
    case Dest::Text:
        break;
    case Dest::FontTable:
        if (m_fontNamePending)
            m_fontName += QChar(c);
        return;
    default:
        return;
    }
    m_paraHasText = true;
    m_cellTab = false;
    if constexpr (kBuild) {
        if (m_formatDirty) {
            m_formatDirty = false;
            RichCharFormat f = ResolveFormat();
            if (!(f == m_runFormat)) {
                if (!m_runText.isEmpty()) {
                    m_para.runs.push_back(RichRun{std::move(m_runText), std::move(m_runFormat)});
                    m_runText = QString();
                }
                m_runFormat = std::move(f);
            }
        }
        m_runText += QChar(c);
    } else {
        m_text += QChar(c);
    }
}

template <bool kBuild> void Parser<kBuild>::EndParagraph()
{
    if constexpr (kBuild) {
        if (!m_runText.isEmpty()) {
            m_para.runs.push_back(RichRun{std::move(m_runText), m_runFormat});
            m_runText = QString();
        }
        m_para.format = ResolveParagraph();
        m_doc.Paragraphs().push_back(std::move(m_para));
        m_para = RichParagraph{};
    } else {
        m_text += QLatin1Char('\n');
    }
    m_paraHasText = false;
    m_anyPara = true;
    m_cellTab = false;
}

template <bool kBuild> void Parser<kBuild>::Finish()
{
    FlushBytes();
    if (m_paraHasText)
        EndParagraph(); // text after the last \par, with the properties in force at the end
    if constexpr (!kBuild) {
        if (m_anyPara)
            m_text.chop(1); // paragraphs are separated, not terminated
    }
}

QByteArray ToBytes(const QString& data)
{
    // Characters beyond Latin-1 cannot be RTF bytes; spell them as \u with no fallback.
    QByteArray out;
    out.reserve(data.size());
    for (QChar c : data) {
        if (c.unicode() < 0x100)
            out += char(c.unicode());
        else
            out += "{\\uc0\\u" + QByteArray::number(qint16(c.unicode())) + '}';
    }
    return out;
}

QString PlainTextOf(const QByteArray& data)
{
    QString s = data.isValidUtf8() ? QString::fromUtf8(data) : [&] {
        QString t;
        DecodeCodePage(1252, data.constData(), size_t(data.size()), t);
        return t;
    }();
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

RichDocument PlainDocument(const QString& text)
{
    RichDocument doc;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        doc.AppendParagraph();
        doc.AppendText(line);
    }
    return doc;
}

} // namespace

bool IsRtf(const QByteArray& data)
{
    return data.startsWith("{\\rtf");
}
bool IsRtf(const QString& data)
{
    return data.startsWith(QLatin1String("{\\rtf"));
}

RichDocument ReadRtf(const QByteArray& data)
{
    if (!IsRtf(data))
        return PlainDocument(PlainTextOf(data));
    Parser<true> p(data);
    p.Run();
    return p.TakeDocument();
}

RichDocument ReadRtf(const QString& data)
{
    if (!IsRtf(data))
        return PlainDocument(QString(data)
                                 .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                 .replace(QLatin1Char('\r'), QLatin1Char('\n')));
    return ReadRtf(ToBytes(data));
}

QString RtfPlainText(const QByteArray& data)
{
    if (!IsRtf(data))
        return PlainTextOf(data);
    Parser<false> p(data);
    p.Run();
    return p.TakeText();
}

QString RtfPlainText(const QString& data)
{
    if (!IsRtf(data))
        return QString(data)
            .replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return RtfPlainText(ToBytes(data));
}

} // namespace vyn
