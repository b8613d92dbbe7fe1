#include "dataset/VynDB.h"

#include "dataset/VynDBFuncs.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/Stream.h"
#include "platform/core/Strings.h"
#include "platform/core/Unit.h"
#include "platform/db/DBTables.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

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

// --- The coordinator -------------------------------------------------------------------------

namespace {

TVynApp* g_vynApp = nullptr;

void FinalizeVynDB()
{
    delete g_vynApp;
    g_vynApp = nullptr;
}

const TUnitRegistration unit("VynDB", {"DBTables"}, nullptr, &FinalizeVynDB);

} // namespace

TVynApp* VynApp()
{
    if (!g_vynApp)
        g_vynApp = new TVynApp();
    return g_vynApp;
}

void TVynApp::ShowMessage(const QString& Text)
{
    VynApp()->BeginMessage();
    auto done = Finally([] { VynApp()->EndMessage(); });
    vyn::ShowMessage(Text);
}

void TVynApp::ActiveFormChange(TObject*)
{
    TCustomForm* form = Screen ? Screen->ActiveForm() : nullptr;
    if (form && form->Tag() == 9 && FMessageCount == 0)
        OpenFormDataSets(form, false);
}

void TVynApp::CheckBrowseModeAll()
{
    for (int i = 0; i < Session->DatabaseCount(); ++i) {
        TDatabase* db = Session->Databases(i);
        for (int j = 0; j < db->DataSetCount(); ++j) {
            TDataSet* ds = db->DataSets(j);
            // A failed post goes on with the next dataset, but the user hears of it: the edit
            // would otherwise be lost without a word.
            auto report = [ds](const QString& cause) {
                const QString name = ds->Name().isEmpty() ? ds->ClassName() : ds->Name();
                const QString message = cause.startsWith(name + QStringLiteral(": "))
                                            ? cause
                                            : name + QStringLiteral(": ") + cause;
                HandleEventException(ds, EDatabaseError(message));
            };
            try {
                if (ds->Active())
                    ds->CheckBrowseMode();
            } catch (const Exception& e) {
                report(e.Message());
            } catch (const std::exception& e) {
                report(QString::fromUtf8(e.what()));
            }
        }
    }
}

void TVynApp::DataModuleDestroy(TObject* Sender)
{
    CheckBrowseModeAll();
    if (FSavedDataModuleDestroy.Assigned())
        FSavedDataModuleDestroy(Sender);
}

void InitVynApplication(bool OpenDataModules)
{
    TVynApp* app = VynApp();
    if (Screen) {
        Screen->OnActiveFormChange = TNotifyEvent(app, &TVynApp::ActiveFormChange);
        if (OpenDataModules)
            for (int i = 0; i < Screen->DataModuleCount(); ++i) {
                TDataModule* module = Screen->DataModules(i);
                for (int j = 0; j < module->ComponentCount(); ++j) {
                    auto* ds = dynamic_cast<TDataSet*>(module->Components(j));
                    if (!ds || ds->Tag() % 10 != 9)
                        continue;
                    try {
                        ds->Open();
                    } catch (const Exception&) {
                    } catch (const std::exception&) {
                    }
                }
            }
    } else {
        app->ShowMessage(QStringLiteral("Screen dont initialize"));
    }
    if (Application) {
        if (Application->MainForm())
            OpenFormDataSets(Application->MainForm(), false);
        if (Screen && Screen->DataModuleCount() > 0) {
            TDataModule* last = Screen->DataModules(Screen->DataModuleCount() - 1);
            const TNotifyEvent ours(app, &TVynApp::DataModuleDestroy);
            // A second start-up must not chain the coordinator's handler to itself.
            if (!(last->OnDestroy == ours)) {
                app->FSavedDataModuleDestroy = last->OnDestroy;
                last->OnDestroy = ours;
            }
        }
    }
}

// --- Record cloning --------------------------------------------------------------------------

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
            const QByteArray bytes =
                index < FValues->Count() ? EntryToBytes(FValues->Strings(index)) : QByteArray();
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
