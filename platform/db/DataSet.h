#pragma once

#include "platform/core/Component.h"
#include "platform/core/Event.h"
#include "platform/core/Variant.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vyn {

class TDataSource;
class TDataLink;
class TDataSet;

using TDataSetNotifyEvent = Event<void(TDataSet* DataSet)>;

VYN_ENUM(TGetMode, gmCurrent, gmNext, gmPrior)
VYN_ENUM(TGetResult, grOK, grBOF, grEOF, grError)

// One record held by a dataset: its key and its values, one per field slot.
struct TRecordBuffer
{
    TBookmark Key;
    std::vector<Variant> Values;
    TBookmarkFlag Flag = bfCurrent;
};

class TDataSetAccess;

// A dataset: the state machine, the window of record buffers around the current record, the
// events and the link notifications. A driver's dataset implements the protected Internal...
// hooks and GetRecord; every rule lives here.
class TDataSet : public TComponent
{
    VYN_CLASS(TDataSet, TComponent)
public:
    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;

    // --- State
    bool Active() const { return m_state != dsInactive; }
    void SetActive(bool Value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return m_state; }
    bool Modified() const { return m_modified; }
    virtual bool CanModify() const { return Active(); }
    bool IsEmpty() const { return Active() && m_buffers.empty(); }
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    // Number of records; -1 when the driver cannot tell cheaply.
    int RecordCount() const;
    // 1-based position of the current record, or -1.
    int RecNo() const;

    // --- Moves
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    int MoveBy(int Distance);

    // --- Editing
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    void Refresh();
    void CheckBrowseMode();
    // Lets the links write pending control changes into the record.
    void UpdateRecord();

    // --- Bookmarks
    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark& Bookmark);
    void FreeBookmark(TBookmark& Bookmark) { Bookmark.clear(); }
    bool BookmarkValid(const TBookmark& Bookmark) const;
    int CompareBookmarks(const TBookmark& A, const TBookmark& B) const;

    // The value of ResultField in the first record whose KeyFields (";"-separated) equal
    // KeyValues; Null when there is none. The current record stays.
    Variant Lookup(const QString& KeyFields, const std::vector<Variant>& KeyValues,
                   const QString& ResultField);

    // --- Controls
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // --- Fields
    int FieldCount() const { return int(m_fields.size()); }
    TField* Fields(int Index) const;
    TField* FindField(const QString& FieldName) const;
    TField* FieldByName(const QString& FieldName) const;
    int IndexOfField(const TField* Field) const;
    TFieldDefs& FieldDefs() { return m_fieldDefs; }
    const TFieldDefs& FieldDefs() const { return m_fieldDefs; }
    // True when the fields come from a layout or code rather than from the table.
    bool HasPersistentFields() const;

    // --- Events
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;

    // --- For fields, data sources and links
    void DataEvent(TDataEvent Event, std::intptr_t Info);
    bool GetFieldValue(const TField* Field, Variant& Value) const;
    void SetFieldValue(TField* Field, const Variant& Value);
    void CheckActive() const;
    void CheckInactive() const;
    void CheckBrowseState() const;
    int BufferCount() const { return m_bufferCount; }
    int ActiveRecord() const { return m_active; }
    int BufferedRecords() const { return int(m_buffers.size()); }

    void Loaded() override;
    void AdoptChild(TComponent* Child) override;

