#include "dataset/VynDBFuncs.h"

#include "platform/core/ScopeGuard.h"
#include "platform/core/TypInfo.h"
#include "platform/db/DBTables.h"
#include "platform/db/DataSource.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"

#include <algorithm>
#include <vector>

namespace vyn {

TCreateFieldComboHook CreateFieldComboHook = nullptr;
TCreateFieldControlHook CreateFieldControlHook = nullptr;
TSetupFieldHook SetupFieldHook = nullptr;

TObject* GetObjectProperty(TComponent* Component, const QString& Name)
{
    const TPropInfo* p = GetPropInfo(Component, Name);
    if (!p)
        return nullptr;
    switch (p->Kind) {
    case TPropKind::Object:
    case TPropKind::StringList:
    case TPropKind::Persistent:
        return p->GetObject(Component);
    default:
        // An ordinal of another kind is no object; handing it out as one would be unsafe.
        return nullptr;
    }
}

void GetControlDataSets(TComponent* Component, TDataSet*& DataSet, TDataSet*& ListDataSet)
{
    auto* source =
        dynamic_cast<TDataSource*>(GetObjectProperty(Component, QStringLiteral("DataSource")));
    auto* list =
        dynamic_cast<TDataSource*>(GetObjectProperty(Component, QStringLiteral("ListSource")));
    DataSet = source ? source->DataSet() : nullptr;
    ListDataSet = list ? list->DataSet() : nullptr;
}

namespace {

int TensDigit(const TComponent* C)
{
    return (C->Tag() % 100) / 10;
}

bool Contains(const std::vector<TDataSet*>& list, const TDataSet* D)
{
    return std::find(list.begin(), list.end(), D) != list.end();
}

// Every list-source and lookup dataset before the datasets that use it.
void AddDataSet(std::vector<TDataSet*>& list, TDataSet* D, bool AtFront)
{
    if (!D || Contains(list, D))
        return;
    if (AtFront)
        list.insert(list.begin(), D);
    else
        list.push_back(D);
    for (int i = 0; i < D->FieldCount(); ++i)
        if (TDataSet* lookup = D->Fields(i)->LookupDataSet())
            AddDataSet(list, lookup, true);
}

bool ReReadByItself(TDataSet* D, const std::vector<TDataSet*>& list, bool Force)
{
    // A detail of a query that is itself re-read follows its master.
    if (auto* master =
            dynamic_cast<TDataSource*>(GetObjectProperty(D, QStringLiteral("MasterSource")))) {
        auto* query = dynamic_cast<TQuery*>(master->DataSet());
        if (query && (Force || TensDigit(query) == 9) && Contains(list, query))
            return false;
    }
    // A query re-runs when its parameter dataset is re-read.
    if (auto* query = dynamic_cast<TQuery*>(D)) {
        TDataSource* params = query->DataSource();
        TDataSet* source = params ? params->DataSet() : nullptr;
        if (source && (Force || TensDigit(source) == 9) && Contains(list, source))
            return false;
    }
    return true;
}

} // namespace

void OpenFormDataSets(TCustomForm* Form, bool Force)
{
    if (!Form)
        Form = Screen ? Screen->ActiveForm() : nullptr;
    if (!Form)
        return;
    std::vector<TDataSet*> list;
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        TDataSet* data = nullptr;
        TDataSet* listData = nullptr;
        GetControlDataSets(Form->Components(i), data, listData);
        AddDataSet(list, listData, true);
        AddDataSet(list, data, false);
    }
    const size_t count = list.size();
    for (size_t i = 0; i < count; ++i) {
        TDataSet* D = list[i];
        try {
            if (!D->Active()) {
                if (Force || TensDigit(D) != 8)
                    D->Open();
            } else if (Force ||
                       (TensDigit(D) == 9 && D->State() != dsEdit && D->State() != dsInsert)) {
                if (ReReadByItself(D, list, Force))
                    RefreshDataSet(D);
            }
        } catch (const Exception&) {
        } catch (const std::exception&) {
        }
    }
}

void RefreshDataSet(TDataSet* DataSet)
{
    if (!DataSet || !DataSet->Active())
        return;
    if (dynamic_cast<TQuery*>(DataSet)) {
        // A pending edit is completed first, so closing loses nothing; a failed post raises
        // here and leaves the query open with the edit.
        DataSet->CheckBrowseMode();
        TBookmark bookmark = DataSet->GetBookmark();
        DataSet->DisableControls();
        auto done = Finally([&] {
            DataSet->EnableControls();
            DataSet->FreeBookmark(bookmark);
        });
        DataSet->Close();
        DataSet->Open();
        RestoreBookmark(DataSet, bookmark);
        return;
    }
    DataSet->Refresh();
}

void RestoreBookmark(TDataSet* DataSet, const TBookmark& Bookmark)
{
    if (Bookmark.isEmpty())
        return;
    DataSet->CheckBrowseMode();
    TDataSetAccess::DoBeforeScroll(DataSet);
    TDataSetAccess::InternalGotoBookmark(DataSet, Bookmark);
    TDataSetAccess::Resync(DataSet, {rmCenter});
    TDataSetAccess::DoAfterScroll(DataSet);
}

} // namespace vyn
