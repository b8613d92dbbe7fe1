#include "platform/db/DBTables.h"

#include "platform/core/ScopeGuard.h"
#include "platform/core/TypInfo.h"
#include "platform/core/Unit.h"
#include "platform/db/DataSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>
#include <map>

namespace vyn {

namespace {

QString Upper(const QString& s)
{
    return s.trimmed().toUpper();
}

QString ParamValue(const QStringList& params, const QString& name)
{
    for (const QString& line : params) {
        const int eq = int(line.indexOf(QLatin1Char('=')));
        if (eq > 0 && line.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed();
    }
    return QString();
}

// Aliases known to the whole process but not written anywhere.
std::map<QString, std::pair<QString, QStringList>>& VirtualAliases()
{
    static std::map<QString, std::pair<QString, QStringList>> aliases;
    return aliases;
}

// The persistent alias file: "[NAME]" sections of "KEY=value" lines, DRIVER among them.
using AliasMap = std::map<QString, std::pair<QString, QStringList>>;

AliasMap ReadAliasFile()
{
    AliasMap result;
    QFile f(TSession::AliasFileName());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return result;
    QString section;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed();
            result[Upper(section)].first = QStringLiteral("PARADOX");
            continue;
        }
        if (section.isEmpty() || !line.contains(QLatin1Char('=')))
            continue;
        auto& alias = result[Upper(section)];
        if (line.section(QLatin1Char('='), 0, 0)
                .trimmed()
                .compare(QLatin1String("DRIVER"), Qt::CaseInsensitive) == 0)
            alias.first = line.section(QLatin1Char('='), 1).trimmed();
        else
            alias.second << line;
    }
    return result;
}

void WriteAliasFile(const AliasMap& aliases)
{
    const QString name = TSession::AliasFileName();
    QDir().mkpath(QFileInfo(name).absolutePath());
    QSaveFile f(name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        throw EDatabaseError(QStringLiteral("Cannot write the alias configuration '%1'").arg(name));
    QTextStream out(&f);
    for (const auto& [key, alias] : aliases) {
        out << '[' << key << "]\n"
            << "DRIVER=" << alias.first << '\n';
        for (const QString& p : alias.second)
            out << p << '\n';
        out << '\n';
    }
    out.flush();
    if (!f.commit())
        throw EDatabaseError(QStringLiteral("Cannot write the alias configuration '%1'").arg(name));
}

TSession* g_session = nullptr;

const TUnitRegistration dbUnit("DBTables", {}, nullptr, [] { TSessionRef::Free(); });

} // namespace

// --- TDatabase -------------------------------------------------------------------------------

const TClassInfo& TDatabase::StaticClassInfo()
{
    using C = TDatabase;
    static const TClassInfo info =
        TClassBuilder<C>("TDatabase")
            .Property("DatabaseName", &C::DatabaseName, &C::SetDatabaseName)
            .Property("AliasName", &C::AliasName, &C::SetAliasName)
            .Property("DriverName", &C::DriverName, &C::SetDriverName)
            .Property("Params", &C::Params, &C::SetParams)
            .Property("Connected", &C::Connected, &C::SetConnected)
            .Property("KeepConnection", &C::KeepConnection, &C::SetKeepConnection)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TDatabase)

TDatabase::TDatabase(TComponent* AOwner) : TComponent(AOwner)
{
    Session->AddDatabase(this);
}

TDatabase::~TDatabase()
{
    Close();
    if (g_session)
        g_session->RemoveDatabase(this);
}

void TDatabase::SetDatabaseName(const QString& Value)
{
    if (m_connected)
        DatabaseError(QStringLiteral("Cannot rename a connected database"), this);
    m_databaseName = Value;
}

void TDatabase::SetAliasName(const QString& Value)
{
    if (m_connected)
        DatabaseError(QStringLiteral("Cannot change the alias of a connected database"), this);
    m_aliasName = Value;
    if (!Value.isEmpty())
        m_driverName.clear();
}

void TDatabase::SetDriverName(const QString& Value)
{
    if (m_connected)
        DatabaseError(QStringLiteral("Cannot change the driver of a connected database"), this);
    m_driverName = Value;
    if (!Value.isEmpty())
        m_aliasName.clear();
}

void TDatabase::SetConnected(bool Value)
{
    if (ComponentState().Contains(csLoading) && Value)
        return; // connected on first use
    if (Value == m_connected) {
        return;
    }
    if (!Value) {
        Close();
        return;
    }
    QString driver = m_driverName;
    QString path = ParamValue(m_params->ToStringList(), QStringLiteral("PATH"));
    if (!m_aliasName.isEmpty()) {
        TSession::Alias alias;
        if (!Session->FindAlias(m_aliasName, alias))
            DatabaseError(QStringLiteral("Alias '%1' not found").arg(m_aliasName), this);
        driver = alias.driver;
        const QString aliasPath = ParamValue(alias.params, QStringLiteral("PATH"));
        if (path.isEmpty())
            path = aliasPath;
    }
    if (path.isEmpty())
        path = QDir::currentPath();
    if (!QFileInfo(path).isDir())
        DatabaseError(
            QStringLiteral("Path '%1' of database '%2' not found").arg(path, m_databaseName));
    m_driver = &FindDriver(driver);
    m_directory = QFileInfo(path).absoluteFilePath();
    m_connected = true;
}

void TDatabase::Close()
{
    if (!m_connected)
        return;
    for (TDataSet* d : std::vector<TDataSet*>(m_dataSets))
        d->Close();
    m_connected = false;
    m_driver = nullptr;
}

TDataSet* TDatabase::DataSets(int Index) const
{
    if (Index < 0 || Index >= DataSetCount())
        DatabaseError(QStringLiteral("Dataset index out of range"), this);
    return m_dataSets[size_t(Index)];
}

TDriver& TDatabase::Driver() const
{
    if (!m_driver)
        DatabaseError(QStringLiteral("Database '%1' is not connected").arg(m_databaseName));
    return *m_driver;
}

void TDatabase::RegisterClient(TDataSet* DataSet)
{
    if (std::find(m_dataSets.begin(), m_dataSets.end(), DataSet) == m_dataSets.end())
        m_dataSets.push_back(DataSet);
}

void TDatabase::UnregisterClient(TDataSet* DataSet)
{
    m_dataSets.erase(std::remove(m_dataSets.begin(), m_dataSets.end(), DataSet), m_dataSets.end());
}

// --- TDBDataSet ------------------------------------------------------------------------------

const TClassInfo& TDBDataSet::StaticClassInfo()
{
    using C = TDBDataSet;
    static const TClassInfo info =
        TClassBuilder<C>("TDBDataSet")
            .Property("DatabaseName", &C::DatabaseName, &C::SetDatabaseName)
            .Build();
    return info;
}

TDBDataSet::~TDBDataSet()
{
    CloseDatabase();
}

void TDBDataSet::SetDatabaseName(const QString& Value)
{
    CheckInactive();
    m_databaseName = Value;
}

TDatabase* TDBDataSet::OpenDatabase()
{
    if (!m_database) {
        m_database = Session->OpenDatabase(m_databaseName);
        m_database->RegisterClient(this);
    }
    return m_database;
}

void TDBDataSet::CloseDatabase()
{
    if (m_database && g_session) {
        for (int i = 0; i < g_session->DatabaseCount(); ++i)
            if (g_session->Databases(i) == m_database)
                m_database->UnregisterClient(this);
    }
    m_database = nullptr;
}

// --- TCursorDataSet -------------------------------------------------------------------------

const TClassInfo& TCursorDataSet::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TCursorDataSet>("TCursorDataSet").Build();
    return info;
}

