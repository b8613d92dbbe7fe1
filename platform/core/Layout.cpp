#include "platform/core/Layout.h"

#include "platform/core/Component.h"
#include "platform/core/Exception.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/TypInfo.h"

#include <QStringList>
#include <algorithm>
#include <vector>

namespace vyn {

namespace {

TFindGlobalComponent& GlobalFinder()
{
    static TFindGlobalComponent finder;
    return finder;
}

enum class Tok { End, Ident, Integer, Float, String, Symbol };

struct Token
{
    Tok type = Tok::End;
    QString text; // identifier, string value
    std::int64_t integer = 0;
    double real = 0;
    char symbol = 0;
    int line = 1;
};

// Nesting deeper than this is refused, so hostile input cannot exhaust the stack.
constexpr int MaxDepth = 200;

} // namespace

// Reads one layout. A friend of TComponent for the loading state and ReadState.
class TReader
{
public:
    TReader(const QByteArray& text, const QString& source) : m_text(text), m_source(source) {}

    void ReadInto(TComponent* root);
    TComponent* ReadNew(TComponent* owner);

private:
    struct Fixup
    {
        TObject* instance;
        const TPropInfo* prop;
        QString name;
        QString path; // for messages
        int line;
    };

    // Lexer.
    void Next();
    void SkipSpace();
    QString ReadStringValue();
    QByteArray ReadBinary();
    [[noreturn]] void Error(const QString& problem, int line = -1) const;
    bool IsSymbol(char c) const { return m_tok.type == Tok::Symbol && m_tok.symbol == c; }
    bool IsIdent(const char* word) const
    {
        return m_tok.type == Tok::Ident &&
               m_tok.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    void Expect(char c, const char* what);
    QString ExpectIdent(const char* what);

    // Parser.
    void ReadHeader(QString& name, QString& cls, bool& inherited);
    void ReadBody(TComponent* comp, int depth);
    void ReadChild(TComponent* parent, int depth);
    void ReadProperty(TComponent* comp);
    void ReadValue(TComponent* comp, TObject* target, const TPropInfo& prop, const QString& path);
    void ReadStringList(TStrings* list, const QString& path);
    QString ReadStringExpr();
    void Apply(const QString& path, const std::function<void()>& set, int line);

    void NameRoot(TComponent* root, const QString& name);
    void Resolve();
    void Finish();
    void Cleanup();

    const QByteArray& m_text;
    QString m_source;
    qsizetype m_pos = 0;
    int m_line = 1;
    Token m_tok;

    TComponent* m_root = nullptr;
    bool m_ownsRoot = false;
    std::vector<TComponent*> m_created;
    std::vector<const TFieldInfo*> m_fields;
    std::vector<Fixup> m_fixups;
};

void TReader::Error(const QString& problem, int line) const
{
    const int at = line >= 0 ? line : m_tok.line;
    const QString where = m_source.isEmpty() ? QStringLiteral("layout") : m_source;
    throw EReadError(
        QStringLiteral("Error reading %1, line %2: %3").arg(where).arg(at).arg(problem));
}

// ---------------------------------------------------------------------------------------------
// Lexer

void TReader::SkipSpace()
{
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (c == '\n') {
            ++m_line;
            ++m_pos;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++m_pos;
        } else {
            break;
        }
    }
}

static bool IsIdentStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

static int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void TReader::Next()
{
    SkipSpace();
    m_tok = Token();
    m_tok.line = m_line;
    if (m_pos >= m_text.size())
        return;
    const char c = m_text[m_pos];

    if (IsIdentStart(c)) {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() &&
               (IsIdentStart(m_text[m_pos]) || IsDigit(m_text[m_pos]) || m_text[m_pos] == '.'))
            ++m_pos;
        m_tok.type = Tok::Ident;
        m_tok.text = QString::fromLatin1(m_text.mid(start, m_pos - start));
        if (m_tok.text.endsWith(QLatin1Char('.')) || m_tok.text.contains(QLatin1String("..")))
            Error(QStringLiteral("Invalid name '%1'").arg(m_tok.text));
        return;
    }

