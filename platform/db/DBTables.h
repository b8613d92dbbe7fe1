#pragma once

// Tables, databases and the session with its aliases.

#include "platform/core/Component.h"
#include "platform/core/Strings.h"
#include "platform/db/DataSet.h"
#include "platform/db/Driver.h"

#include <memory>

namespace vyn {

class TDatabase;
class TSession;

VYN_ENUM(TConfigModes, cfmVirtual, cfmPersistent, cfmSession)
using TConfigMode = Set<TConfigModes>;

// A connection to the tables of one alias or folder. Datasets list themselves here while open.
class TDatabase : public TComponent
{
    VYN_CLASS(TDatabase, TComponent)
public:
    explicit TDatabase(TComponent* AOwner);
    ~TDatabase() override;

    QString DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const QString& Value);
    QString AliasName() const { return m_aliasName; }
    void SetAliasName(const QString& Value);
    QString DriverName() const { return m_driverName; }
    void SetDriverName(const QString& Value);
    TStringList* Params() const { return m_params.get(); }
    void SetParams(TStringList* Value) { m_params->Assign(Value); }
    bool Connected() const { return m_connected; }
    void SetConnected(bool Value);
    void Open() { SetConnected(true); }
    void Close();
    bool KeepConnection() const { return m_keepConnection; }
    void SetKeepConnection(bool Value) { m_keepConnection = Value; }
    bool Temporary() const { return m_temporary; }

    int DataSetCount() const { return int(m_dataSets.size()); }
    TDataSet* DataSets(int Index) const;

    // The folder that holds the tables, and the driver that reads them (once connected).
    QString Directory() const { return m_directory; }
    TDriver& Driver() const;

    void RegisterClient(TDataSet* DataSet);
    void UnregisterClient(TDataSet* DataSet);

private:
    friend class TSession;
    QString m_databaseName;
    QString m_aliasName;
    QString m_driverName;
    std::unique_ptr<TStringList> m_params = std::make_unique<TStringList>();
    bool m_connected = false;
    bool m_keepConnection = true;
    bool m_temporary = false;
    QString m_directory;
    TDriver* m_driver = nullptr;
    std::vector<TDataSet*> m_dataSets;
};

// A dataset that belongs to a database named by DatabaseName.
class TDBDataSet : public TDataSet
{
    VYN_CLASS(TDBDataSet, TDataSet)
public:
    using TDataSet::TDataSet;
    ~TDBDataSet() override;
    QString DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const QString& Value);
    // The database while the dataset is open.
    TDatabase* Database() const { return m_database; }

protected:
    // Finds or opens the database and lists the dataset in it.
    TDatabase* OpenDatabase();
    void CloseDatabase();

private:
    QString m_databaseName;
    TDatabase* m_database = nullptr;
};

// A dataset over a driver's cursor: the navigation and editing hooks for tables and queries.
class TCursorDataSet : public TDBDataSet
{
    VYN_CLASS(TCursorDataSet, TDBDataSet)
public:
    using TDBDataSet::TDBDataSet;
    ~TCursorDataSet() override;
    bool CanModify() const override;

protected:
    // Opens the driver's cursor for this dataset.
    virtual std::unique_ptr<TTableCursor> CreateCursor(TDatabase* Database) = 0;
    TTableCursor* Cursor() const { return m_cursor.get(); }
    // Closes without events, for destructors: the links still learn the data is gone.
    void CloseQuietly();

    void InternalOpen() override;
    void InternalClose() override;
    void InternalFirst() override;
    void InternalLast() override;
    TGetResult GetRecord(TRecordBuffer& Buffer, TGetMode GetMode) override;
    void InternalSetToRecord(const TRecordBuffer& Buffer) override;
    void InternalGotoBookmark(const TBookmark& Bookmark) override;
    void InternalEdit(TRecordBuffer& Buffer) override;
    void InternalPost(TRecordBuffer& Buffer, const std::vector<Variant>& Original,
                      bool Inserting) override;
    void InternalDelete(const TRecordBuffer& Buffer) override;
    void InternalRefresh() override;
    bool InternalBookmarkValid(const TBookmark& Bookmark) const override;
    int InternalCompareBookmarks(const TBookmark& A, const TBookmark& B) const override;
    int InternalRecordCount() const override;
    int InternalRecNo(const TBookmark& Key) const override;
    bool InternalLocate(const QStringList& FieldNames, const std::vector<Variant>& Values,
                        std::vector<Variant>& Found) override;

private:
    enum class Crack { Bof, Eof, OnRecord };
    void Take(TRecordBuffer& Buffer, TCursorRecord& Record);
    std::vector<Variant> Columns(const std::vector<Variant>& Values) const;

    std::unique_ptr<TTableCursor> m_cursor;
    TBookmark m_cursorKey;
    Crack m_crack = Crack::Bof;
};

class TMasterDataLink;

// A table of a database: its records in the order of IndexFieldNames; with a MasterSource,
// only those whose first index fields equal the master's MasterFields.
class TTable : public TCursorDataSet
{
    VYN_CLASS(TTable, TCursorDataSet)
public:
    explicit TTable(TComponent* AOwner);
    ~TTable() override;

    QString TableName() const { return m_tableName; }
    void SetTableName(const QString& Value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool Value);
    QString IndexFieldNames() const { return m_indexFieldNames; }
    void SetIndexFieldNames(const QString& Value);
    TDataSource* MasterSource() const;
    void SetMasterSource(TDataSource* Value);
    QString MasterFields() const { return m_masterFields; }
    void SetMasterFields(const QString& Value);
    bool Exists();

