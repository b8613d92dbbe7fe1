#pragma once

#include "platform/core/Object.h"
#include "platform/db/DataSet.h"

namespace vyn {

class TStringList;

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
