// Driver "PARADOX": one table per file in a folder; each file is a SQLite database that holds
// exactly one table.

#include "platform/core/ScopeGuard.h"
#include "platform/db/Driver.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QMutex>
#include <deque>
#include <map>
#include <sqlite3.h>

namespace vyn {

namespace {

int g_lockTimeoutMs = 5000;

QString Quote(const QString& ident)
{
    QString q = ident;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString TablePath(const QString& folder, const QString& tableName)
{
    QString name = tableName;
    if (QFileInfo(name).suffix().isEmpty())
        name += QLatin1String(".DB");
    return QFileInfo(name).isAbsolute() ? name : QDir(folder).filePath(name);
}

// --- A connection and its statements --------------------------------------------------------

class Statement
{
public:
    Statement(sqlite3* db, const QString& sql, const QString& table) : m_table(table)
    {
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr);
        if (rc != SQLITE_OK)
            Fail(db, rc);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    void Bind(int index, const Variant& v, TFieldType type)
    {
        int rc = SQLITE_OK;
        switch (v.Type()) {
        case TVarType::Unassigned:
        case TVarType::Null: rc = sqlite3_bind_null(m_stmt, index); break;
        case TVarType::Boolean: rc = sqlite3_bind_int(m_stmt, index, v.ToBool() ? 1 : 0); break;
        case TVarType::Integer: rc = sqlite3_bind_int64(m_stmt, index, v.ToInt64()); break;
        case TVarType::Float: rc = sqlite3_bind_double(m_stmt, index, v.ToDouble()); break;
        case TVarType::DateTime: {
            const QDateTime dt = v.ToDateTime();
            const QString text = type == ftDate ? dt.date().toString(Qt::ISODate)
                                                : dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
            rc = BindText(index, text.toUtf8());
            break;
        }
        case TVarType::String: rc = BindText(index, v.ToString().toUtf8()); break;
        case TVarType::Bytes: {
            const QByteArray b = v.ToBytes();
            rc = sqlite3_bind_blob64(m_stmt, index, b.constData(), sqlite3_uint64(b.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        }
        if (rc != SQLITE_OK)
            Fail(sqlite3_db_handle(m_stmt), rc);
    }

    // True while there is a row.
    bool Step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        Fail(sqlite3_db_handle(m_stmt), rc);
    }

    std::int64_t Int(int col) const { return sqlite3_column_int64(m_stmt, col); }

    Variant Column(int col, TFieldType type) const
    {
        switch (sqlite3_column_type(m_stmt, col)) {
        case SQLITE_NULL: return Variant(Null);
        case SQLITE_INTEGER: {
            const std::int64_t n = sqlite3_column_int64(m_stmt, col);
            if (type == ftBoolean)
                return Variant(n != 0);
            if (type == ftFloat || type == ftCurrency)
                return Variant(double(n));
            return Variant(n);
        }
        case SQLITE_FLOAT: return Variant(sqlite3_column_double(m_stmt, col));
        case SQLITE_BLOB:
        case SQLITE_TEXT: {
            const char* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, col));
            const int size = sqlite3_column_bytes(m_stmt, col);
            const QByteArray bytes(data ? data : "", size);
            switch (type) {
            case ftBlob:
            case ftMemo:
            case ftGraphic:
            case ftFmtMemo:
            case ftBytes:
            case ftVarBytes: return Variant(bytes);
            case ftDate:
            case ftDateTime:
            case ftTime: {
                QDateTime dt = QDateTime::fromString(QString::fromUtf8(bytes), Qt::ISODateWithMs);
                if (!dt.isValid())
                    dt = QDateTime(QDate::fromString(QString::fromUtf8(bytes), Qt::ISODate), QTime(0, 0));
                if (!dt.isValid())
                    return Variant(QString::fromUtf8(bytes));
                dt.setTimeSpec(Qt::LocalTime);
                return Variant(dt);
            }
            default: return Variant(QString::fromUtf8(bytes));
            }
        }
        }
        return Variant(Null);
    }

    [[noreturn]] void Fail(sqlite3* db, int rc) const
    {
        const int primary = rc & 0xFF;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
            throw EDatabaseError(QStringLiteral("Table '%1' is locked by another user; gave up after %2 ms")
                                     .arg(m_table)
                                     .arg(g_lockTimeoutMs));
        if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
            throw EDatabaseError(QStringLiteral("'%1' is not a table file").arg(m_table));
        if (primary == SQLITE_READONLY)
            throw EDatabaseError(QStringLiteral("Table '%1' is read-only").arg(m_table));
        throw EDatabaseError(QStringLiteral("Table '%1': %2")
                                 .arg(m_table, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc))));
    }

private:
    int BindText(int index, const QByteArray& utf8)
    {
        return sqlite3_bind_text64(m_stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }

    sqlite3_stmt* m_stmt = nullptr;
    QString m_table;
};

class Connection
{
public:
    Connection(const QString& path, bool readOnly, bool create, const QString& tableLabel)
        : m_label(tableLabel)
    {
        if (!create && !QFileInfo::exists(path))
            throw EDatabaseError(QStringLiteral("Table '%1' does not exist").arg(tableLabel));
        int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
        if (create)
            flags |= SQLITE_OPEN_CREATE;
        const QByteArray file = QFile::encodeName(path);
        int rc = sqlite3_open_v2(file.constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK && !readOnly && !create) {
            // A file or folder we may not write: open it for reading.
            sqlite3_close(m_db);
            m_db = nullptr;
            rc = sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
            m_readOnly = true;
        } else {
            m_readOnly = readOnly;
        }
        if (rc != SQLITE_OK) {
            const QString why = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc));
            sqlite3_close(m_db);
            m_db = nullptr;
            throw EDatabaseError(QStringLiteral("Cannot open table '%1': %2").arg(tableLabel, why));
        }
        sqlite3_busy_timeout(m_db, g_lockTimeoutMs);
        if (!m_readOnly && !QFileInfo(path).isWritable() && QFileInfo::exists(path))
            m_readOnly = true;
    }
    ~Connection()
    {
        m_cache.clear();
        sqlite3_close(m_db);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* Handle() const { return m_db; }
    bool ReadOnly() const { return m_readOnly; }
    const QString& Label() const { return m_label; }

    // Prepared once, reused; reset before it is handed out.
    Statement& Prepare(const QString& sql)
    {
        auto it = m_cache.find(sql);
        if (it == m_cache.end()) {
            if (m_cache.size() > 64)
                m_cache.clear();
            it = m_cache.emplace(sql, std::make_unique<Statement>(m_db, sql, m_label)).first;
        }
        it->second->Reset();
        return *it->second;
    }

    void Exec(const QString& sql)
    {
        Statement& s = Prepare(sql);
        auto reset = Finally([&s] { s.Reset(); });
        while (s.Step()) {
        }
    }

private:
    sqlite3* m_db = nullptr;
    bool m_readOnly = false;
    QString m_label;
    std::map<QString, std::unique_ptr<Statement>> m_cache;
};

// Declared column types, written and understood.
QString DeclaredType(const TFieldDef& def)
{
    switch (def.DataType) {
    case ftString: return QStringLiteral("VARCHAR(%1)").arg(def.Size);
    case ftSmallint: return QStringLiteral("SMALLINT");
    case ftInteger:
    case ftWord: return QStringLiteral("INTEGER");
    case ftAutoInc: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ftBoolean: return QStringLiteral("BOOLEAN");
    case ftFloat:
    case ftBCD: return QStringLiteral("FLOAT");
    case ftCurrency: return QStringLiteral("CURRENCY");
    case ftDate: return QStringLiteral("DATE");
    case ftTime: return QStringLiteral("TIME");
    case ftDateTime: return QStringLiteral("DATETIME");
    case ftMemo:
    case ftFmtMemo: return QStringLiteral("MEMO");
    case ftGraphic: return QStringLiteral("GRAPHIC");
    case ftBlob:
    case ftBytes:
    case ftVarBytes: return QStringLiteral("BLOB");
    case ftUnknown: break;
    }
    throw EDatabaseError(QStringLiteral("Field '%1' has no type").arg(def.Name));
}

TFieldDef ParseColumn(const QString& name, const QString& declared, bool notNull, bool pk)
{
    const QString t = declared.trimmed().toUpper();
    TFieldDef d(name, ftString, 255, notNull);
    auto size = [&](int fallback) {
        const int open = int(t.indexOf(QLatin1Char('(')));
        if (open < 0)
            return fallback;
        bool ok = false;
        const int n = t.mid(open + 1, t.indexOf(QLatin1Char(')')) - open - 1).trimmed().toInt(&ok);
        return ok && n > 0 ? n : fallback;
    };
    if (pk && (t == QLatin1String("INTEGER") || t.startsWith(QLatin1String("INTEGER PRIMARY"))))
        d.DataType = ftAutoInc;
    else if (t.startsWith(QLatin1String("SMALLINT")))
        d.DataType = ftSmallint;
    else if (t.startsWith(QLatin1String("BOOL")))
        d.DataType = ftBoolean;
    else if (t.contains(QLatin1String("INT")))
        d.DataType = ftInteger;
    else if (t.startsWith(QLatin1String("CURRENCY")))
        d.DataType = ftCurrency;
    else if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
             t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("NUMERIC")) ||
             t.contains(QLatin1String("DECIMAL")))
        d.DataType = ftFloat;
    else if (t == QLatin1String("DATE"))
        d.DataType = ftDate;
    else if (t == QLatin1String("TIME"))
        d.DataType = ftTime;
    else if (t.startsWith(QLatin1String("DATETIME")) || t.startsWith(QLatin1String("TIMESTAMP")))
        d.DataType = ftDateTime;
    else if (t.startsWith(QLatin1String("MEMO")) || t == QLatin1String("TEXT") ||
             t.startsWith(QLatin1String("CLOB")))
        d.DataType = ftMemo;
    else if (t.startsWith(QLatin1String("GRAPHIC")))
        d.DataType = ftGraphic;
    else if (t.startsWith(QLatin1String("BLOB")) || t.isEmpty())
        d.DataType = ftBlob;
    else {
        d.DataType = ftString;
        d.Size = size(255);
    }
    if (d.DataType == ftAutoInc)
        d.Required = false;
    return d;
}