protected:
    // --- Hooks a driver implements.
    virtual void InternalOpen() = 0; // opens the cursor and fills FieldDefs
    virtual void InternalClose() = 0;
    virtual void InternalFirst() = 0; // cursor before the first record
    virtual void InternalLast() = 0;  // cursor after the last record
    // Fetches the record at, after or before the cursor into Buffer (Key and column values,
    // one per FieldDefs entry) and moves the cursor onto it.
    virtual TGetResult GetRecord(TRecordBuffer& Buffer, TGetMode GetMode) = 0;
    virtual void InternalSetToRecord(const TRecordBuffer& Buffer) = 0;
    virtual void InternalGotoBookmark(const TBookmark& Bookmark) = 0;
    // Re-reads the current record (Buffer) from the database, for Edit.
    virtual void InternalEdit(TRecordBuffer& Buffer) = 0;
    // Writes the record; Original holds the values as read (empty for an insert). Gives the
    // buffer its key and any values the database set.
    virtual void InternalPost(TRecordBuffer& Buffer, const std::vector<Variant>& Original,
                              bool Inserting) = 0;
    virtual void InternalDelete(const TRecordBuffer& Buffer) = 0;
    virtual void InternalRefresh() {}
    virtual void InternalInitRecord(TRecordBuffer& Buffer);
    virtual bool InternalBookmarkValid(const TBookmark& Bookmark) const = 0;
    virtual int InternalCompareBookmarks(const TBookmark& A, const TBookmark& B) const = 0;
    virtual int InternalRecordCount() const = 0;
    virtual int InternalRecNo(const TBookmark& Key) const = 0;
    // The values of the first record whose fields equal Values, without moving; the base
    // walks the records.
    virtual bool InternalLocate(const QStringList& FieldNames, const std::vector<Variant>& Values,
                                std::vector<Variant>& Found);

    // --- Scroll control for descendants and the library's own routines.
    void DoBeforeScroll();
    void DoAfterScroll();
    // Re-reads the buffers around the cursor. Without rmExact: the record at the cursor, else
    // the next, else the prior, else empty buffers. rmCenter puts the current record in the
    // middle of the window.
    void Resync(TResyncMode Mode);
    void UpdateCursorPos();
    void CheckCanModify() const;
    void SetState(TDataSetState Value);
    void SetBufferCount(int Value);

    // Events, one method each.
    void DoBeforeOpen() { BeforeOpen(this); }
    void DoAfterOpen() { AfterOpen(this); }
    void DoBeforeClose() { BeforeClose(this); }
    void DoAfterClose() { AfterClose(this); }
    void DoBeforeInsert() { BeforeInsert(this); }
    void DoAfterInsert() { AfterInsert(this); }
    void DoBeforeEdit() { BeforeEdit(this); }
    void DoAfterEdit() { AfterEdit(this); }
    void DoBeforePost() { BeforePost(this); }
    void DoAfterPost() { AfterPost(this); }
    void DoBeforeCancel() { BeforeCancel(this); }
    void DoAfterCancel() { AfterCancel(this); }
    void DoBeforeDelete() { BeforeDelete(this); }
    void DoAfterDelete() { AfterDelete(this); }
    void DoOnNewRecord() { OnNewRecord(this); }
    void DoOnCalcFields() { OnCalcFields(this); }

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TField;
    friend class TDataSource;
    friend class TDataLink;
    friend class TDataSetAccess;

    void OpenCursor();
    void CloseCursor();
    void BindFields();
    void CreateDynamicFields();
    void DestroyDynamicFields();
    void AddField(TField* Field);
    void RemoveField(TField* Field);
    void AddDataSource(TDataSource* Source);
    void RemoveDataSource(TDataSource* Source);
    void UpdateBufferCount();

    void ClearBuffers();
    bool FetchNext();
    bool FetchPrior();
    void FillWindow(int before);
    void CalculateFields(TRecordBuffer& Buffer);
    void CheckRequiredFields();
    void NotifySources(TDataEvent Event, std::intptr_t Info);
    TRecordBuffer* ActiveBuffer();
    const TRecordBuffer* ActiveBuffer() const;
    int SlotCount() const;

    TDataSetState m_state = dsInactive;
    TDataSetState m_disableState = dsInactive;
    bool m_modified = false;
    bool m_bof = true;
    bool m_eof = true;
    bool m_opening = false;
    bool m_pendingOpen = false; // Active set while loading

    std::vector<TField*> m_fields;
    std::vector<TField*> m_dynamicFields; // owned
    TFieldDefs m_fieldDefs;
    std::vector<TDataSource*> m_dataSources;

    std::vector<TRecordBuffer> m_buffers;
    int m_active = 0;
    int m_bufferCount = 1;
    std::vector<Variant> m_original; // the record as read, while editing
    int m_insertedAt = -1;           // window index of an unposted insert
    TRecordBuffer* m_calcBuffer = nullptr;

    int m_disableCount = 0;
    bool m_pendingChange = false;
    bool m_pendingLayout = false;
    void DropInsertedRecord();
    void StartInsertedRecord(int at);

    // Lookup fields follow their lookup datasets through these.
    void WatchLookupDataSets();
    void LookupDataChanged();
    std::vector<std::unique_ptr<TDataSource>> m_lookupSources;
    std::vector<std::unique_ptr<TDataLink>> m_lookupLinks;
    bool m_lookupRefreshing = false;
};

// The protected scroll operations, for the library's own routines (restoring a bookmark
// without failing on a record that has gone). Applications use the public operations.
class TDataSetAccess
{
public:
    static void DoBeforeScroll(TDataSet* D) { D->DoBeforeScroll(); }
    static void DoAfterScroll(TDataSet* D) { D->DoAfterScroll(); }
    static void InternalGotoBookmark(TDataSet* D, const TBookmark& B)
    {
        D->InternalGotoBookmark(B);
    }
    static void Resync(TDataSet* D, TResyncMode Mode) { D->Resync(Mode); }
};

} // namespace vyn