TCursorDataSet::~TCursorDataSet()
{
    CloseQuietly();
}

void TCursorDataSet::CloseQuietly()
{
    if (Active()) {
        SetState(dsInactive);
        m_cursor.reset();
        CloseDatabase();
    }
}

bool TCursorDataSet::CanModify() const
{
    return Active() && m_cursor && !m_cursor->ReadOnly();
}

void TCursorDataSet::InternalOpen()
{
    TDatabase* db = OpenDatabase();
    auto undo = Finally([this] { CloseDatabase(); });
    try {
        m_cursor = CreateCursor(db);
        m_cursor->GetFieldDefs(FieldDefs());
    } catch (const EDatabaseError& e) {
        m_cursor.reset();
        if (e.Message().startsWith(Name() + QStringLiteral(": ")))
            throw;
        DatabaseError(e.Message(), this);
    }
    undo.Dismiss();
    m_crack = Crack::Bof;
    m_cursorKey.clear();
}

void TCursorDataSet::InternalClose()
{
    m_cursor.reset();
    CloseDatabase();
    m_cursorKey.clear();
    m_crack = Crack::Bof;
}

void TCursorDataSet::InternalFirst()
{
    m_crack = Crack::Bof;
    m_cursorKey.clear();
}

void TCursorDataSet::InternalLast()
{
    m_crack = Crack::Eof;
    m_cursorKey.clear();
}