// --- Keys: the record's identity and its place in the order ---------------------------------

struct Key {
    std::int64_t rowid = 0;
    std::vector<Variant> sort;
};

QByteArray EncodeKey(const Key& k)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << qint64(k.rowid) << quint8(k.sort.size());
    for (const Variant& v : k.sort) {
        s << quint8(v.Type());
        switch (v.Type()) {
        case TVarType::Boolean: s << v.ToBool(); break;
        case TVarType::Integer: s << qint64(v.ToInt64()); break;
        case TVarType::Float: s << v.ToDouble(); break;
        case TVarType::String: s << v.ToString(); break;
        case TVarType::DateTime: s << v.ToDateTime(); break;
        case TVarType::Bytes: s << v.ToBytes(); break;
        default: break;
        }
    }
    return out;
}

bool DecodeKey(const QByteArray& bytes, Key& k)
{
    QDataStream s(bytes);
    qint64 rowid = 0;
    quint8 n = 0;
    s >> rowid >> n;
    if (s.status() != QDataStream::Ok)
        return false;
    k.rowid = rowid;
    k.sort.clear();
    for (int i = 0; i < n; ++i) {
        quint8 type = 0;
        s >> type;
        switch (TVarType(type)) {
        case TVarType::Boolean: {
            bool b = false;
            s >> b;
            k.sort.emplace_back(b);
            break;
        }
        case TVarType::Integer: {
            qint64 v = 0;
            s >> v;
            k.sort.emplace_back(static_cast<long long>(v));
            break;
        }
        case TVarType::Float: {
            double v = 0;
            s >> v;
            k.sort.emplace_back(v);
            break;
        }
        case TVarType::String: {
            QString v;
            s >> v;
            k.sort.emplace_back(v);
            break;
        }
        case TVarType::DateTime: {
            QDateTime v;
            s >> v;
            k.sort.emplace_back(v);
            break;
        }
        case TVarType::Bytes: {
            QByteArray v;
            s >> v;
            k.sort.emplace_back(v);
            break;
        }
        default: k.sort.emplace_back(Variant(Null)); break;
        }
    }
    return s.status() == QDataStream::Ok;
}

