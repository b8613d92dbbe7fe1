#pragma once

// The one interface between datasets and database engines. A driver opens tables as cursors;
// datasets never see the engine behind them.

#include "platform/core/Variant.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace vyn {

struct TCursorRecord
{
    TBookmark Key;
    std::vector<Variant> Values; // one per field definition
};

// An open table in a chosen order. Keys name records and carry what is needed to find the
// place of a record that has gone.
class TTableCursor
{
public:
    virtual ~TTableCursor() = default;

    virtual void GetFieldDefs(TFieldDefs& Defs) = 0;
    virtual bool ReadOnly() const = 0;
    // Orders the records by these fields (then by their identity); empty: natural order.
    virtual void SetOrder(const QStringList& FieldNames) = 0;

    // The record after (before) From in the order; an empty From means the start (the end).
    virtual bool FetchNext(const TBookmark& From, TCursorRecord& Out) = 0;
    virtual bool FetchPrior(const TBookmark& From, TCursorRecord& Out) = 0;
    // The record a key names, when it still exists.
    virtual bool FetchKey(const TBookmark& Key, TCursorRecord& Out) = 0;
    virtual bool KeyExists(const TBookmark& Key) = 0;
    virtual int CompareKeys(const TBookmark& A, const TBookmark& B) = 0;
    virtual int RecordCount() = 0;
    // 1-based position of the record a key names.
    virtual int RecNo(const TBookmark& Key) = 0;

    // Writes. Values are updated with what the database stored (keys it gave). Update and
    // Delete fail with EDatabaseError when the record differs from Original (another user
    // changed or deleted it); nothing is written then.
    virtual TBookmark Insert(std::vector<Variant>& Values) = 0;
    virtual TBookmark Update(const TBookmark& Key, const std::vector<Variant>& Original,
                             std::vector<Variant>& Values) = 0;
    virtual void Delete(const TBookmark& Key, const std::vector<Variant>& Original) = 0;
    // Forgets anything read ahead, so the next fetch sees the table as it is now.
    virtual void Refresh() = 0;

    // Limits the records to those whose fields equal the values (a detail of its master);
    // no fields: all records.
    virtual void SetRange(const QStringList& FieldNames, const std::vector<Variant>& Values) = 0;
    // The first record in the order whose fields equal the values.
    virtual bool Locate(const QStringList& FieldNames, const std::vector<Variant>& Values,
                        TCursorRecord& Out) = 0;
};

struct TQueryParam
{
    QString Name;
    Variant Value;
};

// A database engine's driver: tables by name in a folder.
class TDriver
{
public:
    virtual ~TDriver() = default;
    virtual QString Name() const = 0;
    virtual std::unique_ptr<TTableCursor> OpenTable(const QString& Folder, const QString& TableName,
                                                    bool ReadOnly) = 0;
    virtual void CreateTable(const QString& Folder, const QString& TableName,
                             const TFieldDefs& Defs) = 0;
    virtual void DeleteTable(const QString& Folder, const QString& TableName) = 0;
    virtual void EmptyTable(const QString& Folder, const QString& TableName) = 0;
    virtual bool TableExists(const QString& Folder, const QString& TableName) = 0;
    // Runs a query over the tables of the folder that its SQL names. Live: the records can be
    // written back to the one table they come from.
    virtual std::unique_ptr<TTableCursor> OpenQuery(const QString& Folder, const QString& Sql,
                                                    const std::vector<TQueryParam>& Params,
                                                    bool Live) = 0;
    // Runs a statement that returns no records; the number of rows it changed.
    virtual int ExecSQL(const QString& Folder, const QString& Sql,
                        const std::vector<TQueryParam>& Params) = 0;
};

// The names of the parameters (":Name") of a statement, in order of first use.
QStringList ParseParamNames(const QString& Sql);

// Drivers by name ("PARADOX"); raises EDatabaseError for an unknown one.
TDriver& FindDriver(const QString& Name);
void RegisterDriver(std::unique_ptr<TDriver> Driver);

// How long a write waits for a table that another connection holds locked.
int LockTimeoutMs();
void SetLockTimeoutMs(int Milliseconds);

} // namespace vyn