void TCursorDataSet::Take(TRecordBuffer& Buffer, TCursorRecord& Record)
{
    Buffer.Key = Record.Key;
    Buffer.Values = std::move(Record.Values);
    Buffer.Flag = bfCurrent;
    m_cursorKey = Buffer.Key;
    m_crack = Crack::OnRecord;
}

TGetResult TCursorDataSet::GetRecord(TRecordBuffer& Buffer, TGetMode GetMode)
{
    TCursorRecord rec;
    switch (GetMode) {
    case gmCurrent:
        // A re-read starts here: nothing read ahead may stand in for the table as it is now.
        m_cursor->Refresh();
        if (m_crack != Crack::OnRecord || !m_cursor->FetchKey(m_cursorKey, rec))
            return grError;
        break;
    case gmNext:
        if (m_crack == Crack::Eof)
            return grEOF;
        if (!m_cursor->FetchNext(m_crack == Crack::Bof ? TBookmark() : m_cursorKey, rec)) {
            m_crack = Crack::Eof;
            m_cursorKey.clear();
            return grEOF;
        }
        break;
    case gmPrior:
        if (m_crack == Crack::Bof)
            return grBOF;
        if (!m_cursor->FetchPrior(m_crack == Crack::Eof ? TBookmark() : m_cursorKey, rec)) {
            m_crack = Crack::Bof;
            m_cursorKey.clear();
            return grBOF;
        }
        break;
    }
    Take(Buffer, rec);
    return grOK;
}

void TCursorDataSet::InternalSetToRecord(const TRecordBuffer& Buffer)
{
    if (Buffer.Key.isEmpty())
        return;
    m_cursorKey = Buffer.Key;
    m_crack = Crack::OnRecord;
}

void TCursorDataSet::InternalGotoBookmark(const TBookmark& Bookmark)
{
    // Where the record stands now, when it still exists; else where it stood.
    TCursorRecord rec;
    m_cursorKey = m_cursor->FetchKey(Bookmark, rec) ? rec.Key : Bookmark;
    m_crack = Crack::OnRecord;
}

std::vector<Variant> TCursorDataSet::Columns(const std::vector<Variant>& Values) const
{
    const size_t n = std::min(size_t(FieldDefs().Count()), Values.size());
    return std::vector<Variant>(Values.begin(), Values.begin() + n);
}

void TCursorDataSet::InternalEdit(TRecordBuffer& Buffer)
{
    TCursorRecord rec;
    m_cursor->Refresh();
    if (!m_cursor->FetchKey(Buffer.Key, rec))
        DatabaseError(QStringLiteral("The record was deleted by another user"), this);
    Buffer.Key = rec.Key;
    for (size_t i = 0; i < rec.Values.size() && i < Buffer.Values.size(); ++i)
        Buffer.Values[i] = rec.Values[i];
}