// --- The table cursor ------------------------------------------------------------------------

constexpr int ReadAhead = 64;

class ParadoxCursor : public TTableCursor
{
public:
    ParadoxCursor(const QString& path, const QString& label, bool readOnly)
        : m_conn(path, readOnly, false, label), m_label(label)
    {
        LoadSchema();
    }

    void GetFieldDefs(TFieldDefs& Defs) override { Defs.Assign(m_defs); }
    bool ReadOnly() const override { return m_conn.ReadOnly(); }

    void SetOrder(const QStringList& FieldNames) override
    {
        std::vector<int> cols;
        for (const QString& name : FieldNames) {
            if (name.trimmed().isEmpty())
                continue;
            const int i = m_defs.IndexOf(name.trimmed());
            if (i < 0)
                throw EDatabaseError(QStringLiteral("Table '%1' has no field '%2' to order by").arg(m_label, name));
            cols.push_back(i);
        }
        m_sortCols = cols;
        Refresh();
    }

    bool FetchNext(const TBookmark& From, TCursorRecord& Out) override
    {
        return Fetch(From, true, Out);
    }
    bool FetchPrior(const TBookmark& From, TCursorRecord& Out) override
    {
        return Fetch(From, false, Out);
    }

    bool FetchKey(const TBookmark& KeyBytes, TCursorRecord& Out) override
    {
        Key k;
        if (!DecodeKey(KeyBytes, k))
            return false;
        return FetchRowid(k.rowid, Out);
    }