    bool CanModify() const override;

    // Creates (or replaces) the table from FieldDefs.
    void CreateTable();
    void EmptyTable();
    void DeleteTable();

protected:
    std::unique_ptr<TTableCursor> CreateCursor(TDatabase* Database) override;
    void InternalInitRecord(TRecordBuffer& Buffer) override;

private:
    friend class TMasterDataLink;
    TDatabase* TargetDatabase();
    // The detail fields and the master's values they must equal.
    bool MasterValues(QStringList& DetailFields, std::vector<Variant>& Values) const;
    void MasterChanged();

    QString m_tableName;
    QString m_indexFieldNames;
    QString m_masterFields;
    bool m_readOnly = false;
    std::unique_ptr<TMasterDataLink> m_masterLink;
    std::vector<Variant> m_masterValues;
};

class TParamSourceLink;

// A parameter of a query.
class TParam
{
public:
    QString Name;
    TFieldType DataType = ftUnknown;
    Variant Value; // unassigned until given
    bool IsNull() const { return Value.IsEmpty(); }
    void Clear() { Value = Variant(Null); }
    void SetAsString(const QString& V) { Value = Variant(V); }
    void SetAsInteger(int V) { Value = Variant(V); }
    void SetAsFloat(double V) { Value = Variant(V); }
    void SetAsDateTime(const QDateTime& V) { Value = Variant(V); }
    QString AsString() const { return Value.ToString(); }
    int AsInteger() const { return Value.ToInt(); }
};

// A query over the tables of its database. Parameters (":Name") without a value take the
// fields of the same names from DataSource's dataset, and the query runs again when that
// dataset moves. Its records can be written only when it is a live query on one table.
class TQuery : public TCursorDataSet
{
    VYN_CLASS(TQuery, TCursorDataSet)
public:
    explicit TQuery(TComponent* AOwner);
    ~TQuery() override;

    TStringList* SQL() const { return m_sql.get(); }
    void SetSQL(TStringList* Value) { m_sql->Assign(Value); }
    int ParamCount() const { return int(m_params.size()); }
    TParam& Params(int Index);
    TParam& ParamByName(const QString& Name);
    TParam* FindParam(const QString& Name);
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    bool RequestLive() const { return m_requestLive; }
    void SetRequestLive(bool Value);
    // Runs a statement that returns no records; the number of rows it changed.
    int ExecSQL();
    int RowsAffected() const { return m_rowsAffected; }

protected:
    std::unique_ptr<TTableCursor> CreateCursor(TDatabase* Database) override;

private:
    friend class TParamSourceLink;
    void SqlChanged();
    std::vector<TQueryParam> BoundParams() const;
    void SourceChanged();

    std::unique_ptr<TStringList> m_sql = std::make_unique<TStringList>();
    std::vector<TParam> m_params;
    std::unique_ptr<TParamSourceLink> m_sourceLink;
    bool m_requestLive = false;
    int m_rowsAffected = 0;
};

// The session: aliases, the configuration mode and the open databases.
class TSession : public TComponent
{
    VYN_CLASS(TSession, TComponent)
public:
    explicit TSession(TComponent* AOwner);
    ~TSession() override;

    // Which alias stores are seen and written: the persistent file, the process, the session.
    TConfigMode ConfigMode() const { return m_configMode; }
    void SetConfigMode(TConfigMode Value) { m_configMode = Value; }

    bool IsAlias(const QString& Name) const;
    void GetAliasNames(TStrings* List) const;
    void GetAliasParams(const QString& Name, TStrings* List) const;
    QString GetAliasDriverName(const QString& Name) const;
    // Adds an alias to the store the configuration mode names: the persistent file when it
    // holds cfmPersistent, the process when cfmVirtual, otherwise the session only.
    void AddAlias(const QString& Name, const QString& Driver, TStrings* List);
    void AddStandardAlias(const QString& Name, const QString& Path, const QString& DefaultDriver);
    void DeleteAlias(const QString& Name);

    int DatabaseCount() const { return int(m_databases.size()); }
    TDatabase* Databases(int Index) const;
    TDatabase* FindDatabase(const QString& DatabaseName) const;
    // The database of that name, or a temporary one for the alias or folder, connected.
    TDatabase* OpenDatabase(const QString& DatabaseName);

    // Where persistent aliases are kept: $VYN_ALIAS_FILE, else the user's configuration folder.
    static QString AliasFileName();

private:
    friend class TDatabase;
    struct Alias
    {
        QString driver;
        QStringList params; // NAME=value lines
    };
    bool FindAlias(const QString& Name, Alias& Out) const;
    void AddDatabase(TDatabase* Db);
    void RemoveDatabase(TDatabase* Db);

    TConfigMode m_configMode{cfmVirtual, cfmPersistent, cfmSession};
    std::map<QString, Alias> m_sessionAliases; // upper-case names
    std::vector<TDatabase*> m_databases;
};

// The default session, created on first use and freed when the database unit finalises.
class TSessionRef
{
public:
    TSession* operator->() const { return Get(); }
    TSession& operator*() const { return *Get(); }
    operator TSession*() const { return Get(); }
    static TSession* Get();
    static void Free();
};
inline constexpr TSessionRef Session{};

} // namespace vyn
