// Driver "PARADOX": one table per file in a folder; each file is a SQLite database that holds
// exactly one table.

#include "platform/core/ScopeGuard.h"
#include "platform/db/Driver.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QMap>
#include <QMutex>
#include <deque>
#include <map>
#include <memory>
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

    // Ends a use of the statement: it may be evicted from its connection's cache again.
    void Reset()
    {
        if (m_pins > 0)
            --m_pins;
        Clear();
    }
    void Clear()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    void Pin() { ++m_pins; }
    bool Pinned() const { return m_pins > 0; }

    void Bind(int index, const Variant& v, TFieldType type)
    {
        int rc = SQLITE_OK;
        switch (v.Type()) {
        case TVarType::Unassigned:
        case TVarType::Null:
            rc = sqlite3_bind_null(m_stmt, index);
            break;
        case TVarType::Boolean:
            rc = sqlite3_bind_int(m_stmt, index, v.ToBool() ? 1 : 0);
            break;
        case TVarType::Integer:
            rc = sqlite3_bind_int64(m_stmt, index, v.ToInt64());
            break;
        case TVarType::Float:
            rc = sqlite3_bind_double(m_stmt, index, v.ToDouble());
            break;
        case TVarType::DateTime: {
            const QDateTime dt = v.ToDateTime();
            const QString text = type == ftDate
                                     ? dt.date().toString(Qt::ISODate)
                                     : dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
            rc = BindText(index, text.toUtf8());
            break;
        }
        case TVarType::String:
            rc = BindText(index, v.ToString().toUtf8());
            break;
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
    int ColumnCount() const { return sqlite3_column_count(m_stmt); }
    int ParamCount() const { return sqlite3_bind_parameter_count(m_stmt); }
    QString ParamName(int i) const
    {
        const char* n = sqlite3_bind_parameter_name(m_stmt, i);
        return n ? QString::fromUtf8(n + 1) : QString();
    }
    QString ColumnName(int col) const
    {
        return QString::fromUtf8(sqlite3_column_name(m_stmt, col));
    }
    QString ColumnDeclType(int col) const
    {
        return QString::fromUtf8(sqlite3_column_decltype(m_stmt, col));
    }
    QString ColumnOrigin(int col) const
    {
        return QString::fromUtf8(sqlite3_column_origin_name(m_stmt, col));
    }
    QString ColumnTable(int col) const
    {
        return QString::fromUtf8(sqlite3_column_table_name(m_stmt, col));
    }

    Variant Column(int col, TFieldType type) const
    {
        switch (sqlite3_column_type(m_stmt, col)) {
        case SQLITE_NULL:
            return Variant(Null);
        case SQLITE_INTEGER: {
            const std::int64_t n = sqlite3_column_int64(m_stmt, col);
            if (type == ftBoolean)
                return Variant(n != 0);
            if (type == ftFloat || type == ftCurrency)
                return Variant(double(n));
            return Variant(n);
        }
        case SQLITE_FLOAT:
            return Variant(sqlite3_column_double(m_stmt, col));
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
            case ftVarBytes:
                return Variant(bytes);
            case ftDate:
            case ftDateTime:
            case ftTime: {
                QDateTime dt = QDateTime::fromString(QString::fromUtf8(bytes), Qt::ISODateWithMs);
                if (!dt.isValid())
                    dt = QDateTime(QDate::fromString(QString::fromUtf8(bytes), Qt::ISODate),
                                   QTime(0, 0));
                if (!dt.isValid())
                    return Variant(QString::fromUtf8(bytes));
                dt.setTimeSpec(Qt::LocalTime);
                return Variant(dt);
            }
            default:
                return Variant(QString::fromUtf8(bytes));
            }
        }
        }
        return Variant(Null);
    }

    [[noreturn]] void Fail(sqlite3* db, int rc) const
    {
        const int primary = rc & 0xFF;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
            throw EDatabaseError(
                QStringLiteral("Table '%1' is locked by another user; gave up after %2 ms")
                    .arg(m_table)
                    .arg(g_lockTimeoutMs));
        if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
            throw EDatabaseError(QStringLiteral("'%1' is not a table file").arg(m_table));
        if (primary == SQLITE_READONLY)
            throw EDatabaseError(QStringLiteral("Table '%1' is read-only").arg(m_table));
        throw EDatabaseError(QStringLiteral("%1: %2").arg(
            m_table, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc))));
    }