    bool KeyExists(const TBookmark& KeyBytes) override
    {
        TCursorRecord r;
        return FetchKey(KeyBytes, r);
    }

    int CompareKeys(const TBookmark& A, const TBookmark& B) override
    {
        Key a, b;
        if (!DecodeKey(A, a) || !DecodeKey(B, b))
            return 0;
        for (size_t i = 0; i < a.sort.size() && i < b.sort.size(); ++i)
            if (const int c = CompareValues(a.sort[i], b.sort[i]))
                return c;
        return a.rowid < b.rowid ? -1 : (a.rowid > b.rowid ? 1 : 0);
    }

    int RecordCount() override
    {
        Statement& s = m_conn.Prepare(QStringLiteral("SELECT count(*) FROM %1").arg(Quote(m_table)));
        auto reset = Finally([&s] { s.Reset(); });
        return s.Step() ? int(s.Int(0)) : 0;
    }

    int RecNo(const TBookmark& KeyBytes) override
    {
        Key k;
        if (!DecodeKey(KeyBytes, k))
            return -1;
        QString where;
        std::vector<std::pair<Variant, TFieldType>> params;
        Condition(k, false, where, params);
        Statement& s = m_conn.Prepare(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(Quote(m_table), where));
        auto reset = Finally([&s] { s.Reset(); });
        BindAll(s, params);
        return s.Step() ? int(s.Int(0)) + 1 : -1;
    }