void TCursorDataSet::InternalPost(TRecordBuffer& Buffer, const std::vector<Variant>& Original,
                                  bool Inserting)
{
    std::vector<Variant> values = Columns(Buffer.Values);
    try {
        Buffer.Key = Inserting ? m_cursor->Insert(values)
                               : m_cursor->Update(Buffer.Key, Columns(Original), values);
    } catch (const EDatabaseError& e) {
        DatabaseError(e.Message(), this);
    }
    for (size_t i = 0; i < values.size() && i < Buffer.Values.size(); ++i)
        Buffer.Values[i] = values[i];
}

void TCursorDataSet::InternalDelete(const TRecordBuffer& Buffer)
{
    try {
        m_cursor->Delete(Buffer.Key, Columns(Buffer.Values));
    } catch (const EDatabaseError& e) {
        DatabaseError(e.Message(), this);
    }
}

void TCursorDataSet::InternalRefresh()
{
    m_cursor->Refresh();
}

bool TCursorDataSet::InternalBookmarkValid(const TBookmark& Bookmark) const
{
    return m_cursor && m_cursor->KeyExists(Bookmark);
}

int TCursorDataSet::InternalCompareBookmarks(const TBookmark& A, const TBookmark& B) const
{
    return m_cursor ? m_cursor->CompareKeys(A, B) : 0;
}

int TCursorDataSet::InternalRecordCount() const
{
    return m_cursor->RecordCount();
}

int TCursorDataSet::InternalRecNo(const TBookmark& Key) const
{
    return m_cursor->RecNo(Key);
}

bool TCursorDataSet::InternalLocate(const QStringList& FieldNames,
                                    const std::vector<Variant>& Values, std::vector<Variant>& Found)
{
    TCursorRecord rec;
    if (!m_cursor->Locate(FieldNames, Values, rec))
        return false;
    Found = std::move(rec.Values);
    return true;
}

// --- TTable ----------------------------------------------------------------------------------

// Follows the master: the detail shows the records of the master's current record.
class TMasterDataLink : public TDataLink
{
public:
    explicit TMasterDataLink(TTable* detail) : m_detail(detail) {}

protected:
    void ActiveChanged() override { m_detail->MasterChanged(); }
    void DataSetChanged() override { m_detail->MasterChanged(); }
    void DataSetScrolled(int) override { m_detail->MasterChanged(); }
    void RecordChanged(TField*) override { m_detail->MasterChanged(); }

private:
    TTable* m_detail;
};

const TClassInfo& TTable::StaticClassInfo()
{
    using C = TTable;
    static const TClassInfo info =
        TClassBuilder<C>("TTable")
            .Property("TableName", &C::TableName, &C::SetTableName)
            .Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly)
            .Property("IndexFieldNames", &C::IndexFieldNames, &C::SetIndexFieldNames)
            .Property("MasterSource", &C::MasterSource, &C::SetMasterSource)
            .Property("MasterFields", &C::MasterFields, &C::SetMasterFields)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TTable)

TTable::TTable(TComponent* AOwner)
    : TCursorDataSet(AOwner), m_masterLink(std::make_unique<TMasterDataLink>(this))
{}

TTable::~TTable()
{
    CloseQuietly();
    m_masterLink->SetDataSource(nullptr);
}

void TTable::SetTableName(const QString& Value)
{
    CheckInactive();
    m_tableName = Value;
}

void TTable::SetReadOnly(bool Value)
{
    CheckInactive();
    m_readOnly = Value;
}

void TTable::SetIndexFieldNames(const QString& Value)
{
    m_indexFieldNames = Value;
    if (Active() && Cursor()) {
        CheckBrowseMode();
        Cursor()->SetOrder(Value.split(QLatin1Char(';'), Qt::SkipEmptyParts));
        First();
    }
}

TDataSource* TTable::MasterSource() const
{
    return m_masterLink->DataSource();
}

void TTable::SetMasterSource(TDataSource* Value)
{
    if (Value && Value->DataSet() == this)
        DatabaseError(QStringLiteral("A table cannot be its own master"), this);
    ChangeReference(MasterSource(), Value);
    m_masterLink->SetDataSource(Value);
    MasterChanged();
}