private:
    int BindText(int index, const QByteArray& utf8)
    {
        return sqlite3_bind_text64(m_stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }

    sqlite3_stmt* m_stmt = nullptr;
    QString m_table;
    int m_pins = 0;
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
    // Prepared once, reused. A statement handed out stays in use until its Reset; only
    // statements not in use are evicted when the cache grows.
    Statement& Prepare(const QString& sql)
    {
        auto it = m_cache.find(sql);
        if (it == m_cache.end()) {
            if (m_cache.size() > 64)
                for (auto e = m_cache.begin(); e != m_cache.end();)
                    e = e->second->Pinned() ? std::next(e) : m_cache.erase(e);
            it = m_cache.emplace(sql, std::make_unique<Statement>(m_db, sql, m_label)).first;
        }
        it->second->Clear();
        it->second->Pin();
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
    case ftString:
        return QStringLiteral("VARCHAR(%1)").arg(def.Size);
    case ftSmallint:
        return QStringLiteral("SMALLINT");
    case ftInteger:
        return QStringLiteral("INTEGER");
    case ftWord:
        return QStringLiteral("WORD");
    case ftAutoInc:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ftBoolean:
        return QStringLiteral("BOOLEAN");
    case ftFloat:
        return QStringLiteral("FLOAT");
    case ftBCD:
        return QStringLiteral("BCD");
    case ftCurrency:
        return QStringLiteral("CURRENCY");
    case ftDate:
        return QStringLiteral("DATE");
    case ftTime:
        return QStringLiteral("TIME");
    case ftDateTime:
        return QStringLiteral("DATETIME");
    case ftMemo:
        return QStringLiteral("MEMO");
    case ftFmtMemo:
        return QStringLiteral("FMTMEMO");
    case ftGraphic:
        return QStringLiteral("GRAPHIC");
    case ftBlob:
        return QStringLiteral("BLOB");
    case ftBytes:
        return QStringLiteral("BYTES");
    case ftVarBytes:
        return QStringLiteral("VARBYTES");
    case ftUnknown:
        break;
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
    else if (t == QLatin1String("WORD"))
        d.DataType = ftWord;
    else if (t == QLatin1String("BCD"))
        d.DataType = ftBCD;
    else if (t == QLatin1String("FMTMEMO"))
        d.DataType = ftFmtMemo;
    else if (t == QLatin1String("BYTES"))
        d.DataType = ftBytes;
    else if (t == QLatin1String("VARBYTES"))
        d.DataType = ftVarBytes;
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

// rowid is the record's position in the cursor's own table (for a query: its row in the
// result); id, when set, names the record independently of that position (for a query: the
// source record), so a key survives the query being run again.
struct Key
{
    std::int64_t rowid = 0;
    std::vector<Variant> sort;
    QByteArray id;
};

void WriteVariant(QDataStream& s, const Variant& v)
{
    s << quint8(v.Type());
    switch (v.Type()) {
    case TVarType::Boolean:
        s << v.ToBool();
        break;
    case TVarType::Integer:
        s << qint64(v.ToInt64());
        break;
    case TVarType::Float:
        s << v.ToDouble();
        break;
    case TVarType::String:
        s << v.ToString();
        break;
    case TVarType::DateTime:
        s << v.ToDateTime();
        break;
    case TVarType::Bytes:
        s << v.ToBytes();
        break;
    default:
        break;
    }
}

Variant ReadVariant(QDataStream& s)
{
    quint8 type = 0;
    s >> type;
    switch (TVarType(type)) {
    case TVarType::Boolean: {
        bool b = false;
        s >> b;
        return Variant(b);
    }
    case TVarType::Integer: {
        qint64 v = 0;
        s >> v;
        return Variant(static_cast<long long>(v));
    }
    case TVarType::Float: {
        double v = 0;
        s >> v;
        return Variant(v);
    }
    case TVarType::String: {
        QString v;
        s >> v;
        return Variant(v);
    }
    case TVarType::DateTime: {
        QDateTime v;
        s >> v;
        return Variant(v);
    }
    case TVarType::Bytes: {
        QByteArray v;
        s >> v;
        return Variant(v);
    }
    default:
        return Variant(Null);
    }
}

QByteArray EncodeKey(const Key& k)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << qint64(k.rowid) << quint8(k.sort.size());
    for (const Variant& v : k.sort)
        WriteVariant(s, v);
    s << k.id;
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
    for (int i = 0; i < n && s.status() == QDataStream::Ok; ++i)
        k.sort.push_back(ReadVariant(s));
    s >> k.id;
    return s.status() == QDataStream::Ok;
}

using Params = std::vector<std::pair<Variant, TFieldType>>;

// Holds the write lock of a connection's tables; rolls back unless committed.
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

// --- The cursor over one table ---------------------------------------------------------------

constexpr int ReadAhead = 64;

// A name for the table's own row number that none of its columns hides.
QString RowidAlias(const TFieldDefs& defs, const QString& label)
{
    for (const char* alias : {"rowid", "_rowid_", "oid"})
        if (defs.IndexOf(QLatin1String(alias)) < 0)
            return QLatin1String(alias);
    throw EDatabaseError(
        QStringLiteral("'%1' has columns named rowid, _rowid_ and oid; it cannot be read")
            .arg(label));
}

// Keyset navigation over one table of a connection: the records in the order of the sort
// columns and then rowid, read a batch at a time, never all at once.
class KeysetCursor : public TTableCursor
{
public:
    KeysetCursor(std::shared_ptr<Connection> conn, QString label)
        : m_conn(std::move(conn)), m_label(std::move(label))
    {}

    void GetFieldDefs(TFieldDefs& Defs) override { Defs.Assign(m_defs); }
    bool ReadOnly() const override { return m_conn->ReadOnly(); }

    void SetOrder(const QStringList& FieldNames) override
    {
        m_sortCols = Columns(FieldNames, QStringLiteral("order by"));
        Refresh();
    }

    void SetRange(const QStringList& FieldNames, const std::vector<Variant>& Values) override
    {
        m_rangeCols = Columns(FieldNames, QStringLiteral("link on"));
        m_rangeVals = Values;
        m_rangeVals.resize(m_rangeCols.size(), Variant(Null));
        Refresh();
    }

    bool Locate(const QStringList& FieldNames, const std::vector<Variant>& Values,
                TCursorRecord& Out) override
    {
        const std::vector<int> cols = Columns(FieldNames, QStringLiteral("look up"));
        QStringList conds;
        Params params;
        RangeCondition(conds, params);
        for (size_t i = 0; i < cols.size(); ++i) {
            conds << Quote(m_defs.Items(cols[i]).Name) + QStringLiteral(" IS ?");
            params.emplace_back(i < Values.size() ? Values[i] : Variant(Null),
                                m_defs.Items(cols[i]).DataType);
        }
        QString sql = m_select;
        if (!conds.isEmpty())
            sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
        sql += QStringLiteral(" ORDER BY ") + OrderBy(true) + QStringLiteral(" LIMIT 1");
        Statement& s = m_conn->Prepare(sql);
        auto reset = Finally([&s] { s.Reset(); });
        BindAll(s, params);
        if (!s.Step())
            return false;
        ReadRow(s, Out);
        return true;
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
        return DecodeKey(KeyBytes, k) && FindRow(k, Out);
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
        QStringList conds;
        Params params;
        RangeCondition(conds, params);
        QString sql = QStringLiteral("SELECT count(*) FROM %1").arg(m_tableRef);
        if (!conds.isEmpty())
            sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
        Statement& s = m_conn->Prepare(sql);
        auto reset = Finally([&s] { s.Reset(); });
        BindAll(s, params);
        return s.Step() ? int(s.Int(0)) : 0;
    }

    int RecNo(const TBookmark& KeyBytes) override
    {
        Key k;
        if (!DecodeKey(KeyBytes, k))
            return -1;
        QString where;
        Params params;
        Where(&k, false, where, params);
        Statement& s = m_conn->Prepare(
            QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(m_tableRef, where));
        auto reset = Finally([&s] { s.Reset(); });
        BindAll(s, params);
        return s.Step() ? int(s.Int(0)) + 1 : -1;
    }

    TBookmark Insert(std::vector<Variant>& Values) override
    {
        CheckWritable();
        Refresh();
        QStringList cols, marks;
        Params params;
        for (int i = 0; i < m_defs.Count(); ++i) {
            const TFieldDef& d = m_defs.Items(i);
            if (d.DataType == ftAutoInc &&
                (size_t(i) >= Values.size() || Values[size_t(i)].IsEmpty()))
                continue;
            cols << Quote(d.Name);
            marks << QStringLiteral("?");
            params.emplace_back(size_t(i) < Values.size() ? Values[size_t(i)] : Variant(Null),
                                d.DataType);
        }
        const QString sql =
            cols.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_tableRef)
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(m_tableRef, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        Statement& s = m_conn->Prepare(sql);
        auto reset = Finally([&s] { s.Reset(); });
        BindAll(s, params);
        s.Step();
        Key k;
        k.rowid = sqlite3_last_insert_rowid(m_conn->Handle());
        return ReadBack(k, Values);
    }

    TBookmark Update(const TBookmark& KeyBytes, const std::vector<Variant>& Original,
                     std::vector<Variant>& Values) override
    {
        CheckWritable();
        Refresh();
        const Key k = Decode(KeyBytes);
        Transaction tx(*m_conn);
        CheckUnchanged(k, Original, QStringLiteral("edit"));
        QStringList sets;
        Params params;
        for (int i = 0; i < m_defs.Count() && size_t(i) < Values.size(); ++i) {
            if (size_t(i) < Original.size() && Original[size_t(i)] == Values[size_t(i)])
                continue;
            sets << Quote(m_defs.Items(i).Name) + QStringLiteral("=?");
            params.emplace_back(Values[size_t(i)], m_defs.Items(i).DataType);
        }
        if (!sets.isEmpty()) {
            params.emplace_back(Variant(static_cast<long long>(k.rowid)), ftInteger);
            Statement& s =
                m_conn->Prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                    .arg(m_tableRef, sets.join(QLatin1Char(',')), m_rowid));
            auto reset = Finally([&s] { s.Reset(); });
            BindAll(s, params);
            s.Step();
        }
        tx.Commit();
        return ReadBack(k, Values);
    }

    void Delete(const TBookmark& KeyBytes, const std::vector<Variant>& Original) override
    {
        CheckWritable();
        Refresh();
        const Key k = Decode(KeyBytes);
        Transaction tx(*m_conn);
        CheckUnchanged(k, Original, QStringLiteral("delete"));
        Statement& s =
            m_conn->Prepare(QStringLiteral("DELETE FROM %1 WHERE %2=?").arg(m_tableRef, m_rowid));
        auto reset = Finally([&s] { s.Reset(); });
        s.Bind(1, Variant(static_cast<long long>(k.rowid)), ftInteger);
        s.Step();
        tx.Commit();
    }

    void EmptyAll()
    {
        CheckWritable();
        Refresh();
        Transaction tx(*m_conn);
        m_conn->Exec(QStringLiteral("DELETE FROM %1").arg(m_tableRef));
        tx.Commit();
    }

    void Refresh() override { m_ahead.clear(); }

protected:
    // The table the cursor walks ("schema"."name"), its columns, and whether its rows carry an
    // identity column after them.
    void Configure(const QString& tableRef, const TFieldDefs& defs,
                   const QString& idColumn = QString())
    {
        m_tableRef = tableRef;
        m_defs.Assign(defs);
        m_idColumn = idColumn;
        QStringList names;
        for (int i = 0; i < m_defs.Count(); ++i)
            names << Quote(m_defs.Items(i).Name);
        if (!idColumn.isEmpty())
            names << Quote(idColumn);
        m_rowid = RowidAlias(m_defs, m_label);
        m_select = QStringLiteral("SELECT %4%1%2 FROM %3")
                       .arg(names.isEmpty() ? QString() : QStringLiteral(","),
                            names.join(QLatin1Char(',')), tableRef, m_rowid);
    }

    virtual bool FindRow(const Key& k, TCursorRecord& out)
    {
        if (!m_idColumn.isEmpty() && !k.id.isEmpty()) {
            Statement& s =
                m_conn->Prepare(m_select + QStringLiteral(" WHERE %1=?").arg(Quote(m_idColumn)));
            auto reset = Finally([&s] { s.Reset(); });
            s.Bind(1, Variant(k.id), ftBlob);
            if (!s.Step())
                return false;
            ReadRow(s, out);
            return true;
        }
        return FetchRowid(k.rowid, out);
    }

    bool FetchRowid(std::int64_t rowid, TCursorRecord& out)
    {
        Statement& s = m_conn->Prepare(m_select + QStringLiteral(" WHERE %1=?").arg(m_rowid));
        auto reset = Finally([&s] { s.Reset(); });
        s.Bind(1, Variant(static_cast<long long>(rowid)), ftInteger);
        if (!s.Step())
            return false;
        ReadRow(s, out);
        return true;
    }

    TBookmark ReadBack(const Key& k, std::vector<Variant>& values)
    {
        TCursorRecord stored;
        if (!FetchRowid(k.rowid, stored))
            throw EDatabaseError(
                QStringLiteral("Table '%1': the record cannot be read back").arg(m_label));
        values = stored.Values;
        return stored.Key;
    }

    Key Decode(const TBookmark& bytes) const
    {
        Key k;
        if (!DecodeKey(bytes, k))
            throw EDatabaseError(QStringLiteral("Table '%1': invalid record key").arg(m_label));
        return k;
    }

    void CheckWritable() const
    {
        if (ReadOnly())
            throw EDatabaseError(QStringLiteral("Table '%1' is read-only").arg(m_label));
    }

    // Fails unless the record still holds the values it was read with.
    void CheckUnchanged(const Key& k, const std::vector<Variant>& original, const QString& what)
    {
        TCursorRecord now;
        if (!FetchRowid(k.rowid, now))
            throw EDatabaseError(
                QStringLiteral("Couldn't perform the %1 because another user deleted the record")
                    .arg(what));
        for (size_t i = 0; i < original.size() && i < now.Values.size(); ++i)
            if (!(original[i] == now.Values[i]))
                throw EDatabaseError(
                    QStringLiteral(
                        "Couldn't perform the %1 because another user changed the record")
                        .arg(what));
    }

    static void BindAll(Statement& s, const Params& params)
    {
        for (size_t i = 0; i < params.size(); ++i)
            s.Bind(int(i) + 1, params[i].first, params[i].second);
    }

    std::shared_ptr<Connection> m_conn;
    QString m_label;
    TFieldDefs m_defs;

private:
    std::vector<int> Columns(const QStringList& names, const QString& what) const
    {
        std::vector<int> cols;
        for (const QString& raw : names) {
            const QString name = raw.trimmed();
            if (name.isEmpty())
                continue;
            const int i = m_defs.IndexOf(name);
            if (i < 0)
                throw EDatabaseError(
                    QStringLiteral("'%1' has no field '%2' to %3").arg(m_label, name, what));
            cols.push_back(i);
        }
        return cols;
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
        parts << m_rowid + dir;
        return parts.join(QLatin1Char(','));
    }

    void RangeCondition(QStringList& conds, Params& params) const
    {
        for (size_t i = 0; i < m_rangeCols.size(); ++i) {
            const TFieldDef& d = m_defs.Items(m_rangeCols[i]);
            conds << Quote(d.Name) + QStringLiteral(" IS ?");
            params.emplace_back(m_rangeVals[i], d.DataType);
        }
    }

    // The records after (before) the key in the order, nulls first; within the range.
    void Where(const Key* k, bool after, QString& where, Params& params) const
    {
        QStringList conds;
        RangeCondition(conds, params);
        if (k) {
            QString expr = after ? m_rowid + QStringLiteral(">?") : m_rowid + QStringLiteral("<?");
            Params tail{{Variant(static_cast<long long>(k->rowid)), ftInteger}};
            for (int i = int(m_sortCols.size()) - 1; i >= 0; --i) {
                const TFieldDef& d = m_defs.Items(m_sortCols[size_t(i)]);
                const QString c = Quote(d.Name);
                const Variant v = size_t(i) < k->sort.size() ? k->sort[size_t(i)] : Variant(Null);
                Params p;
                QString beyond, equal;
                if (v.IsEmpty()) {
                    beyond = after ? c + QStringLiteral(" IS NOT NULL") : QStringLiteral("0");
                    equal = c + QStringLiteral(" IS NULL");
                } else {
                    beyond = after ? c + QStringLiteral(">?")
                                   : QStringLiteral("(%1<? OR %1 IS NULL)").arg(c);
                    equal = c + QStringLiteral("=?");
                    p.emplace_back(v, d.DataType);
                }
                Params next = p;
                next.insert(next.end(), p.begin(), p.end());
                next.insert(next.end(), tail.begin(), tail.end());
                expr = QStringLiteral("(%1 OR (%2 AND %3))").arg(beyond, equal, expr);
                tail = next;
            }
            conds << expr;
            params.insert(params.end(), tail.begin(), tail.end());
        }
        where = conds.isEmpty() ? QStringLiteral("1") : conds.join(QStringLiteral(" AND "));
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
        if (!m_idColumn.isEmpty())
            k.id = s.Column(m_defs.Count() + 1, ftBlob).ToBytes();
        out.Key = EncodeKey(k);
    }

    // Serves sequential moves from the records read ahead; reads a batch when they run out.
    bool Fetch(const TBookmark& from, bool forward, TCursorRecord& out)
    {
        if (!from.isEmpty() && forward == m_aheadForward && !m_ahead.empty() &&
            m_aheadFrom == from) {
            out = std::move(m_ahead.front());
            m_ahead.pop_front();
            m_aheadFrom = out.Key;
            return true;
        }
        m_ahead.clear();
        Key k;
        if (!from.isEmpty() && !DecodeKey(from, k))
            return false;
        QString where;
        Params params;
        Where(from.isEmpty() ? nullptr : &k, forward, where, params);
        const QString sql = m_select + QStringLiteral(" WHERE ") + where +
                            QStringLiteral(" ORDER BY ") + OrderBy(forward) +
                            QStringLiteral(" LIMIT %1").arg(ReadAhead);
        Statement& s = m_conn->Prepare(sql);
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

    QString m_tableRef;
    QString m_select;
    QString m_rowid = QStringLiteral("rowid");
    QString m_idColumn;
    std::vector<int> m_sortCols;
    std::vector<int> m_rangeCols;
    std::vector<Variant> m_rangeVals;
    std::deque<TCursorRecord> m_ahead;
    TBookmark m_aheadFrom;
    bool m_aheadForward = true;
};

// The one table of a table file.
class ParadoxCursor : public KeysetCursor
{
public:
    ParadoxCursor(const QString& path, const QString& label, bool readOnly)
        : KeysetCursor(std::make_shared<Connection>(path, readOnly, false, label), label)
    {
        const QString table = SoleTable(*m_conn, label);
        Configure(Quote(table), ReadColumns(*m_conn, QString(), table));
    }

    static QString SoleTable(Connection& c, const QString& label, const QString& schema = QString())
    {
        const QString master = schema.isEmpty() ? QStringLiteral("sqlite_master")
                                                : Quote(schema) + QStringLiteral(".sqlite_master");
        Statement& s = c.Prepare(
            QStringLiteral("SELECT name FROM %1 WHERE type='table' AND name NOT LIKE 'sqlite_%'")
                .arg(master));
        auto reset = Finally([&s] { s.Reset(); });
        QStringList tables;
        while (s.Step())
            tables << s.Column(0, ftString).ToString();
        if (tables.size() != 1)
            throw EDatabaseError(tables.isEmpty()
                                     ? QStringLiteral("'%1' holds no table").arg(label)
                                     : QStringLiteral("'%1' holds more than one table").arg(label));
        return tables.first();
    }

    static TFieldDefs ReadColumns(Connection& c, const QString& schema, const QString& table)
    {
        const QString pragma =
            schema.isEmpty()
                ? QStringLiteral("PRAGMA table_info(%1)").arg(Quote(table))
                : QStringLiteral("PRAGMA %1.table_info(%2)").arg(Quote(schema), Quote(table));
        Statement& info = c.Prepare(pragma);
        auto reset = Finally([&info] { info.Reset(); });
        int pkCount = 0;
        std::vector<TFieldDef> cols;
        while (info.Step()) {
            const bool pk = info.Int(5) > 0;
            pkCount += pk ? 1 : 0;
            cols.push_back(ParseColumn(info.Column(1, ftString).ToString(),
                                       info.Column(2, ftString).ToString(), info.Int(3) != 0, pk));
        }
        TFieldDefs defs;
        for (TFieldDef& d : cols) {
            if (d.DataType == ftAutoInc && pkCount != 1)
                d.DataType = ftInteger;
            defs.Add(d.Name, d.DataType, d.DataType == ftString ? d.Size : 0, d.Required);
        }
        return defs;
    }
};

// --- Queries ---------------------------------------------------------------------------------

struct SqlToken
{
    enum Kind { Word, Quoted, String, Number, Param, Symbol } kind;
    QString text; // a word or quoted identifier without its quotes; a parameter without ':'
    int begin = 0, end = 0;
};

// Splits SQL into tokens, passing over comments; strings and quoted names stay whole.
std::vector<SqlToken> Tokenize(const QString& sql)
{
    std::vector<SqlToken> out;
    const int n = int(sql.size());
    int i = 0;
    auto isWord = [](QChar c) {
        return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int close = int(sql.indexOf(QLatin1String("*/"), i + 2));
            i = close < 0 ? n : close + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[') ||
                   c == QLatin1Char('`')) {
            const QChar closing = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            const int begin = i++;
            QString text;
            while (i < n) {
                if (sql[i] == closing) {
                    if (closing != QLatin1Char(']') && i + 1 < n && sql[i + 1] == closing) {
                        text += closing;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += sql[i++];
            }
            out.push_back(
                {c == QLatin1Char('\'') ? SqlToken::String : SqlToken::Quoted, text, begin, i});
        } else if (c == QLatin1Char(':') && i + 1 < n && isWord(sql[i + 1]) &&
                   !(i > 0 && sql[i - 1] == QLatin1Char(':'))) {
            const int begin = i++;
            while (i < n && isWord(sql[i]))
                ++i;
            out.push_back({SqlToken::Param, sql.mid(begin + 1, i - begin - 1), begin, i});
        } else if (c.isDigit()) {
            const int begin = i;
            while (i < n && (isWord(sql[i]) || sql[i] == QLatin1Char('.')))
                ++i;
            out.push_back({SqlToken::Number, sql.mid(begin, i - begin), begin, i});
        } else if (isWord(c)) {
            const int begin = i;
            while (i < n && isWord(sql[i]))
                ++i;
            out.push_back({SqlToken::Word, sql.mid(begin, i - begin), begin, i});
        } else {
            out.push_back({SqlToken::Symbol, QString(c), i, i + 1});
            ++i;
        }
    }
    return out;
}

bool IsWord(const SqlToken& t, const char* word)
{
    return t.kind == SqlToken::Word &&
           t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// The statement prepared over the tables it names: each table file it names is attached under
// its base name, "People.DB" written as "People", and the parameters bound by name.
class QueryConnection
{
public:
    QueryConnection(const QString& folder, const QString& sql,
                    const std::vector<TQueryParam>& params)
        : m_conn(
              std::make_shared<Connection>(QStringLiteral(":memory:"), false, true, FirstLine(sql)))
    {
        m_tokens = Tokenize(sql);
        QMap<QString, QString> files; // upper-case base name -> file
        const QDir dir(folder);
        for (const QFileInfo& fi : dir.entryInfoList(QDir::Files))
            if (fi.suffix().compare(QLatin1String("DB"), Qt::CaseInsensitive) == 0)
                files.insert(fi.completeBaseName().toUpper(), fi.absoluteFilePath());

        // Rewrite the names, and attach what they name.
        QString rewritten;
        int copied = 0;
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            const SqlToken& t = m_tokens[i];
            if (t.kind != SqlToken::Word && t.kind != SqlToken::Quoted)
                continue;
            QString base = t.text;
            int end = t.end;
            if (t.kind == SqlToken::Quoted &&
                base.endsWith(QLatin1String(".DB"), Qt::CaseInsensitive)) {
                base.chop(3);
            } else if (t.kind == SqlToken::Word && i + 2 < m_tokens.size() &&
                       m_tokens[i + 1].text == QLatin1String(".") &&
                       IsWord(m_tokens[i + 2], "DB") && files.contains(base.toUpper())) {
                end = m_tokens[i + 2].end;
                i += 2;
            }
            const auto file = files.constFind(base.toUpper());
            if (file == files.constEnd())
                continue;
            Attach(base, file.value());
            rewritten += sql.mid(copied, t.begin - copied) + Quote(base);
            copied = end;
        }
        rewritten += sql.mid(copied);
        m_sql = rewritten;
        m_label = FirstLine(sql);
        m_params = params;
    }

    static QString FirstLine(const QString& sql)
    {
        return sql.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    }

    std::unique_ptr<Statement> Prepare(const QString& sql)
    {
        auto st = std::make_unique<Statement>(m_conn->Handle(), sql, m_label);
        for (int i = 1; i <= st->ParamCount(); ++i) {
            const QString name = st->ParamName(i);
            auto it = std::find_if(m_params.begin(), m_params.end(), [&](const TQueryParam& p) {
                return p.Name.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (name.isEmpty() || it == m_params.end() || it->Value.IsUnassigned())
                throw EDatabaseError(QStringLiteral("No value for parameter '%1'")
                                         .arg(name.isEmpty() ? QStringLiteral("?") : name));
            st->Bind(i, it->Value, ftUnknown);
        }
        return st;
    }

    std::shared_ptr<Connection> Conn() const { return m_conn; }
    const QString& Sql() const { return m_sql; }
    const std::vector<SqlToken>& Tokens() const { return m_tokens; }
    // Schema and table of an attached file, by its base name.
    bool Attached(const QString& base, QString& table) const
    {
        auto it = m_attached.constFind(base.toUpper());
        if (it == m_attached.constEnd())
            return false;
        table = it.value();
        return true;
    }

private:
    void Attach(const QString& base, const QString& file)
    {
        if (m_attached.contains(base.toUpper()))
            return;
        if (m_attached.size() >= 10)
            throw EDatabaseError(QStringLiteral("A query can reach at most 10 tables"));
        Statement& s = m_conn->Prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(Quote(base)));
        s.Bind(1, Variant(file), ftString);
        s.Step();
        s.Reset();
        const QString table = ParadoxCursor::SoleTable(*m_conn, base, base);
        m_attached.insert(base.toUpper(), table);
        if (table.compare(base, Qt::CaseInsensitive) != 0)
            m_conn->Exec(QStringLiteral("CREATE TEMP VIEW %1 AS SELECT * FROM %2.%3")
                             .arg(Quote(base), Quote(base), Quote(table)));
    }

    std::shared_ptr<Connection> m_conn;
    std::vector<SqlToken> m_tokens;
    QString m_sql;
    QString m_label;
    std::vector<TQueryParam> m_params;
    QMap<QString, QString> m_attached;
};

// The result of a query, kept in a temporary table of its connection so that it is walked like
// a table. A live result writes back to its one source table by the source's rowid.
class QueryCursor : public KeysetCursor
{
public:
    QueryCursor(const QString& folder, const QString& sql, const std::vector<TQueryParam>& params,
                bool live)
        : KeysetCursor(nullptr, QueryConnection::FirstLine(sql)), m_query(folder, sql, params)
    {
        m_conn = m_query.Conn();
        const QString source = SingleSource();
        QString select = m_query.Sql();
        if (!source.isEmpty()) {
            // Carry the source record's rowid, as the result's identity.
            const auto& toks = Tokenize(select);
            const int at = toks.front().end;
            const QString rowid = RowidAlias(
                ParadoxCursor::ReadColumns(*m_conn, m_sourceSchema, m_sourceTable), m_label);
            m_sourceRowid = rowid;
            select = select.left(at) +
                     QStringLiteral(" %1.%2 AS \"__vyn_src\",").arg(Quote(m_sourceAlias), rowid) +
                     select.mid(at);
        }
        std::unique_ptr<Statement> st = m_query.Prepare(select);
        const int first = source.isEmpty() ? 0 : 1;
        const int columns = st->ColumnCount() - first;
        if (columns <= 0)
            throw EDatabaseError(QStringLiteral("Query returns no records: %1").arg(m_label));

        TFieldDefs defs, sourceDefs;
        if (!source.isEmpty())
            sourceDefs = ParadoxCursor::ReadColumns(*m_conn, m_sourceSchema, m_sourceTable);
        QStringList temp;
        for (int c = 0; c < columns; ++c) {
            QString name = st->ColumnName(first + c);
            for (int k = 1; defs.IndexOf(name) >= 0; ++k)
                name = st->ColumnName(first + c) + QStringLiteral("_%1").arg(k);
            const QString declared = st->ColumnDeclType(first + c);
            TFieldDef def = declared.isEmpty() ? TFieldDef(name, ftString, 255)
                                               : ParseColumn(name, declared, false, false);
            const QString origin = st->ColumnOrigin(first + c);
            m_origin.push_back(!source.isEmpty() && st->ColumnTable(first + c).compare(
                                                        m_sourceTable, Qt::CaseInsensitive) == 0
                                   ? origin
                                   : QString());
            // A column of the source table keeps its exact type (an auto-increment key stays one).
            if (const TFieldDef* src =
                    m_origin.back().isEmpty() ? nullptr : sourceDefs.Find(m_origin.back())) {
                def.DataType = src->DataType;
                def.Size = src->Size;
            }
            if (def.DataType == ftAutoInc && m_origin.back().isEmpty())
                def.DataType = ftInteger;
            defs.Add(name, def.DataType, def.DataType == ftString ? def.Size : 0);
            temp << QStringLiteral("c%1").arg(c);
        }
        m_live = live && !source.isEmpty();

        // Materialise the result: a row per record, in the query's order, with its identity.
        static int serial = 0;
        m_temp = QStringLiteral("__vyn_r%1").arg(++serial);
        m_conn->Exec(QStringLiteral("CREATE TEMP TABLE %1 (%2, \"__vyn_id\" BLOB)")
                         .arg(Quote(m_temp), temp.join(QLatin1Char(','))));
        m_conn->Exec(QStringLiteral("CREATE INDEX temp.%1 ON %2(\"__vyn_id\")")
                         .arg(Quote(m_temp + QStringLiteral("_id")), Quote(m_temp)));
        QStringList marks;
        for (int c = 0; c <= columns; ++c)
            marks << QStringLiteral("?");
        Statement& ins = m_conn->Prepare(QStringLiteral("INSERT INTO temp.%1 VALUES (%2)")
                                             .arg(Quote(m_temp), marks.join(QLatin1Char(','))));
        m_conn->Exec(QStringLiteral("BEGIN"));
        auto rollback = Finally(
            [this] { sqlite3_exec(m_conn->Handle(), "ROLLBACK", nullptr, nullptr, nullptr); });
        QHash<QByteArray, int> seen;
        while (st->Step()) {
            ins.Reset();
            QByteArray id;
            QDataStream ids(&id, QIODevice::WriteOnly);
            if (!source.isEmpty()) {
                ids << qint64(st->Int(0));
            } else {
                // Without a source record, a record is known by its values (and which copy).
                for (int c = 0; c < columns; ++c)
                    WriteVariant(ids, st->Column(c, defs.Items(c).DataType));
                ids << qint32(seen[id]++);
            }
            for (int c = 0; c < columns; ++c)
                ins.Bind(c + 1, st->Column(first + c, defs.Items(c).DataType),
                         defs.Items(c).DataType);
            ins.Bind(columns + 1, Variant(id), ftBlob);
            ins.Step();
        }
        rollback.Dismiss();
        m_conn->Exec(QStringLiteral("COMMIT"));
        ins.Reset();

        // Walk it under the result's own column names.
        TFieldDefs shown;
        shown.Assign(defs);
        m_names = defs;
        for (int c = 0; c < shown.Count(); ++c)
            shown.Items(c).Name = temp[c];
        Configure(QStringLiteral("temp.") + Quote(m_temp), shown, QStringLiteral("__vyn_id"));
    }

    void GetFieldDefs(TFieldDefs& Defs) override { Defs.Assign(m_names); }
    bool ReadOnly() const override { return !m_live; }

    TBookmark Insert(std::vector<Variant>& Values) override
    {
        CheckWritable();
        QStringList cols, marks;
        Params params;
        for (size_t c = 0; c < m_origin.size() && c < Values.size(); ++c) {
            if (m_origin[c].isEmpty() ||
                (m_names.Items(int(c)).DataType == ftAutoInc && Values[c].IsEmpty()))
                continue;
            cols << Quote(m_origin[c]);
            marks << QStringLiteral("?");
            params.emplace_back(Values[c], m_names.Items(int(c)).DataType);
        }
        Transaction tx(*m_conn);
        const QString target = SourceRef();
        Statement& s = m_conn->Prepare(
            cols.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(target)
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(target, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        BindAll(s, params);
        s.Step();
        s.Reset();
        const std::int64_t src = sqlite3_last_insert_rowid(m_conn->Handle());
        std::vector<Variant> stored = ReadSource(src, Values);
        QByteArray id;
        QDataStream ids(&id, QIODevice::WriteOnly);
        ids << qint64(src);
        QStringList tmarks;
        for (size_t c = 0; c <= stored.size(); ++c)
            tmarks << QStringLiteral("?");
        Statement& t = m_conn->Prepare(QStringLiteral("INSERT INTO temp.%1 VALUES (%2)")
                                           .arg(Quote(m_temp), tmarks.join(QLatin1Char(','))));
        for (size_t c = 0; c < stored.size(); ++c)
            t.Bind(int(c) + 1, stored[c], m_names.Items(int(c)).DataType);
        t.Bind(int(stored.size()) + 1, Variant(id), ftBlob);
        t.Step();
        t.Reset();
        tx.Commit();
        Refresh();
        Key k;
        k.rowid = sqlite3_last_insert_rowid(m_conn->Handle());
        return ReadBack(k, Values);
    }

    TBookmark Update(const TBookmark& KeyBytes, const std::vector<Variant>& Original,
                     std::vector<Variant>& Values) override
    {
        CheckWritable();
        const Key k = Decode(KeyBytes);
        const std::int64_t src = SourceRowid(k);
        Transaction tx(*m_conn);
        CheckSourceUnchanged(src, Original, QStringLiteral("edit"));
        QStringList sets;
        Params params;
        for (size_t c = 0; c < m_origin.size() && c < Values.size(); ++c) {
            if (m_origin[c].isEmpty() || (c < Original.size() && Original[c] == Values[c]))
                continue;
            sets << Quote(m_origin[c]) + QStringLiteral("=?");
            params.emplace_back(Values[c], m_names.Items(int(c)).DataType);
        }
        if (!sets.isEmpty()) {
            params.emplace_back(Variant(static_cast<long long>(src)), ftInteger);
            Statement& s =
                m_conn->Prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                                    .arg(SourceRef(), sets.join(QLatin1Char(',')), m_sourceRowid));
            BindAll(s, params);
            s.Step();
            s.Reset();
        }
        const std::vector<Variant> stored = ReadSource(src, Values);
        WriteTempRow(k.rowid, stored);
        tx.Commit();
        Refresh();
        return ReadBack(k, Values);
    }

    void Delete(const TBookmark& KeyBytes, const std::vector<Variant>& Original) override
    {
        CheckWritable();
        const Key k = Decode(KeyBytes);
        const std::int64_t src = SourceRowid(k);
        Transaction tx(*m_conn);
        CheckSourceUnchanged(src, Original, QStringLiteral("delete"));
        Statement& s = m_conn->Prepare(
            QStringLiteral("DELETE FROM %1 WHERE %2=?").arg(SourceRef(), m_sourceRowid));
        s.Bind(1, Variant(static_cast<long long>(src)), ftInteger);
        s.Step();
        s.Reset();
        Statement& t =
            m_conn->Prepare(QStringLiteral("DELETE FROM temp.%1 WHERE rowid=?").arg(Quote(m_temp)));
        t.Bind(1, Variant(static_cast<long long>(k.rowid)), ftInteger);
        t.Step();
        t.Reset();
        tx.Commit();
        Refresh();
    }

protected:
    // A record that has gone from the result is looked for by its identity only; its old row
    // number still gives its place.
    bool FindRow(const Key& k, TCursorRecord& out) override
    {
        return KeysetCursor::FindRow(k, out);
    }

private:
    // The one table a simple query reads (no joins, grouping or set operations), or "".
    QString SingleSource()
    {
        const auto& t = m_query.Tokens();
        if (t.empty() || !IsWord(t.front(), "SELECT"))
            return QString();
        int depth = 0;
        int from = -1;
        for (size_t i = 0; i < t.size(); ++i) {
            if (t[i].text == QLatin1String("("))
                ++depth;
            else if (t[i].text == QLatin1String(")"))
                --depth;
            if (depth != 0)
                continue;
            for (const char* w :
                 {"DISTINCT", "GROUP", "UNION", "INTERSECT", "EXCEPT", "JOIN", "HAVING"})
                if (IsWord(t[i], w))
                    return QString();
            if (IsWord(t[i], "FROM") && from < 0)
                from = int(i);
        }
        if (from < 0 || from + 1 >= int(t.size()))
            return QString();
        const SqlToken& table = t[size_t(from) + 1];
        QString base = table.text;
        if (base.endsWith(QLatin1String(".DB"), Qt::CaseInsensitive))
            base.chop(3);
        QString inner;
        if (!m_query.Attached(base, inner))
            return QString();
        // What follows the table: an alias, then the end of the FROM clause.
        size_t j = size_t(from) + 2;
        if (j + 1 < t.size() && t[j].text == QLatin1String(".") && IsWord(t[j + 1], "DB"))
            j += 2;
        m_sourceAlias = base;
        if (j < t.size() && IsWord(t[j], "AS"))
            ++j;
        if (j < t.size() && (t[j].kind == SqlToken::Word || t[j].kind == SqlToken::Quoted)) {
            bool keyword = false;
            for (const char* w : {"WHERE", "ORDER", "LIMIT", "GROUP", "WINDOW"})
                keyword |= IsWord(t[j], w);
            if (!keyword) {
                m_sourceAlias = t[j].text;
                ++j;
            }
        }
        if (j < t.size() && t[j].text == QLatin1String(","))
            return QString();
        m_sourceSchema = base;
        m_sourceTable = inner;
        return base;
    }

    QString SourceRef() const
    {
        return Quote(m_sourceSchema) + QLatin1Char('.') + Quote(m_sourceTable);
    }

    std::int64_t SourceRowid(const Key& k) const
    {
        QDataStream s(k.id);
        qint64 src = 0;
        s >> src;
        return src;
    }

    // The source record's values for the result's columns (computed ones keep theirs).
    std::vector<Variant> ReadSource(std::int64_t src, const std::vector<Variant>& fallback)
    {
        QStringList cols;
        for (const QString& o : m_origin)
            cols << (o.isEmpty() ? QStringLiteral("NULL") : Quote(o));
        Statement& s =
            m_conn->Prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                                .arg(cols.join(QLatin1Char(',')), SourceRef(), m_sourceRowid));
        auto reset = Finally([&s] { s.Reset(); });
        s.Bind(1, Variant(static_cast<long long>(src)), ftInteger);
        if (!s.Step())
            throw EDatabaseError(QStringLiteral(
                "Couldn't perform the edit because another user deleted the record"));
        std::vector<Variant> out(m_origin.size());
        for (size_t c = 0; c < m_origin.size(); ++c)
            out[c] = m_origin[c].isEmpty() ? (c < fallback.size() ? fallback[c] : Variant(Null))
                                           : s.Column(int(c), m_names.Items(int(c)).DataType);
        return out;
    }

    void CheckSourceUnchanged(std::int64_t src, const std::vector<Variant>& original,
                              const QString& what)
    {
        std::vector<Variant> now;
        try {
            now = ReadSource(src, original);
        } catch (const EDatabaseError&) {
            throw EDatabaseError(
                QStringLiteral("Couldn't perform the %1 because another user deleted the record")
                    .arg(what));
        }
        for (size_t c = 0; c < now.size() && c < original.size(); ++c)
            if (!m_origin[c].isEmpty() && !(now[c] == original[c]))
                throw EDatabaseError(
                    QStringLiteral(
                        "Couldn't perform the %1 because another user changed the record")
                        .arg(what));
    }

    void WriteTempRow(std::int64_t row, const std::vector<Variant>& values)
    {
        QStringList sets;
        for (size_t c = 0; c < values.size(); ++c)
            sets << QStringLiteral("c%1=?").arg(c);
        Statement& t = m_conn->Prepare(QStringLiteral("UPDATE temp.%1 SET %2 WHERE rowid=?")
                                           .arg(Quote(m_temp), sets.join(QLatin1Char(','))));
        for (size_t c = 0; c < values.size(); ++c)
            t.Bind(int(c) + 1, values[c], m_names.Items(int(c)).DataType);
        t.Bind(int(values.size()) + 1, Variant(static_cast<long long>(row)), ftInteger);
        t.Step();
        t.Reset();
    }

    QueryConnection m_query;
    QString m_temp;
    QString m_sourceSchema, m_sourceTable, m_sourceAlias;
    QString m_sourceRowid = QStringLiteral("rowid");
    std::vector<QString> m_origin; // source column of each result column, or ""
    TFieldDefs m_names;
    bool m_live = false;
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

    void CreateTable(const QString& Folder, const QString& TableName,
                     const TFieldDefs& Defs) override
    {
        if (Defs.Count() == 0)
            throw EDatabaseError(
                QStringLiteral("Table '%1' needs at least one field").arg(TableName));
        const QString path = TablePath(Folder, TableName);
        if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
            throw EDatabaseError(
                QStringLiteral("Cannot create table '%1': folder '%2' does not exist")
                    .arg(TableName, QFileInfo(path).absolutePath()));
        QStringList cols;
        for (int i = 0; i < Defs.Count(); ++i) {
            const TFieldDef& d = Defs.Items(i);
            for (const char* reserved : {"rowid", "_rowid_", "oid"})
                if (d.Name.compare(QLatin1String(reserved), Qt::CaseInsensitive) == 0)
                    throw EDatabaseError(
                        QStringLiteral("Table '%1': '%2' is reserved and cannot name a field")
                            .arg(TableName, d.Name));
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
            c.Exec(
                QStringLiteral("CREATE TABLE %1 (%2)")
                    .arg(Quote(QFileInfo(path).completeBaseName()), cols.join(QLatin1Char(','))));
        }
        QFile::remove(path);
        if (!QFile::rename(temp, path))
            throw EDatabaseError(
                QStringLiteral("Cannot create table '%1' in '%2'").arg(TableName, Folder));
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

    std::unique_ptr<TTableCursor> OpenQuery(const QString& Folder, const QString& Sql,
                                            const std::vector<TQueryParam>& Params,
                                            bool Live) override
    {
        return std::make_unique<QueryCursor>(Folder, Sql, Params, Live);
    }

    int ExecSQL(const QString& Folder, const QString& Sql,
                const std::vector<TQueryParam>& Params) override
    {
        QueryConnection q(Folder, Sql, Params);
        std::unique_ptr<Statement> st = q.Prepare(q.Sql());
        while (st->Step()) {
        }
        return sqlite3_changes(q.Conn()->Handle());
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

QStringList ParseParamNames(const QString& Sql)
{
    QStringList names;
    for (const SqlToken& t : Tokenize(Sql))
        if (t.kind == SqlToken::Param && !names.contains(t.text, Qt::CaseInsensitive))
            names << t.text;
    return names;
}

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