    TBookmark Insert(std::vector<Variant>& Values) override
    {
        CheckWritable();
        Refresh();
        QStringList cols, marks;
        std::vector<std::pair<Variant, TFieldType>> params;
        for (int i = 0; i < m_defs.Count(); ++i) {
            const TFieldDef& d = m_defs.Items(i);
            if (d.DataType == ftAutoInc && (size_t(i) >= Values.size() || Values[size_t(i)].IsEmpty()))
                continue;
            cols << Quote(d.Name);
            marks << QStringLiteral("?");
            params.emplace_back(size_t(i) < Values.size() ? Values[size_t(i)] : Variant(Null), d.DataType);
        }
        const QString sql = cols.isEmpty()
                                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Quote(m_table))
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(Quote(m_table), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        Statement& s = m_conn.Prepare(sql);
        auto reset = Finally([&s] { s.Reset(); });
        BindAll(s, params);
        s.Step();
        const std::int64_t rowid = sqlite3_last_insert_rowid(m_conn.Handle());
        TCursorRecord stored;
        if (!FetchRowid(rowid, stored))
            throw EDatabaseError(QStringLiteral("Table '%1': the new record cannot be read back").arg(m_label));
        Values = stored.Values;
        return stored.Key;
    }

    TBookmark Update(const TBookmark& KeyBytes, const std::vector<Variant>& Original,
                     std::vector<Variant>& Values) override
    {
        CheckWritable();
        Refresh();
        Key k;
        if (!DecodeKey(KeyBytes, k))
            throw EDatabaseError(QStringLiteral("Table '%1': invalid record key").arg(m_label));
        Transaction tx(m_conn);
        CheckUnchanged(k.rowid, Original, QStringLiteral("edit"));
        QStringList sets;
        std::vector<std::pair<Variant, TFieldType>> params;
        for (int i = 0; i < m_defs.Count() && size_t(i) < Values.size(); ++i) {
            if (size_t(i) < Original.size() && Original[size_t(i)] == Values[size_t(i)])
                continue;
            sets << Quote(m_defs.Items(i).Name) + QStringLiteral("=?");
            params.emplace_back(Values[size_t(i)], m_defs.Items(i).DataType);
        }
        if (!sets.isEmpty()) {
            params.emplace_back(Variant(static_cast<long long>(k.rowid)), ftInteger);
            Statement& s = m_conn.Prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                                              .arg(Quote(m_table), sets.join(QLatin1Char(','))));
            auto reset = Finally([&s] { s.Reset(); });
            BindAll(s, params);
            s.Step();
        }
        tx.Commit();
        TCursorRecord stored;
        if (!FetchRowid(k.rowid, stored))
            throw EDatabaseError(QStringLiteral("Table '%1': the record cannot be read back").arg(m_label));
        Values = stored.Values;
        return stored.Key;
    }

    void Delete(const TBookmark& KeyBytes, const std::vector<Variant>& Original) override
    {
        CheckWritable();
        Refresh();
        Key k;
        if (!DecodeKey(KeyBytes, k))
            throw EDatabaseError(QStringLiteral("Table '%1': invalid record key").arg(m_label));
        Transaction tx(m_conn);
        CheckUnchanged(k.rowid, Original, QStringLiteral("delete"));
        Statement& s = m_conn.Prepare(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(Quote(m_table)));
        auto reset = Finally([&s] { s.Reset(); });
        s.Bind(1, Variant(static_cast<long long>(k.rowid)), ftInteger);
        s.Step();
        tx.Commit();
    }

    void EmptyAll()
    {
        CheckWritable();
        Refresh();
        Transaction tx(m_conn);
        m_conn.Exec(QStringLiteral("DELETE FROM %1").arg(Quote(m_table)));
        tx.Commit();
    }

    void Refresh() override
    {
        m_ahead.clear();
        m_aheadForward = true;
    }