    if (c == '\'' || c == '#') {
        m_tok.type = Tok::String;
        m_tok.text = ReadStringValue();
        return;
    }

    if (IsDigit(c) || c == '$' ||
        ((c == '-' || c == '+') && m_pos + 1 < m_text.size() &&
         (IsDigit(m_text[m_pos + 1]) || m_text[m_pos + 1] == '$'))) {
        bool negative = false;
        if (c == '-' || c == '+') {
            negative = c == '-';
            ++m_pos;
        }
        if (m_text[m_pos] == '$') {
            ++m_pos;
            std::uint64_t v = 0;
            int digits = 0;
            while (m_pos < m_text.size() && HexValue(m_text[m_pos]) >= 0) {
                if (++digits > 16)
                    Error(QStringLiteral("Number too large"));
                v = v * 16 + std::uint64_t(HexValue(m_text[m_pos++]));
            }
            if (digits == 0)
                Error(QStringLiteral("Invalid hexadecimal number"));
            m_tok.type = Tok::Integer;
            m_tok.integer = negative ? -std::int64_t(v) : std::int64_t(v);
            return;
        }
        const qsizetype start = m_pos;
        bool isFloat = false;
        while (m_pos < m_text.size()) {
            const char d = m_text[m_pos];
            if (IsDigit(d)) {
                ++m_pos;
            } else if (d == '.' && !isFloat) {
                isFloat = true;
                ++m_pos;
            } else if ((d == 'e' || d == 'E') && m_pos + 1 < m_text.size()) {
                isFloat = true;
                ++m_pos;
                if (m_text[m_pos] == '-' || m_text[m_pos] == '+')
                    ++m_pos;
            } else {
                break;
            }
        }
        const QByteArray number = m_text.mid(start, m_pos - start);
        bool ok = false;
        if (isFloat) {
            m_tok.type = Tok::Float;
            m_tok.real = number.toDouble(&ok);
            if (negative)
                m_tok.real = -m_tok.real;
        } else {
            m_tok.type = Tok::Integer;
            m_tok.integer = number.toLongLong(&ok);
            if (negative)
                m_tok.integer = -m_tok.integer;
        }
        if (!ok)
            Error(QStringLiteral("Invalid number '%1'").arg(QString::fromLatin1(number)));
        return;
    }

    switch (c) {
    case '=':
    case ':':
    case '[':
    case ']':
    case '(':
    case ')':
    case '{':
    case '}':
    case '<':
    case '>':
    case ',':
    case '+':
        m_tok.type = Tok::Symbol;
        m_tok.symbol = c;
        ++m_pos;
        return;
    default:
        break;
    }
    Error(QStringLiteral("Unexpected character '%1'").arg(QString::fromUtf8(m_text.mid(m_pos, 1))));
}

