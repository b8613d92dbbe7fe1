#pragma once

#include "platform/core/Object.h"
#include "platform/db/DataSet.h"

namespace vyn {

class TStringList;

// The application coordinator: opens and re-reads the datasets of forms and data modules by
// their Tag codes, posts pending edits before the last data module goes, and holds the
// re-reading back while a library message is on screen.
class TVynApp : public TObject
{
public:
    void BeginMessage() { ++FMessageCount; }
    void EndMessage()
    {
        if (FMessageCount > 0)
            --FMessageCount;
    }
    int MessageCount() const { return FMessageCount; }
    // The platform's message box, with the message counter raised while it is shown.
    void ShowMessage(const QString& Text);
    // Screen's active-form-change handler: a Tag-9 form re-reads its datasets unless a
    // library message is on screen.
    void ActiveFormChange(TObject* Sender);
    // CheckBrowseMode on every open dataset of every database of the session; each failure is
    // shown and the others still run.
    void CheckBrowseModeAll();
    // The last data module's OnDestroy: pending edits first, then the module's own handler.
    void DataModuleDestroy(TObject* Sender);

private:
    friend void InitVynApplication(bool OpenDataModules);
    TNotifyEvent FSavedDataModuleDestroy;
    int FMessageCount = 0;
};

// The coordinator, made on first use; freed when the unit finalises.
TVynApp* VynApp();

// Start-up: takes over the screen's active-form change, opens the data modules' datasets whose
// Tag ends in 9 (when asked), opens or re-reads the main form's datasets, and hooks the last
// data module's OnDestroy.
void InitVynApplication(bool OpenDataModules);

// Inserts a new record, before the current one, carrying the current record's values. The
// dataset is left in insert state on the copy, which is not posted.
void CloneRecord(TDataSet* DataSet);

// Lends itself to the dataset as its OnNewRecord handler for one Insert, and writes the saved
// values into the new record when the dataset initialises it.
class TRecordCloner : public TObject
{
public:
    void Clone(TDataSet* DataSet);
    // Saves the current record's copyable fields: blobs whole, Null as "", other values as
    // their native bytes.
    void CopyValues(TDataSet* DataSet, TStringList* List);
    void InsertCopy(TDataSet* DataSet, TStringList* List);
    void NewRecord(TDataSet* DataSet);

    // Modifiable and not an auto-increment key.
    static bool IsCopyable(const TField* Field);

private:
    TStringList* FValues = nullptr;
    TDataSetNotifyEvent FSavedNewRecord;
};

} // namespace vyn