private:
    // Holds the table's write lock; rolls back unless committed.
    class Transaction
    {
    public:
        explicit Transaction(Connection& c) : m_c(c) { m_c.Exec(QStringLiteral("BEGIN IMMEDIATE")); }
        ~Transaction()
        {
            if (!m_done)
                sqlite3_exec(m_c.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        }
        void Commit()
        {
            m_c.Exec(QStringLiteral("COMMIT"));
            m_done = true;
        }

    private:
        Connection& m_c;
        bool m_done = false;
    };

    void CheckWritable() const
    {
        if (m_conn.ReadOnly())
            throw EDatabaseError(QStringLiteral("Table '%1' is read-only").arg(m_label));
    }

    void CheckUnchanged(std::int64_t rowid, const std::vector<Variant>& original, const QString& what)
    {
        TCursorRecord now;
        if (!FetchRowid(rowid, now))
            throw EDatabaseError(QStringLiteral("Couldn't perform the %1 because another user deleted the record")
                                     .arg(what));
        for (size_t i = 0; i < original.size() && i < now.Values.size(); ++i)
            if (!(original[i] == now.Values[i]))
                throw EDatabaseError(QStringLiteral("Couldn't perform the %1 because another user changed the record")
                                         .arg(what));
    }

    void LoadSchema()
    {
        Statement& s = m_conn.Prepare(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'"));
        auto reset = Finally([&s] { s.Reset(); });
        QStringList tables;
        while (s.Step())
            tables << s.Column(0, ftString).ToString();
        if (tables.size() != 1)
            throw EDatabaseError(tables.isEmpty() ? QStringLiteral("'%1' holds no table").arg(m_label)
                                                  : QStringLiteral("'%1' holds more than one table").arg(m_label));
        m_table = tables.first();
        Statement& info = m_conn.Prepare(QStringLiteral("PRAGMA table_info(%1)").arg(Quote(m_table)));
        auto reset2 = Finally([&info] { info.Reset(); });
        int pkCount = 0;
        std::vector<TFieldDef> cols;
        while (info.Step()) {
            const bool pk = info.Int(5) > 0;
            pkCount += pk ? 1 : 0;
            cols.push_back(ParseColumn(info.Column(1, ftString).ToString(), info.Column(2, ftString).ToString(),
                                       info.Int(3) != 0, pk));
        }
        for (TFieldDef& d : cols) {
            if (d.DataType == ftAutoInc && pkCount != 1)
                d.DataType = ftInteger;
            m_defs.Add(d.Name, d.DataType, d.DataType == ftString ? d.Size : 0, d.Required);
        }
        QStringList names;
        for (int i = 0; i < m_defs.Count(); ++i)
            names << Quote(m_defs.Items(i).Name);
        m_select = QStringLiteral("SELECT rowid%1%2 FROM %3")
                       .arg(names.isEmpty() ? QString() : QStringLiteral(","), names.join(QLatin1Char(',')),
                            Quote(m_table));
    }

    static int CompareValues(const Variant& a, const Variant& b)
    {
        // Nulls first, as the database orders them.
        if (a.IsEmpty() || b.IsEmpty())
            return a.IsEmpty() == b.IsEmpty() ? 0 : (a.IsEmpty() ? -1 : 1);
        if (a.Type() == TVarType::String || b.Type() == TVarType::String) {
            const QByteArray x = a.ToString().toUtf8(), y = b.ToString().toUtf8();
            return x < y ? -1 : (y < x ? 1 : 0);
        }
        if (a.Type() == TVarType::Bytes || b.Type() == TVarType::Bytes) {
            const QByteArray x = a.ToBytes(), y = b.ToBytes();
            return x < y ? -1 : (y < x ? 1 : 0);
        }
        if (a.Type() == TVarType::DateTime) {
            const QDateTime x = a.ToDateTime(), y = b.ToDateTime();
            return x < y ? -1 : (y < x ? 1 : 0);
        }
        const double x = a.ToDouble(), y = b.ToDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }

    QString OrderBy(bool forward) const
    {
        const QString dir = forward ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
        QStringList parts;
        for (int c : m_sortCols)
            parts << Quote(m_defs.Items(c).Name) + dir;
        parts << QStringLiteral("rowid") + dir;
        return parts.join(QLatin1Char(','));
    }

    // The records after (before) the key in the order, nulls first.
    void Condition(const Key& k, bool after, QString& where,
                   std::vector<std::pair<Variant, TFieldType>>& params) const
    {
        QString expr = after ? QStringLiteral("rowid>?") : QStringLiteral("rowid<?");
        std::vector<std::pair<Variant, TFieldType>> tail{{Variant(static_cast<long long>(k.rowid)), ftInteger}};
        for (int i = int(m_sortCols.size()) - 1; i >= 0; --i) {
            const TFieldDef& d = m_defs.Items(m_sortCols[size_t(i)]);
            const QString c = Quote(d.Name);
            const Variant& v = size_t(i) < k.sort.size() ? k.sort[size_t(i)] : Variant(Null);
            std::vector<std::pair<Variant, TFieldType>> p;
            QString beyond, equal;
            if (v.IsEmpty()) {
                beyond = after ? c + QStringLiteral(" IS NOT NULL") : QStringLiteral("0");
                equal = c + QStringLiteral(" IS NULL");
            } else {
                beyond = after ? c + QStringLiteral(">?") : QStringLiteral("(%1<? OR %1 IS NULL)").arg(c);
                equal = c + QStringLiteral("=?");
                p.emplace_back(v, d.DataType);
            }
            std::vector<std::pair<Variant, TFieldType>> next = p;
            next.insert(next.end(), p.begin(), p.end());
            next.insert(next.end(), tail.begin(), tail.end());
            expr = QStringLiteral("(%1 OR (%2 AND %3))").arg(beyond, equal, expr);
            tail = next;
        }
        where = expr;
        params = tail;
    }

    static void BindAll(Statement& s, const std::vector<std::pair<Variant, TFieldType>>& params)
    {
        for (size_t i = 0; i < params.size(); ++i)
            s.Bind(int(i) + 1, params[i].first, params[i].second);
    }

    void ReadRow(const Statement& s, TCursorRecord& out) const
    {
        Key k;
        k.rowid = s.Int(0);
        out.Values.resize(size_t(m_defs.Count()));
        for (int i = 0; i < m_defs.Count(); ++i)
            out.Values[size_t(i)] = s.Column(i + 1, m_defs.Items(i).DataType);
        for (int c : m_sortCols)
            k.sort.push_back(out.Values[size_t(c)]);
        out.Key = EncodeKey(k);
    }

    bool FetchRowid(std::int64_t rowid, TCursorRecord& out)
    {
        Statement& s = m_conn.Prepare(m_select + QStringLiteral(" WHERE rowid=?"));
        auto reset = Finally([&s] { s.Reset(); });
        s.Bind(1, Variant(static_cast<long long>(rowid)), ftInteger);
        if (!s.Step())
            return false;
        ReadRow(s, out);
        return true;
    }

    // Serves sequential moves from the records read ahead; reads a batch when they run out.
    bool Fetch(const TBookmark& from, bool forward, TCursorRecord& out)
    {
        if (!from.isEmpty() && forward == m_aheadForward && !m_ahead.empty() && m_aheadFrom == from) {
            out = std::move(m_ahead.front());
            m_ahead.pop_front();
            m_aheadFrom = out.Key;
            return true;
        }
        m_ahead.clear();
        QString sql = m_select;
        std::vector<std::pair<Variant, TFieldType>> params;
        if (!from.isEmpty()) {
            Key k;
            if (!DecodeKey(from, k))
                return false;
            QString where;
            Condition(k, forward, where, params);
            sql += QStringLiteral(" WHERE ") + where;
        }
        sql += QStringLiteral(" ORDER BY ") + OrderBy(forward) + QStringLiteral(" LIMIT %1").arg(ReadAhead);
        Statement& s = m_conn.Prepare(sql);
        auto reset = Finally([&s] { s.Reset(); });
        BindAll(s, params);
        while (s.Step()) {
            TCursorRecord r;
            ReadRow(s, r);
            m_ahead.push_back(std::move(r));
        }
        if (m_ahead.empty())
            return false;
        out = std::move(m_ahead.front());
        m_ahead.pop_front();
        m_aheadForward = forward;
        m_aheadFrom = out.Key;
        return true;
    }

    Connection m_conn;
    QString m_label;
    QString m_table;
    QString m_select;
    TFieldDefs m_defs;
    std::vector<int> m_sortCols;
    std::deque<TCursorRecord> m_ahead;
    TBookmark m_aheadFrom;
    bool m_aheadForward = true;
};

class ParadoxDriver : public TDriver
{
public:
    QString Name() const override { return QStringLiteral("PARADOX"); }

    std::unique_ptr<TTableCursor> OpenTable(const QString& Folder, const QString& TableName,
                                            bool ReadOnly) override
    {
        return std::make_unique<ParadoxCursor>(TablePath(Folder, TableName), TableName, ReadOnly);
    }

    void CreateTable(const QString& Folder, const QString& TableName, const TFieldDefs& Defs) override
    {
        if (Defs.Count() == 0)
            throw EDatabaseError(QStringLiteral("Table '%1' needs at least one field").arg(TableName));
        const QString path = TablePath(Folder, TableName);
        if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
            throw EDatabaseError(QStringLiteral("Cannot create table '%1': folder '%2' does not exist")
                                     .arg(TableName, QFileInfo(path).absolutePath()));
        QStringList cols;
        for (int i = 0; i < Defs.Count(); ++i) {
            const TFieldDef& d = Defs.Items(i);
            QString col = Quote(d.Name) + QLatin1Char(' ') + DeclaredType(d);
            if (d.Required && d.DataType != ftAutoInc)
                col += QStringLiteral(" NOT NULL");
            cols << col;
        }
        // Built beside the target and moved into place, so a failure leaves no half-made table.
        const QString temp = path + QStringLiteral(".tmp");
        QFile::remove(temp);
        auto cleanup = Finally([&temp] { QFile::remove(temp); });
        {
            Connection c(temp, false, true, TableName);
            c.Exec(QStringLiteral("CREATE TABLE %1 (%2)")
                       .arg(Quote(QFileInfo(path).completeBaseName()), cols.join(QLatin1Char(','))));
        }
        QFile::remove(path);
        if (!QFile::rename(temp, path))
            throw EDatabaseError(QStringLiteral("Cannot create table '%1' in '%2'").arg(TableName, Folder));
    }

    void DeleteTable(const QString& Folder, const QString& TableName) override
    {
        const QString path = TablePath(Folder, TableName);
        if (!QFileInfo::exists(path))
            throw EDatabaseError(QStringLiteral("Table '%1' does not exist").arg(TableName));
        if (!QFile::remove(path))
            throw EDatabaseError(QStringLiteral("Cannot delete table '%1'").arg(TableName));
    }

    void EmptyTable(const QString& Folder, const QString& TableName) override
    {
        ParadoxCursor cursor(TablePath(Folder, TableName), TableName, false);
        cursor.EmptyAll();
    }

    bool TableExists(const QString& Folder, const QString& TableName) override
    {
        return QFileInfo::exists(TablePath(Folder, TableName));
    }
};

std::map<QString, std::unique_ptr<TDriver>>& Drivers()
{
    static std::map<QString, std::unique_ptr<TDriver>> drivers = [] {
        std::map<QString, std::unique_ptr<TDriver>> d;
        d.emplace(QStringLiteral("PARADOX"), std::make_unique<ParadoxDriver>());
        return d;
    }();
    return drivers;
}

} // namespace

TDriver& FindDriver(const QString& Name)
{
    const QString key = Name.isEmpty() ? QStringLiteral("PARADOX") : Name.toUpper();
    auto it = Drivers().find(key);
    if (it == Drivers().end())
        throw EDatabaseError(QStringLiteral("Driver '%1' not found").arg(Name));
    return *it->second;
}

void RegisterDriver(std::unique_ptr<TDriver> Driver)
{
    const QString key = Driver->Name().toUpper();
    Drivers()[key] = std::move(Driver);
}

int LockTimeoutMs()
{
    return g_lockTimeoutMs;
}

void SetLockTimeoutMs(int Milliseconds)
{
    g_lockTimeoutMs = std::max(0, Milliseconds);
}

} // namespace vyn
