#include "dataset/VynDB.h"

#include "platform/core/ScopeGuard.h"
#include "platform/core/Stream.h"
#include "platform/core/Strings.h"

#include <memory>

namespace vyn {

namespace {

// The list holds strings; a saved value is a string of bytes, one character per byte.
QString BytesToEntry(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QByteArray EntryToBytes(const QString& entry)
{
    return entry.toLatin1();
}

} // namespace

void CloneRecord(TDataSet* DataSet)
{
    auto cloner = std::make_unique<TRecordCloner>();
    cloner->Clone(DataSet);
}

bool TRecordCloner::IsCopyable(const TField* Field)
{
    return Field->CanModify() && !dynamic_cast<const TAutoIncField*>(Field);
}

void TRecordCloner::Clone(TDataSet* DataSet)
{
    auto values = std::make_unique<TStringList>();
    CopyValues(DataSet, values.get());
    InsertCopy(DataSet, values.get());
}

void TRecordCloner::CopyValues(TDataSet* DataSet, TStringList* List)
{
    DataSet->CheckBrowseMode();
    for (int i = 0; i < DataSet->FieldCount(); ++i) {
        TField* field = DataSet->Fields(i);
        if (!IsCopyable(field))
            continue;
        if (field->IsBlob()) {
            auto stream = std::make_unique<TStringStream>();
            static_cast<TBlobField*>(field)->SaveToStream(stream.get());
            List->Add(BytesToEntry(stream->Memory()));
        } else if (field->IsNull()) {
            List->Add(QString());
        } else {
            QByteArray buffer(field->DataSize(), '\0');
            field->GetData(buffer.data());
            List->Add(BytesToEntry(buffer));
        }
    }
}

void TRecordCloner::InsertCopy(TDataSet* DataSet, TStringList* List)
{
    FValues = List;
    FSavedNewRecord = DataSet->OnNewRecord;
    DataSet->OnNewRecord = TDataSetNotifyEvent(this, &TRecordCloner::NewRecord);
    auto restore = Finally([this, DataSet] { DataSet->OnNewRecord = FSavedNewRecord; });
    DataSet->Insert();
}

void TRecordCloner::NewRecord(TDataSet* DataSet)
{
    int index = 0;
    for (int i = 0; i < DataSet->FieldCount(); ++i) {
        TField* field = DataSet->Fields(i);
        if (!IsCopyable(field))
            continue;
        // A value the field refuses leaves it as the new record has it; the rest still go.
        auto advance = Finally([&index] { ++index; });
        try {
            const QByteArray bytes = index < FValues->Count() ? EntryToBytes(FValues->Strings(index)) : QByteArray();
            if (field->IsBlob()) {
                auto stream = std::make_unique<TStringStream>(bytes);
                static_cast<TBlobField*>(field)->LoadFromStream(stream.get());
            } else if (bytes.isEmpty()) {
                field->SetData(nullptr);
            } else {
                field->SetData(bytes.constData());
            }
        } catch (const Exception&) {
        } catch (const std::exception&) {
        }
    }
    if (FSavedNewRecord.Assigned())
        FSavedNewRecord(DataSet);
}

} // namespace vyn