// A string is a run of quoted pieces ('it''s') and character codes (#13, #$0D) with nothing
// between them.
QString TReader::ReadStringValue()
{
    QString result;
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (c == '\'') {
            ++m_pos;
            const qsizetype start = m_pos;
            QByteArray piece;
            for (;;) {
                if (m_pos >= m_text.size())
                    Error(QStringLiteral("Unterminated string"));
                const char d = m_text[m_pos];
                if (d == '\n' || d == '\r')
                    Error(QStringLiteral("Unterminated string"));
                if (d == '\'') {
                    if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\'') {
                        piece += '\'';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                piece += d;
                ++m_pos;
            }
            Q_UNUSED(start);
            result += QString::fromUtf8(piece);
        } else if (c == '#') {
            ++m_pos;
            std::uint32_t code = 0;
            int digits = 0;
            if (m_pos < m_text.size() && m_text[m_pos] == '$') {
                ++m_pos;
                while (m_pos < m_text.size() && HexValue(m_text[m_pos]) >= 0 && digits < 8) {
                    code = code * 16 + std::uint32_t(HexValue(m_text[m_pos++]));
                    ++digits;
                }
            } else {
                while (m_pos < m_text.size() && IsDigit(m_text[m_pos]) && digits < 8) {
                    code = code * 10 + std::uint32_t(m_text[m_pos++] - '0');
                    ++digits;
                }
            }
            if (digits == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                Error(QStringLiteral("Invalid character code in string"));
            const char32_t ch = code;
            result += QString::fromUcs4(&ch, 1);
        } else {
            break;
        }
    }
    return result;
}

QByteArray TReader::ReadBinary()
{
    // The opening brace is the current token; the hex digits follow in the raw text.
    QByteArray bytes;
    int high = -1;
    for (;;) {
        if (m_pos >= m_text.size())
            Error(QStringLiteral("Unterminated binary data"));
        const char c = m_text[m_pos++];
        if (c == '}')
            break;
        if (c == '\n') {
            ++m_line;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r')
            continue;
        const int v = HexValue(c);
        if (v < 0)
            Error(QStringLiteral("Invalid character in binary data"));
        if (high < 0) {
            high = v;
        } else {
            bytes += char(high * 16 + v);
            high = -1;
        }
    }
    if (high >= 0)
        Error(QStringLiteral("Binary data has an odd number of digits"));
    Next();
    return bytes;
}

void TReader::Expect(char c, const char* what)
{
    if (!IsSymbol(c))
        Error(QStringLiteral("%1 expected").arg(QLatin1String(what)));
    Next();
}

QString TReader::ExpectIdent(const char* what)
{
    if (m_tok.type != Tok::Ident)
        Error(QStringLiteral("%1 expected").arg(QLatin1String(what)));
    QString s = m_tok.text;
    Next();
    return s;
}

// ---------------------------------------------------------------------------------------------
// Parser

void TReader::ReadHeader(QString& name, QString& cls, bool& inherited)
{
    if (IsIdent("object") || IsIdent("inline"))
        inherited = false;
    else if (IsIdent("inherited"))
        inherited = true;
    else
        Error(QStringLiteral("'object' expected"));
    Next();
    const int line = m_tok.line;
    QString first = ExpectIdent("Component name");
    if (IsSymbol(':')) {
        Next();
        name = first;
        cls = ExpectIdent("Class name");
    } else {
        cls = first;
    }
    if (name.contains(QLatin1Char('.')) || cls.contains(QLatin1Char('.')))
        Error(QStringLiteral("Invalid name in object header"), line);
}

void TReader::ReadBody(TComponent* comp, int depth)
{
    while (m_tok.type == Tok::Ident && !IsIdent("object") && !IsIdent("inherited") &&
           !IsIdent("inline") && !IsIdent("end"))
        ReadProperty(comp);

    const int line = m_tok.line;
    try {
        comp->ReadState();
    } catch (const EReadError&) {
        throw;
    } catch (const Exception& e) {
        Error(QStringLiteral("%1: %2").arg(comp->Name(), e.Message()), line);
    }

    while (IsIdent("object") || IsIdent("inherited") || IsIdent("inline"))
        ReadChild(comp, depth + 1);
    if (!IsIdent("end"))
        Error(m_tok.type == Tok::End ? QStringLiteral("Unexpected end of text, 'end' expected")
                                     : QStringLiteral("'end' expected"));
    Next();
}

void TReader::ReadChild(TComponent* parent, int depth)
{
    if (depth > MaxDepth)
        Error(QStringLiteral("Components nest too deep"));
    const int line = m_tok.line;
    QString name, clsName;
    bool inherited = false;
    ReadHeader(name, clsName, inherited);

    TComponent* comp = nullptr;
    if (inherited) {
        comp = m_root->FindComponent(name);
        if (!comp)
            Error(QStringLiteral("Inherited component %1 not found").arg(name), line);
        if (comp->ClassName().compare(clsName, Qt::CaseInsensitive) != 0)
            Error(QStringLiteral("Inherited component %1 is a %2, not a %3")
                      .arg(name, comp->ClassName(), clsName),
                  line);
        comp->SetLoading(true);
    } else {
        const TClassInfo* cls = GetClass(clsName);
        if (!cls)
            Error(QStringLiteral("Class %1 not found").arg(clsName), line);
        if (!cls->IsCreatable())
            Error(QStringLiteral("Class %1 is not a component that can be created").arg(clsName),
                  line);
        try {
            comp = cls->Create(m_root);
        } catch (const Exception& e) {
            Error(QStringLiteral("Cannot create %1: %2").arg(clsName, e.Message()), line);
        }
        m_created.push_back(comp);
        comp->SetLoading(true);
        if (!name.isEmpty()) {
            try {
                comp->SetName(name);
            } catch (const Exception& e) {
                Error(e.Message(), line);
            }
            if (const TFieldInfo* field = FindPublishedField(m_root, name)) {
                if (!comp->InheritsFrom(*field->FieldClass()))
                    Error(QStringLiteral("Field %1.%2 holds a %3, not a %4")
                              .arg(m_root->ClassName(), name, field->FieldClass()->ClassName(),
                                   clsName),
                          line);
                field->Set(m_root, comp);
                m_fields.push_back(field);
            }
        }
        try {
            parent->AdoptChild(comp);
        } catch (const EReadError&) {
            throw;
        } catch (const Exception& e) {
            Error(QStringLiteral("%1 cannot hold %2: %3").arg(parent->Name(), name, e.Message()),
                  line);
        }
    }
    ReadBody(comp, depth);
}

void TReader::Apply(const QString& path, const std::function<void()>& set, int line)
{
    try {
        set();
    } catch (const EReadError&) {
        throw;
    } catch (const Exception& e) {
        Error(QStringLiteral("Cannot set %1: %2").arg(path, e.Message()), line);
    }
}

void TReader::ReadProperty(TComponent* comp)
{
    const int line = m_tok.line;
    const QString fullName = m_tok.text;
    const QString path =
        (comp->Name().isEmpty() ? comp->ClassName() : comp->Name()) + QLatin1Char('.') + fullName;
    Next();
    Expect('=', "'='");

    const QStringList parts = fullName.split(QLatin1Char('.'));
    TObject* target = comp;
    for (int i = 0; i < parts.size() - 1; ++i) {
        const TPropInfo* p = GetPropInfo(target, parts[i]);
        if (!p)
            Error(QStringLiteral("Property %1 does not exist in %2")
                      .arg(parts[i], target->ClassName()),
                  line);
        if (p->Kind != TPropKind::Persistent && p->Kind != TPropKind::StringList)
            Error(QStringLiteral("Property %1 of %2 has no sub-properties")
                      .arg(parts[i], target->ClassName()),
                  line);
        target = p->GetObject(target);
        if (!target)
            Error(QStringLiteral("Property %1 is not assigned").arg(parts[i]), line);
    }

    const QString last = parts.last();
    if (auto* list = dynamic_cast<TStrings*>(target);
        list && target != comp &&
        last.compare(QLatin1String("Strings"), Qt::CaseInsensitive) == 0) {
        ReadStringList(list, path);
        return;
    }
    const TPropInfo* prop = GetPropInfo(target, last);
    if (!prop)
        Error(QStringLiteral("Property %1 does not exist in %2").arg(last, target->ClassName()),
              line);
    ReadValue(comp, target, *prop, path);
}

QString TReader::ReadStringExpr()
{
    QString s = m_tok.text;
    Next();
    while (IsSymbol('+')) {
        Next();
        if (m_tok.type != Tok::String)
            Error(QStringLiteral("String expected after '+'"));
        s += m_tok.text;
        Next();
    }
    return s;
}

void TReader::ReadStringList(TStrings* list, const QString& path)
{
    const int line = m_tok.line;
    if (!IsSymbol('('))
        Error(QStringLiteral("%1 takes a list of strings in parentheses").arg(path));
    Next();
    QStringList lines;
    while (!IsSymbol(')')) {
        if (m_tok.type != Tok::String)
            Error(m_tok.type == Tok::End
                      ? QStringLiteral("Unexpected end of text in a list")
                      : QStringLiteral("String expected in the list of %1").arg(path));
        lines.append(ReadStringExpr());
    }
    Next();
    Apply(
        path,
        [&] {
            list->BeginUpdate();
            auto done = Finally([list] { list->EndUpdate(); });
            list->Clear();
            list->AddStrings(lines);
        },
        line);
}

void TReader::ReadValue(TComponent* comp, TObject* target, const TPropInfo& prop,
                        const QString& path)
{
    Q_UNUSED(comp);
    const int line = m_tok.line;
    auto wrongKind = [&]() {
        Error(QStringLiteral("Invalid value for %1: a %2 property")
                  .arg(path, PropKindName(prop.Kind)),
              line);
    };
    auto needWritable = [&]() {
        if (!prop.IsWritable())
            Error(QStringLiteral("Property %1 is read-only").arg(path), line);
    };

    if (prop.Kind == TPropKind::StringList) {
        auto* list = dynamic_cast<TStrings*>(prop.GetObject(target));
        if (!list)
            Error(QStringLiteral("Property %1 is not assigned").arg(path), line);
        ReadStringList(list, path);
        return;
    }
    if (IsSymbol('(') || IsSymbol('<') || prop.Kind == TPropKind::Persistent)
        wrongKind();

    switch (m_tok.type) {
    case Tok::String: {
        if (prop.Kind != TPropKind::String)
            wrongKind();
        needWritable();
        const QString value = ReadStringExpr();
        Apply(
            path, [&] { prop.SetString(target, value); }, line);
        return;
    }
    case Tok::Integer: {
        const std::int64_t v = m_tok.integer;
        Next();
        if (prop.Kind == TPropKind::Integer) {
            Apply(
                path, [&] { SetOrdValue(target, prop, v); }, line);
        } else if (prop.Kind == TPropKind::Float) {
            needWritable();
            Apply(
                path, [&] { prop.SetFloat(target, double(v)); }, line);
        } else {
            wrongKind();
        }
        return;
    }
    case Tok::Float: {
        if (prop.Kind != TPropKind::Float)
            wrongKind();
        needWritable();
        const double v = m_tok.real;
        Next();
        Apply(
            path, [&] { prop.SetFloat(target, v); }, line);
        return;
    }
    case Tok::Ident: {
        const QString word = m_tok.text;
        Next();
        switch (prop.Kind) {
        case TPropKind::Boolean: {
            int v = -1;
            if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                v = 1;
            else if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                v = 0;
            if (v < 0)
                Error(QStringLiteral("Invalid value for %1: True or False expected").arg(path),
                      line);
            Apply(
                path, [&] { SetOrdValue(target, prop, v); }, line);
            return;
        }
        case TPropKind::Enumeration: {
            const int v = prop.Enum->ValueOf(word);
            if (v < 0)
                Error(QStringLiteral("Invalid value for %1: %2 is not a member of %3")
                          .arg(path, word, prop.Enum->TypeName()),
                      line);
            Apply(
                path, [&] { SetOrdValue(target, prop, v); }, line);
            return;
        }
        case TPropKind::Integer: {
            if (prop.Idents)
                for (const auto& [ident, value] : *prop.Idents)
                    if (ident.compare(word, Qt::CaseInsensitive) == 0) {
                        const std::int64_t v = value;
                        Apply(
                            path, [&] { SetOrdValue(target, prop, v); }, line);
                        return;
                    }
            Error(
                QStringLiteral("Invalid value for %1: %2 is not a known constant").arg(path, word),
                line);
        }
        case TPropKind::Object: {
            needWritable();
            if (word.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0) {
                Apply(
                    path, [&] { SetObjectValue(target, prop, nullptr); }, line);
                return;
            }
            m_fixups.push_back(Fixup{target, &prop, word, path, line});
            return;
        }
        case TPropKind::Method: {
            needWritable();
            if (word.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0) {
                Apply(
                    path, [&] { SetMethodValue(target, prop, std::any()); }, line);
                return;
            }
            const TMethodInfo* m = FindPublishedMethod(m_root, word);
            if (!m)
                Error(QStringLiteral("Method %1 not found in %2").arg(word, m_root->ClassName()),
                      line);
            if (m->EventType != prop.EventType)
                Error(
                    QStringLiteral("Method %1 does not match the signature of %2").arg(word, path),
                    line);
            Apply(
                path, [&] { SetMethodValue(target, prop, m->Bind(m_root)); }, line);
            return;
        }
        default:
            wrongKind();
        }
        return;
    }
    case Tok::Symbol: {
        if (IsSymbol('[')) {
            if (prop.Kind != TPropKind::Set)
                wrongKind();
            Next();
            QStringList names;
            while (!IsSymbol(']')) {
                names.append(ExpectIdent("Set member"));
                if (IsSymbol(','))
                    Next();
                else if (!IsSymbol(']'))
                    Error(QStringLiteral("',' or ']' expected"));
            }
            Next();
            std::uint64_t bits = 0;
            try {
                bits = SetNamesToOrdinal(prop, names);
            } catch (const Exception& e) {
                Error(QStringLiteral("Invalid value for %1: %2").arg(path, e.Message()), line);
            }
            Apply(
                path, [&] { SetOrdValue(target, prop, std::int64_t(bits)); }, line);
            return;
        }
        if (IsSymbol('{')) {
            if (prop.Kind != TPropKind::Bytes)
                wrongKind();
            needWritable();
            const QByteArray bytes = ReadBinary();
            Apply(
                path, [&] { prop.SetBytes(target, bytes); }, line);
            return;
        }
        Error(QStringLiteral("Value expected for %1").arg(path), line);
    }
    case Tok::End:
        Error(QStringLiteral("Unexpected end of text, value expected for %1").arg(path), line);
    }
}

// ---------------------------------------------------------------------------------------------

void TReader::NameRoot(TComponent* root, const QString& name)
{
    if (name.isEmpty() || !root->Name().isEmpty())
        return;
    try {
        root->SetName(name);
    } catch (const EComponentError&) {
        // Another instance of the same form already carries the name: number this one.
        if (!IsValidIdent(name))
            throw;
        for (int i = 1;; ++i) {
            const QString candidate = QStringLiteral("%1_%2").arg(name).arg(i);
            TComponent* owner = root->Owner();
            if (!owner || !owner->FindComponent(candidate)) {
                root->SetName(candidate);
                break;
            }
        }
    }
}

void TReader::Resolve()
{
    for (const Fixup& f : m_fixups) {
        TComponent* found = nullptr;
        if (f.name.compare(m_root->Name(), Qt::CaseInsensitive) == 0)
            found = m_root;
        else if (!f.name.contains(QLatin1Char('.')))
            found = m_root->FindComponent(f.name);
        else {
            const QString head = f.name.section(QLatin1Char('.'), 0, 0);
            const QString tail = f.name.section(QLatin1Char('.'), 1);
            if (head.compare(m_root->Name(), Qt::CaseInsensitive) == 0 &&
                !tail.contains(QLatin1Char('.')))
                found = m_root->FindComponent(tail);
            else if (GlobalFinder())
                found = GlobalFinder()(f.name);
        }
        if (!found)
            Error(QStringLiteral("Unresolved reference to %1 in %2").arg(f.name, f.path), f.line);
        Apply(
            f.path, [&] { SetObjectValue(f.instance, *f.prop, found); }, f.line);
    }
}

void TReader::Finish()
{
    Resolve();
    // Loaded runs on the root first, then in reading order.
    std::vector<TComponent*> loaded;
    loaded.push_back(m_root);
    for (TComponent* c : m_created)
        loaded.push_back(c);
    for (int i = 0; i < m_root->ComponentCount(); ++i) {
        TComponent* c = m_root->Components(i);
        if (c->ComponentState().Contains(csLoading) &&
            std::find(loaded.begin(), loaded.end(), c) == loaded.end())
            loaded.push_back(c); // inherited components read again
    }
    for (TComponent* c : loaded) {
        c->Loaded();
        c->SetLoading(false);
    }
}

void TReader::Cleanup()
{
    if (!m_root)
        return;
    for (const TFieldInfo* field : m_fields)
        field->Set(m_root, nullptr);
    if (m_ownsRoot) {
        delete m_root;
    } else {
        // Nested components come after the ones they are nested in: free them first.
        for (auto it = m_created.rbegin(); it != m_created.rend(); ++it)
            delete *it;
        m_root->SetLoading(false);
        for (int i = 0; i < m_root->ComponentCount(); ++i)
            m_root->Components(i)->SetLoading(false);
    }
    m_created.clear();
    m_root = nullptr;
}

void TReader::ReadInto(TComponent* root)
{
    m_root = root;
    m_ownsRoot = false;
    auto undo = Finally([this] { Cleanup(); });
    {
        Next();
        const int line = m_tok.line;
        QString name, clsName;
        bool inherited = false;
        ReadHeader(name, clsName, inherited);
        const TClassInfo* cls = GetClass(clsName);
        if (!cls || !root->InheritsFrom(*cls))
            Error(QStringLiteral("The layout describes a %1, not a %2")
                      .arg(clsName, root->ClassName()),
                  line);
        root->SetLoading(true);
        try {
            NameRoot(root, name);
        } catch (const Exception& e) {
            Error(e.Message(), line);
        }
        ReadBody(root, 0);
        if (m_tok.type != Tok::End)
            Error(QStringLiteral("Text after the end of the layout"));
        Finish();
    }
    undo.Dismiss();
}

TComponent* TReader::ReadNew(TComponent* owner)
{
    auto undo = Finally([this] { Cleanup(); });
    {
        Next();
        const int line = m_tok.line;
        QString name, clsName;
        bool inherited = false;
        ReadHeader(name, clsName, inherited);
        const TClassInfo* cls = GetClass(clsName);
        if (!cls)
            Error(QStringLiteral("Class %1 not found").arg(clsName), line);
        if (!cls->IsCreatable())
            Error(QStringLiteral("Class %1 is not a component that can be created").arg(clsName),
                  line);
        m_root = cls->Create(owner);
        m_ownsRoot = true;
        m_root->SetLoading(true);
        try {
            NameRoot(m_root, name);
        } catch (const Exception& e) {
            Error(e.Message(), line);
        }
        ReadBody(m_root, 0);
        if (m_tok.type != Tok::End)
            Error(QStringLiteral("Text after the end of the layout"));
        Finish();
    }
    undo.Dismiss();
    return m_root;
}

void ReadComponentLayout(TComponent* Root, const QByteArray& Text, const QString& SourceName)
{
    if (!Root)
        throw EReadError(QStringLiteral("No component to read the layout into"));
    TReader(Text, SourceName).ReadInto(Root);
}

TComponent* CreateComponentFromLayout(const QByteArray& Text, TComponent* Owner,
                                      const QString& SourceName)
{
    return TReader(Text, SourceName).ReadNew(Owner);
}

void SetFindGlobalComponent(TFindGlobalComponent Finder)
{
    GlobalFinder() = std::move(Finder);
}

} // namespace vyn