void TTable::SetMasterFields(const QString& Value)
{
    m_masterFields = Value;
    MasterChanged();
}

bool TTable::MasterValues(QStringList& DetailFields, std::vector<Variant>& Values) const
{
    TDataSet* master = m_masterLink->DataSet();
    const QStringList masterFields = m_masterFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (!master || !master->Active() || masterFields.isEmpty())
        return false;
    // The detail's first index fields, or fields of the same names as the master's.
    QStringList index = m_indexFieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (int i = 0; i < masterFields.size(); ++i) {
        DetailFields << (i < index.size() ? index[i].trimmed() : masterFields[i].trimmed());
        Values.push_back(master->FieldByName(masterFields[i].trimmed())->AsVariant());
    }
    return true;
}

void TTable::MasterChanged()
{
    if (!Active() || !Cursor())
        return;
    QStringList fields;
    std::vector<Variant> values;
    MasterValues(fields, values);
    if (values == m_masterValues && !values.empty())
        return;
    CheckBrowseMode();
    m_masterValues = values;
    Cursor()->SetRange(fields, values);
    First();
}

std::unique_ptr<TTableCursor> TTable::CreateCursor(TDatabase* Database)
{
    if (m_tableName.isEmpty())
        DatabaseError(QStringLiteral("Missing table name"), this);
    auto cursor = Database->Driver().OpenTable(Database->Directory(), m_tableName, m_readOnly);
    cursor->SetOrder(m_indexFieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    QStringList fields;
    m_masterValues.clear();
    if (MasterValues(fields, m_masterValues))
        cursor->SetRange(fields, m_masterValues);
    return cursor;
}

void TTable::InternalInitRecord(TRecordBuffer& Buffer)
{
    TCursorDataSet::InternalInitRecord(Buffer);
    // A new detail record belongs to the master's current record.
    QStringList fields;
    std::vector<Variant> values;
    if (!MasterValues(fields, values))
        return;
    for (int i = 0; i < fields.size(); ++i) {
        const int slot = FieldDefs().IndexOf(fields[i]);
        if (slot >= 0 && size_t(slot) < Buffer.Values.size())
            Buffer.Values[size_t(slot)] = values[size_t(i)];
    }
}

bool TTable::CanModify() const
{
    return TCursorDataSet::CanModify() && !m_readOnly;
}

TDatabase* TTable::TargetDatabase()
{
    if (m_tableName.isEmpty())
        DatabaseError(QStringLiteral("Missing table name"), this);
    return Session->OpenDatabase(DatabaseName());
}

bool TTable::Exists()
{
    TDatabase* db = TargetDatabase();
    return db->Driver().TableExists(db->Directory(), m_tableName);
}

void TTable::CreateTable()
{
    CheckInactive();
    TDatabase* db = TargetDatabase();
    if (FieldDefs().Count() == 0) {
        // Persistent fields describe the table when no definitions were given.
        for (int i = 0; i < FieldCount(); ++i) {
            TField* f = Fields(i);
            if (f->FieldKind() == fkData)
                FieldDefs().Add(f->FieldName(), f->DataType(),
                                f->DataType() == ftString ? f->Size() : 0, f->Required());
        }
    }
    try {
        db->Driver().CreateTable(db->Directory(), m_tableName, FieldDefs());
    } catch (const EDatabaseError& e) {
        DatabaseError(e.Message(), this);
    }
}

void TTable::EmptyTable()
{
    if (Active()) {
        CheckBrowseMode();
        CheckCanModify();
    }
    TDatabase* db = TargetDatabase();
    db->Driver().EmptyTable(db->Directory(), m_tableName);
    if (Active()) {
        Cursor()->Refresh();
        First();
    }
}

void TTable::DeleteTable()
{
    CheckInactive();
    TDatabase* db = TargetDatabase();
    db->Driver().DeleteTable(db->Directory(), m_tableName);
}

// --- TQuery ----------------------------------------------------------------------------------

// Runs the query again when its parameter source moves to another record.
class TParamSourceLink : public TDataLink
{
public:
    explicit TParamSourceLink(TQuery* query) : m_query(query) {}

protected:
    void DataSetChanged() override { m_query->SourceChanged(); }
    void DataSetScrolled(int) override { m_query->SourceChanged(); }
    void RecordChanged(TField* Field) override
    {
        if (Field)
            m_query->SourceChanged();
    }

private:
    TQuery* m_query;
};

const TClassInfo& TQuery::StaticClassInfo()
{
    using C = TQuery;
    static const TClassInfo info = TClassBuilder<C>("TQuery")
                                       .Property("SQL", &C::SQL, &C::SetSQL)
                                       .Property("DataSource", &C::DataSource, &C::SetDataSource)
                                       .Property("RequestLive", &C::RequestLive, &C::SetRequestLive)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TQuery)

TQuery::TQuery(TComponent* AOwner)
    : TCursorDataSet(AOwner), m_sourceLink(std::make_unique<TParamSourceLink>(this))
{
    m_sql->OnChange = [this](TObject*) { SqlChanged(); };
}

TQuery::~TQuery()
{
    CloseQuietly();
    m_sourceLink->SetDataSource(nullptr);
    m_sql->OnChange = nullptr;
}

void TQuery::SqlChanged()
{
    if (Active())
        Close();
    std::vector<TParam> old;
    old.swap(m_params);
    for (const QString& name : ParseParamNames(m_sql->Text())) {
        TParam p;
        p.Name = name;
        for (const TParam& o : old)
            if (o.Name.compare(name, Qt::CaseInsensitive) == 0)
                p = o;
        m_params.push_back(p);
    }
}

TParam& TQuery::Params(int Index)
{
    if (Index < 0 || Index >= ParamCount())
        DatabaseError(QStringLiteral("Parameter index out of range"), this);
    return m_params[size_t(Index)];
}

TParam* TQuery::FindParam(const QString& Name)
{
    for (TParam& p : m_params)
        if (p.Name.compare(Name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

TParam& TQuery::ParamByName(const QString& Name)
{
    if (TParam* p = FindParam(Name))
        return *p;
    DatabaseError(QStringLiteral("Parameter '%1' not found").arg(Name), this);
}

TDataSource* TQuery::DataSource() const
{
    return m_sourceLink->DataSource();
}

void TQuery::SetDataSource(TDataSource* Value)
{
    if (Value && Value->DataSet() == this)
        DatabaseError(QStringLiteral("A query cannot take its parameters from itself"), this);
    ChangeReference(DataSource(), Value);
    m_sourceLink->SetDataSource(Value);
}

void TQuery::SetRequestLive(bool Value)
{
    CheckInactive();
    m_requestLive = Value;
}

std::vector<TQueryParam> TQuery::BoundParams() const
{
    std::vector<TQueryParam> out;
    TDataSet* source = m_sourceLink->DataSet();
    for (const TParam& p : m_params) {
        TQueryParam q{p.Name, p.Value};
        if (q.Value.IsUnassigned() && source && source->Active())
            if (TField* f = source->FindField(p.Name))
                q.Value = f->AsVariant().IsEmpty() ? Variant(Null) : f->AsVariant();
        if (q.Value.IsUnassigned())
            DatabaseError(QStringLiteral("No value for parameter '%1'").arg(p.Name), this);
        out.push_back(q);
    }
    return out;
}

std::unique_ptr<TTableCursor> TQuery::CreateCursor(TDatabase* Database)
{
    if (m_sql->Text().trimmed().isEmpty())
        DatabaseError(QStringLiteral("No SQL statement available"), this);
    return Database->Driver().OpenQuery(Database->Directory(), m_sql->Text(), BoundParams(),
                                        m_requestLive);
}

int TQuery::ExecSQL()
{
    CheckInactive();
    if (m_sql->Text().trimmed().isEmpty())
        DatabaseError(QStringLiteral("No SQL statement available"), this);
    TDatabase* db = Session->OpenDatabase(DatabaseName());
    try {
        m_rowsAffected = db->Driver().ExecSQL(db->Directory(), m_sql->Text(), BoundParams());
    } catch (const EDatabaseError& e) {
        DatabaseError(e.Message(), this);
    }
    return m_rowsAffected;
}

void TQuery::SourceChanged()
{
    if (!Active() || State() != dsBrowse)
        return;
    DisableControls();
    auto enable = Finally([this] { EnableControls(); });
    Close();
    Open();
}

// --- TSession --------------------------------------------------------------------------------

const TClassInfo& TSession::StaticClassInfo()
{
    using C = TSession;
    static const TClassInfo info = TClassBuilder<C>("TSession")
                                       .Property("ConfigMode", &C::ConfigMode, &C::SetConfigMode)
                                       .Build();
    return info;
}

TSession::TSession(TComponent* AOwner) : TComponent(AOwner) {}

TSession::~TSession()
{
    // Temporary databases are the session's own; named ones belong to their forms.
    for (TDatabase* db : std::vector<TDatabase*>(m_databases))
        if (db->m_temporary)
            delete db;
        else
            db->Close();
    m_databases.clear();
}

QString TSession::AliasFileName()
{
    const QString env = qEnvironmentVariable("VYN_ALIAS_FILE");
    if (!env.isEmpty())
        return env;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("vyn/aliases.ini"));
}

bool TSession::FindAlias(const QString& Name, Alias& Out) const
{
    const QString key = Upper(Name);
    if (key.isEmpty())
        return false;
    if (m_configMode.Contains(cfmSession)) {
        auto it = m_sessionAliases.find(key);
        if (it != m_sessionAliases.end()) {
            Out = it->second;
            return true;
        }
    }
    if (m_configMode.Contains(cfmVirtual)) {
        auto it = VirtualAliases().find(key);
        if (it != VirtualAliases().end()) {
            Out = Alias{it->second.first, it->second.second};
            return true;
        }
    }
    if (m_configMode.Contains(cfmPersistent)) {
        const AliasMap file = ReadAliasFile();
        auto it = file.find(key);
        if (it != file.end()) {
            Out = Alias{it->second.first, it->second.second};
            return true;
        }
    }
    return false;
}

bool TSession::IsAlias(const QString& Name) const
{
    Alias a;
    return FindAlias(Name, a);
}

void TSession::GetAliasNames(TStrings* List) const
{
    QStringList names;
    if (m_configMode.Contains(cfmSession))
        for (const auto& [k, a] : m_sessionAliases)
            names << k;
    if (m_configMode.Contains(cfmVirtual))
        for (const auto& [k, a] : VirtualAliases())
            names << k;
    if (m_configMode.Contains(cfmPersistent))
        for (const auto& [k, a] : ReadAliasFile())
            names << k;
    names.removeDuplicates();
    names.sort(Qt::CaseInsensitive);
    List->BeginUpdate();
    auto done = Finally([List] { List->EndUpdate(); });
    List->Clear();
    List->AddStrings(names);
}

void TSession::GetAliasParams(const QString& Name, TStrings* List) const
{
    Alias a;
    if (!FindAlias(Name, a))
        DatabaseError(QStringLiteral("Alias '%1' not found").arg(Name));
    List->Clear();
    List->AddStrings(a.params);
}

QString TSession::GetAliasDriverName(const QString& Name) const
{
    Alias a;
    if (!FindAlias(Name, a))
        DatabaseError(QStringLiteral("Alias '%1' not found").arg(Name));
    return a.driver;
}

void TSession::AddAlias(const QString& Name, const QString& Driver, TStrings* List)
{
    const QString key = Upper(Name);
    if (key.isEmpty())
        DatabaseError(QStringLiteral("Invalid alias name '%1'").arg(Name));
    if (key.contains(QLatin1Char('[')) || key.contains(QLatin1Char(']')) ||
        key.contains(QLatin1Char('\n')))
        DatabaseError(QStringLiteral("Invalid alias name '%1'").arg(Name));
    if (IsAlias(Name))
        DatabaseError(QStringLiteral("Alias '%1' already exists").arg(Name));
    FindDriver(Driver); // an unknown driver fails before anything is stored
    const QString driver = Driver.isEmpty() ? QStringLiteral("PARADOX") : Driver.toUpper();
    const QStringList params = List ? List->ToStringList() : QStringList();
    for (const QString& p : params)
        if (p.contains(QLatin1Char('\n')) || p.contains(QLatin1Char('\r')))
            DatabaseError(QStringLiteral("Invalid parameter for alias '%1'").arg(Name));
    if (m_configMode.Contains(cfmPersistent)) {
        AliasMap file = ReadAliasFile();
        file[key] = {driver, params};
        WriteAliasFile(file);
    } else if (m_configMode.Contains(cfmVirtual)) {
        VirtualAliases()[key] = {driver, params};
    } else if (m_configMode.Contains(cfmSession)) {
        m_sessionAliases[key] = Alias{driver, params};
    } else {
        DatabaseError(QStringLiteral("No configuration mode to add alias '%1' to").arg(Name));
    }
}

void TSession::AddStandardAlias(const QString& Name, const QString& Path,
                                const QString& DefaultDriver)
{
    TStringList params;
    params.Add(QStringLiteral("PATH=") + Path);
    AddAlias(Name, DefaultDriver, &params);
}

void TSession::DeleteAlias(const QString& Name)
{
    const QString key = Upper(Name);
    bool found = false;
    if (m_configMode.Contains(cfmSession))
        found |= m_sessionAliases.erase(key) > 0;
    if (m_configMode.Contains(cfmVirtual))
        found |= VirtualAliases().erase(key) > 0;
    if (m_configMode.Contains(cfmPersistent)) {
        AliasMap file = ReadAliasFile();
        if (file.erase(key) > 0) {
            WriteAliasFile(file);
            found = true;
        }
    }
    if (!found)
        DatabaseError(QStringLiteral("Alias '%1' not found").arg(Name));
}

TDatabase* TSession::Databases(int Index) const
{
    if (Index < 0 || Index >= DatabaseCount())
        DatabaseError(QStringLiteral("Database index out of range"), this);
    return m_databases[size_t(Index)];
}

TDatabase* TSession::FindDatabase(const QString& DatabaseName) const
{
    for (TDatabase* db : m_databases)
        if (!db->DatabaseName().isEmpty() &&
            db->DatabaseName().compare(DatabaseName, Qt::CaseInsensitive) == 0)
            return db;
    return nullptr;
}

TDatabase* TSession::OpenDatabase(const QString& DatabaseName)
{
    TDatabase* db = FindDatabase(DatabaseName);
    if (!db) {
        // A temporary database for the alias, or for a folder named directly.
        Alias alias;
        const bool isAlias = FindAlias(DatabaseName, alias);
        if (!isAlias && !QFileInfo(DatabaseName).isDir())
            DatabaseError(DatabaseName.isEmpty()
                              ? QStringLiteral("No database name given")
                              : QStringLiteral("Alias '%1' not found").arg(DatabaseName));
        auto made = std::make_unique<TDatabase>(this);
        made->m_temporary = true;
        made->SetDatabaseName(DatabaseName);
        if (isAlias)
            made->SetAliasName(DatabaseName);
        else
            made->Params()->Add(QStringLiteral("PATH=") + DatabaseName);
        made->Open();
        db = made.release();
    }
    db->Open();
    return db;
}

void TSession::AddDatabase(TDatabase* Db)
{
    m_databases.push_back(Db);
}

void TSession::RemoveDatabase(TDatabase* Db)
{
    m_databases.erase(std::remove(m_databases.begin(), m_databases.end(), Db), m_databases.end());
}

TSession* TSessionRef::Get()
{
    if (!g_session)
        g_session = new TSession(nullptr);
    return g_session;
}

void TSessionRef::Free()
{
    TSession* s = g_session;
    delete s;
    g_session = nullptr;
}

} // namespace vyn
