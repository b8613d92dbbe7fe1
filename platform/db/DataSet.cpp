#include "platform/db/DataSet.h"

#include "platform/core/ScopeGuard.h"
#include "platform/core/TypInfo.h"
#include "platform/db/DataSource.h"

#include <algorithm>
#include <functional>

namespace vyn {

const TClassInfo& TDataSet::StaticClassInfo()
{
    using C = TDataSet;
    static const TClassInfo info = TClassBuilder<C>("TDataSet")
                                       .Property("Active", &C::Active, &C::SetActive)
                                       .Member("BeforeOpen", &C::BeforeOpen)
                                       .Member("AfterOpen", &C::AfterOpen)
                                       .Member("BeforeClose", &C::BeforeClose)
                                       .Member("AfterClose", &C::AfterClose)
                                       .Member("BeforeInsert", &C::BeforeInsert)
                                       .Member("AfterInsert", &C::AfterInsert)
                                       .Member("BeforeEdit", &C::BeforeEdit)
                                       .Member("AfterEdit", &C::AfterEdit)
                                       .Member("BeforePost", &C::BeforePost)
                                       .Member("AfterPost", &C::AfterPost)
                                       .Member("BeforeCancel", &C::BeforeCancel)
                                       .Member("AfterCancel", &C::AfterCancel)
                                       .Member("BeforeDelete", &C::BeforeDelete)
                                       .Member("AfterDelete", &C::AfterDelete)
                                       .Member("BeforeScroll", &C::BeforeScroll)
                                       .Member("AfterScroll", &C::AfterScroll)
                                       .Member("OnNewRecord", &C::OnNewRecord)
                                       .Member("OnCalcFields", &C::OnCalcFields)
                                       .Build();
    return info;
}

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet()
{
    // Closing here would call a driver hook of a class that is already gone; drivers close
    // in their own destructors. What is left is to let go of fields and sources.
    m_state = dsInactive;
    m_lookupLinks.clear();
    m_lookupSources.clear();
    m_buffers.clear();
    for (TDataSource* s : std::vector<TDataSource*>(m_dataSources))
        s->SetDataSet(nullptr);
    DestroyDynamicFields();
    for (TField* f : std::vector<TField*>(m_fields))
        f->m_dataSet = nullptr;
    m_fields.clear();
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (auto* f = dynamic_cast<TField*>(AComponent); f && f->m_dataSet == this)
            RemoveField(f);
    }
}

void TDataSet::AdoptChild(TComponent* Child)
{
    if (auto* f = dynamic_cast<TField*>(Child))
        f->SetDataSet(this);
}

void TDataSet::Loaded()
{
    TComponent::Loaded();
    if (m_pendingOpen) {
        m_pendingOpen = false;
        Open();
    }
}

// --- Fields ----------------------------------------------------------------------------------

void TDataSet::AddField(TField* Field)
{
    m_fields.push_back(Field);
    Field->m_dataSet = this;
    if (Field->Owner() != this)
        Field->FreeNotification(this);
    DataEvent(deFieldListChange, 0);
}

void TDataSet::RemoveField(TField* Field)
{
    auto it = std::find(m_fields.begin(), m_fields.end(), Field);
    if (it == m_fields.end())
        return;
    // The record buffers are laid out for the fields as they were: close first.
    if (Active()) {
        if (ComponentState().Contains(csDestroying)) {
            SetState(dsInactive);
            CloseCursor();
        } else {
            Close();
        }
        it = std::find(m_fields.begin(), m_fields.end(), Field);
        if (it == m_fields.end())
            return;
    }
    m_fields.erase(it);
    Field->m_dataSet = nullptr;
    Field->m_slot = -1;
    m_dynamicFields.erase(std::remove(m_dynamicFields.begin(), m_dynamicFields.end(), Field),
                          m_dynamicFields.end());
    if (!ComponentState().Contains(csDestroying))
        DataEvent(deFieldListChange, 0);
}

TField* TDataSet::Fields(int Index) const
{
    if (Index < 0 || Index >= FieldCount())
        DatabaseError(QStringLiteral("Field index out of range"), this);
    return m_fields[size_t(Index)];
}

TField* TDataSet::FindField(const QString& FieldName) const
{
    for (TField* f : m_fields)
        if (f->FieldName().compare(FieldName, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

TField* TDataSet::FieldByName(const QString& FieldName) const
{
    if (TField* f = FindField(FieldName))
        return f;
    DatabaseError(QStringLiteral("Field '%1' not found").arg(FieldName), this);
}

int TDataSet::IndexOfField(const TField* Field) const
{
    auto it = std::find(m_fields.begin(), m_fields.end(), Field);
    return it == m_fields.end() ? -1 : int(it - m_fields.begin());
}

bool TDataSet::HasPersistentFields() const
{
    return m_fields.size() > m_dynamicFields.size();
}

void TDataSet::CreateDynamicFields()
{
    for (int i = 0; i < m_fieldDefs.Count(); ++i) {
        const TFieldDef& def = m_fieldDefs.Items(i);
        TComponent* made = DefaultFieldClass(def.DataType).Create(nullptr);
        auto* field = static_cast<TField*>(made);
        field->m_fieldName = def.Name;
        field->m_dataType = def.DataType;
        if (def.DataType == ftString)
            field->m_size = def.Size;
        field->m_required = def.Required;
        if (def.DataType == ftAutoInc)
            field->m_readOnly = true;
        m_dynamicFields.push_back(field);
        m_fields.push_back(field);
        field->m_dataSet = this;
    }
}

void TDataSet::DestroyDynamicFields()
{
    std::vector<TField*> dynamic;
    dynamic.swap(m_dynamicFields);
    for (TField* f : dynamic) {
        m_fields.erase(std::remove(m_fields.begin(), m_fields.end(), f), m_fields.end());
        f->m_dataSet = nullptr;
        delete f;
    }
}

void TDataSet::BindFields()
{
    int calc = 0;
    for (TField* f : m_fields) {
        if (f->m_fieldKind == fkData) {
            const int i = m_fieldDefs.IndexOf(f->m_fieldName);
            if (i < 0)
                DatabaseError(QStringLiteral("Field '%1' not found").arg(f->m_fieldName), this);
            const TFieldDef& def = m_fieldDefs.Items(i);
            f->m_fieldNo = def.FieldNo;
            f->m_slot = i;
            // A string field holds what its column holds.
            if (def.DataType == ftString)
                f->m_size = def.Size;
        } else {
            f->m_fieldNo = 0;
            f->m_slot = m_fieldDefs.Count() + calc++;
        }
    }
}

int TDataSet::SlotCount() const
{
    int calc = 0;
    for (TField* f : m_fields)
        if (f->m_fieldKind != fkData)
            ++calc;
    return m_fieldDefs.Count() + calc;
}

// --- Opening and closing ---------------------------------------------------------------------

void TDataSet::SetActive(bool Value)
{
    if (ComponentState().Contains(csLoading)) {
        m_pendingOpen = Value;
        return;
    }
    if (Value == Active() || m_opening)
        return;
    if (Value) {
        DoBeforeOpen();
        m_opening = true;
        auto done = Finally([this] { m_opening = false; });
        OpenCursor();
        m_bof = true;
        done.Dismiss();
        m_opening = false;
        SetState(dsBrowse);
        InternalFirst();
        while (int(m_buffers.size()) < m_bufferCount && FetchNext()) {
        }
        m_active = 0;
        m_bof = true;
        m_eof = m_buffers.empty();
        DataEvent(deDataSetChange, 0);
        DoAfterOpen();
        if (!m_buffers.empty())
            DoAfterScroll();
    } else {
        DoBeforeClose();
        SetState(dsInactive);
        CloseCursor();
        DoAfterClose();
    }
}

void TDataSet::OpenCursor()
{
    InternalOpen();
    // Whatever fails from here leaves the dataset closed.
    auto undo = Finally([this] {
        DestroyDynamicFields();
        InternalClose();
    });
    if (m_fields.empty())
        CreateDynamicFields();
    BindFields();
    undo.Dismiss();
    UpdateBufferCount();
    WatchLookupDataSets();
}

namespace {

// Tells a dataset that one of its lookup datasets changed its data.
class LookupLink : public TDataLink
{
public:
    explicit LookupLink(std::function<void()> changed) : m_changed(std::move(changed)) {}

protected:
    void DataSetChanged() override { m_changed(); }
    void RecordChanged(TField*) override { m_changed(); }
    void DataSetScrolled(int) override {}

private:
    std::function<void()> m_changed;
};

} // namespace

void TDataSet::WatchLookupDataSets()
{
    m_lookupLinks.clear();
    m_lookupSources.clear();
    std::vector<TDataSet*> watched;
    for (TField* f : m_fields) {
        if (f->m_fieldKind != fkLookup || !f->m_lookupDataSet ||
            std::find(watched.begin(), watched.end(), f->m_lookupDataSet) != watched.end())
            continue;
        watched.push_back(f->m_lookupDataSet);
        auto source = std::make_unique<TDataSource>(nullptr);
        source->SetDataSet(f->m_lookupDataSet);
        auto link = std::make_unique<LookupLink>([this] { LookupDataChanged(); });
        link->SetDataSource(source.get());
        m_lookupSources.push_back(std::move(source));
        m_lookupLinks.push_back(std::move(link));
    }
}

void TDataSet::LookupDataChanged()
{
    if (m_lookupRefreshing || m_state != dsBrowse)
        return;
    m_lookupRefreshing = true;
    auto done = Finally([this] { m_lookupRefreshing = false; });
    for (TRecordBuffer& b : m_buffers)
        CalculateFields(b);
    DataEvent(deDataSetChange, 0);
}

void TDataSet::CloseCursor()
{
    m_lookupLinks.clear();
    m_lookupSources.clear();
    ClearBuffers();
    m_original.clear();
    m_insertedAt = -1;
    InternalClose();
    DestroyDynamicFields();
    m_bof = m_eof = true;
}

// --- Buffers ---------------------------------------------------------------------------------

void TDataSet::ClearBuffers()
{
    m_buffers.clear();
    m_active = 0;
}

void TDataSet::CalculateFields(TRecordBuffer& Buffer)
{
    Buffer.Values.resize(size_t(SlotCount()));
    if (SlotCount() == m_fieldDefs.Count())
        return;
    for (size_t i = size_t(m_fieldDefs.Count()); i < Buffer.Values.size(); ++i)
        Buffer.Values[i] = Variant(Null);
    for (TField* f : m_fields) {
        if (f->m_fieldKind != fkLookup || !f->m_lookupDataSet || !f->m_lookupDataSet->Active())
            continue;
        std::vector<Variant> keys;
        bool complete = true;
        for (const QString& name : f->m_keyFields.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            TField* k = FindField(name.trimmed());
            if (!k || k->m_slot < 0 || Buffer.Values[size_t(k->m_slot)].IsEmpty()) {
                complete = false;
                break;
            }
            keys.push_back(Buffer.Values[size_t(k->m_slot)]);
        }
        if (complete && !keys.empty())
            Buffer.Values[size_t(f->m_slot)] =
                f->m_lookupDataSet->Lookup(f->m_lookupKeyFields, keys, f->m_lookupResultField);
    }
    if (!OnCalcFields.Assigned())
        return;
    const TDataSetState saved = m_state;
    m_calcBuffer = &Buffer;
    m_state = dsCalcFields;
    auto restore = Finally([this, saved] {
        m_state = saved;
        m_calcBuffer = nullptr;
    });
    DoOnCalcFields();
}

bool TDataSet::FetchNext()
{
    TRecordBuffer rec;
    if (m_buffers.empty()) {
        if (GetRecord(rec, gmNext) != grOK)
            return false;
    } else {
        InternalSetToRecord(m_buffers.back());
        if (GetRecord(rec, gmNext) != grOK)
            return false;
    }
    CalculateFields(rec);
    if (int(m_buffers.size()) >= m_bufferCount) {
        m_buffers.erase(m_buffers.begin());
        --m_active;
    }
    m_buffers.push_back(std::move(rec));
    return true;
}

bool TDataSet::FetchPrior()
{
    TRecordBuffer rec;
    if (!m_buffers.empty())
        InternalSetToRecord(m_buffers.front());
    if (GetRecord(rec, gmPrior) != grOK)
        return false;
    CalculateFields(rec);
    if (int(m_buffers.size()) >= m_bufferCount)
        m_buffers.pop_back();
    m_buffers.insert(m_buffers.begin(), std::move(rec));
    ++m_active;
    return true;
}

// With the current record alone in the window: fetch up to `before` records before it, then
// fill the window with the records after it, then with more before it.
void TDataSet::FillWindow(int before)
{
    for (int i = 0; i < before && int(m_buffers.size()) < m_bufferCount; ++i)
        if (!FetchPrior())
            break;
    while (int(m_buffers.size()) < m_bufferCount && FetchNext()) {
    }
    while (int(m_buffers.size()) < m_bufferCount && FetchPrior()) {
    }
}

TRecordBuffer* TDataSet::ActiveBuffer()
{
    if (m_state == dsCalcFields)
        return m_calcBuffer;
    if (m_buffers.empty())
        return nullptr;
    return &m_buffers[size_t(m_active)];
}

const TRecordBuffer* TDataSet::ActiveBuffer() const
{
    return const_cast<TDataSet*>(this)->ActiveBuffer();
}

void TDataSet::SetBufferCount(int Value)
{
    Value = std::max(1, Value);
    if (Value == m_bufferCount)
        return;
    m_bufferCount = Value;
    // While a record is edited the window stays; the next re-read sizes it.
    if (!Active() || m_buffers.empty() || m_state == dsEdit || m_state == dsInsert)
        return;
    // Shrink from the far end first so the current record stays in the window.
    while (int(m_buffers.size()) > m_bufferCount) {
        if (int(m_buffers.size()) - 1 - m_active >= m_active) {
            m_buffers.pop_back();
        } else {
            m_buffers.erase(m_buffers.begin());
            --m_active;
        }
    }
    if (m_state == dsBrowse) {
        while (int(m_buffers.size()) < m_bufferCount && FetchNext()) {
        }
        while (int(m_buffers.size()) < m_bufferCount && FetchPrior()) {
        }
        UpdateCursorPos();
    }
    DataEvent(deLayoutChange, 0);
}

void TDataSet::UpdateBufferCount()
{
    int wanted = 1;
    for (TDataSource* s : m_dataSources)
        for (TDataLink* l : s->m_dataLinks)
            wanted = std::max(wanted, l->BufferCount());
    SetBufferCount(wanted);
}

void TDataSet::UpdateCursorPos()
{
    if (!m_buffers.empty())
        InternalSetToRecord(m_buffers[size_t(m_active)]);
}

void TDataSet::Resync(TResyncMode Mode)
{
    TRecordBuffer rec;
    const int oldActive = m_active;
    TGetResult r = GetRecord(rec, gmCurrent);
    if (r != grOK) {
        if (Mode.Contains(rmExact))
            DatabaseError(QStringLiteral("Record not found"), this);
        r = GetRecord(rec, gmNext);
        if (r != grOK)
            r = GetRecord(rec, gmPrior);
    }
    ClearBuffers();
    if (r != grOK) {
        m_bof = m_eof = true;
        DataEvent(deDataSetChange, 0);
        return;
    }
    CalculateFields(rec);
    m_buffers.push_back(std::move(rec));
    m_active = 0;
    FillWindow(Mode.Contains(rmCenter) ? (m_bufferCount - 1) / 2 : oldActive);
    m_bof = m_eof = false;
    DataEvent(deDataSetChange, 0);
}

// --- Moves -----------------------------------------------------------------------------------

void TDataSet::First()
{
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    InternalFirst();
    while (int(m_buffers.size()) < m_bufferCount && FetchNext()) {
    }
    m_active = 0;
    m_bof = true;
    m_eof = m_buffers.empty();
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::Last()
{
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    InternalLast();
    TRecordBuffer rec;
    if (GetRecord(rec, gmPrior) == grOK) {
        CalculateFields(rec);
        m_buffers.push_back(std::move(rec));
        while (int(m_buffers.size()) < m_bufferCount && FetchPrior()) {
        }
    }
    m_active = std::max(0, int(m_buffers.size()) - 1);
    m_eof = true;
    m_bof = m_buffers.empty();
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

int TDataSet::MoveBy(int Distance)
{
    CheckBrowseMode();
    if (Distance == 0 || m_buffers.empty()) {
        if (m_buffers.empty()) {
            m_bof = m_eof = true;
        }
        return 0;
    }
    DoBeforeScroll();
    if ((Distance > 0 && m_eof) || (Distance < 0 && m_bof))
        return 0;
    m_bof = m_eof = false;
    int moved = 0;
    while (Distance > 0) {
        if (m_active < int(m_buffers.size()) - 1) {
            ++m_active;
        } else if (FetchNext()) {
            m_active = int(m_buffers.size()) - 1;
        } else {
            m_eof = true;
            break;
        }
        --Distance;
        ++moved;
    }
    while (Distance < 0) {
        if (m_active > 0) {
            --m_active;
        } else if (FetchPrior()) {
            m_active = 0;
        } else {
            m_bof = true;
            break;
        }
        ++Distance;
        --moved;
    }
    UpdateCursorPos();
    DataEvent(deDataSetScroll, moved);
    DoAfterScroll();
    return moved;
}

int TDataSet::RecordCount() const
{
    CheckActive();
    return InternalRecordCount();
}

int TDataSet::RecNo() const
{
    if (!Active() || m_buffers.empty() || m_state == dsInsert)
        return -1;
    return InternalRecNo(m_buffers[size_t(m_active)].Key);
}

void TDataSet::DoBeforeScroll()
{
    BeforeScroll(this);
}

void TDataSet::DoAfterScroll()
{
    AfterScroll(this);
}

// --- Editing ---------------------------------------------------------------------------------

void TDataSet::CheckActive() const
{
    if (!Active())
        DatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"), this);
}

void TDataSet::CheckInactive() const
{
    if (Active())
        DatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"), this);
}

void TDataSet::CheckBrowseState() const
{
    CheckActive();
    if (m_state != dsBrowse)
        DatabaseError(QStringLiteral("Dataset is in edit or insert mode"), this);
}

void TDataSet::CheckCanModify() const
{
    if (!CanModify())
        DatabaseError(QStringLiteral("Cannot modify a read-only dataset"), this);
}

void TDataSet::SetState(TDataSetState Value)
{
    if (m_state == Value)
        return;
    m_state = Value;
    m_modified = false;
    DataEvent(deUpdateState, 0);
}

void TDataSet::InternalInitRecord(TRecordBuffer& Buffer)
{
    Buffer.Key.clear();
    Buffer.Values.assign(size_t(SlotCount()), Variant(Null));
}

void TDataSet::Edit()
{
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    CheckActive();
    if (m_buffers.empty()) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeEdit();
    TRecordBuffer& buf = m_buffers[size_t(m_active)];
    InternalEdit(buf);
    CalculateFields(buf);
    m_original = buf.Values;
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    DoAfterEdit();
}

void TDataSet::Insert()
{
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
    TRecordBuffer rec;
    InternalInitRecord(rec);
    rec.Flag = bfInserted;
    const int at = m_buffers.empty() ? 0 : m_active;
    m_buffers.insert(m_buffers.begin() + at, std::move(rec));
    // The window holds one buffer more while inserting, so the record that was current stays.
    if (int(m_buffers.size()) > m_bufferCount + 1)
        m_buffers.pop_back();
    StartInsertedRecord(at);
}

// The new record at window index `at` becomes current: insert state, OnNewRecord, the events.
void TDataSet::StartInsertedRecord(int at)
{
    m_active = at;
    m_insertedAt = at;
    m_original.clear();
    m_bof = m_eof = false;
    SetState(dsInsert);
    {
        // A failing OnNewRecord takes the new record away again, without events.
        auto undo = Finally([this] { DropInsertedRecord(); });
        DoOnNewRecord();
        undo.Dismiss();
    }
    m_modified = false;
    DataEvent(deDataSetChange, 0);
    DoAfterInsert();
    DoAfterScroll();
}

void TDataSet::Append()
{
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
    // The window moves to the end of the table; the new record follows the last one.
    ClearBuffers();
    InternalLast();
    TRecordBuffer last;
    if (GetRecord(last, gmPrior) == grOK) {
        CalculateFields(last);
        m_buffers.push_back(std::move(last));
        while (int(m_buffers.size()) < m_bufferCount - 1 && FetchPrior()) {
        }
        if (int(m_buffers.size()) >= m_bufferCount)
            m_buffers.erase(m_buffers.begin());
    }
    TRecordBuffer rec;
    InternalInitRecord(rec);
    rec.Flag = bfEOF;
    m_buffers.push_back(std::move(rec));
    StartInsertedRecord(int(m_buffers.size()) - 1);
}

void TDataSet::UpdateRecord()
{
    if (m_state != dsEdit && m_state != dsInsert && m_state != dsSetKey)
        DatabaseError(QStringLiteral("Dataset not in edit or insert mode"), this);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::CheckRequiredFields()
{
    for (TField* f : m_fields)
        if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData &&
            f->DataType() != ftAutoInc && f->IsNull()) {
            f->FocusControl();
            DatabaseError(QStringLiteral("Field '%1' must have a value").arg(f->DisplayName()));
        }
}

void TDataSet::Post()
{
    UpdateRecord();
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforePost();
    CheckRequiredFields();
    const bool inserting = m_state == dsInsert;
    TRecordBuffer& buf = m_buffers[size_t(m_active)];
    // A failed write leaves the record in edit or insert state with every value kept.
    InternalPost(buf, m_original, inserting);
    buf.Flag = bfCurrent;
    m_original.clear();
    m_insertedAt = -1;
    InternalSetToRecord(buf);
    SetState(dsBrowse);
    Resync({});
    DoAfterPost();
}

void TDataSet::Cancel()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    DataEvent(deCheckBrowseMode, 0);
    DoBeforeCancel();
    const bool inserting = m_state == dsInsert;
    if (inserting) {
        DropInsertedRecord();
    } else {
        if (!m_buffers.empty())
            m_buffers[size_t(m_active)].Values = m_original;
        m_original.clear();
        SetState(dsBrowse);
        DataEvent(deDataSetChange, 0);
    }
    DoAfterCancel();
    if (inserting)
        DoAfterScroll();
}

void TDataSet::DropInsertedRecord()
{
    bool appended = false;
    if (m_insertedAt >= 0 && m_insertedAt < int(m_buffers.size())) {
        appended = m_buffers[size_t(m_insertedAt)].Flag == bfEOF;
        m_buffers.erase(m_buffers.begin() + m_insertedAt);
    }
    m_insertedAt = -1;
    m_original.clear();
    if (m_active >= int(m_buffers.size()))
        m_active = std::max(0, int(m_buffers.size()) - 1);
    SetState(dsBrowse);
    // Back to the record that was current, or to the end for an appended one.
    if (!m_buffers.empty() && !appended)
        UpdateCursorPos();
    else if (appended)
        InternalLast();
    else
        InternalFirst();
    Resync({});
}

void TDataSet::Delete()
{
    CheckActive();
    if (m_state == dsInsert) {
        Cancel();
        return;
    }
    if (m_buffers.empty())
        DatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"), this);
    DataEvent(deCheckBrowseMode, 0);
    CheckCanModify();
    DoBeforeDelete();
    DoBeforeScroll();
    // Unsaved edits are dropped: the record is deleted as it was read.
    if (m_state == dsEdit)
        m_buffers[size_t(m_active)].Values = m_original;
    InternalDelete(m_buffers[size_t(m_active)]);
    m_original.clear();
    UpdateCursorPos();
    SetState(dsBrowse);
    Resync({});
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    if (m_state == dsEdit || m_state == dsInsert) {
        UpdateRecord();
        if (m_modified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    UpdateCursorPos();
    InternalRefresh();
    Resync({});
}

// --- Bookmarks -------------------------------------------------------------------------------

TBookmark TDataSet::GetBookmark() const
{
    if (!Active() || m_buffers.empty() || m_state == dsInsert)
        return TBookmark();
    return m_buffers[size_t(m_active)].Key;
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark)
{
    if (Bookmark.isEmpty())
        return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(Bookmark);
    Resync({rmExact, rmCenter});
    DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmark& Bookmark) const
{
    return Active() && !Bookmark.isEmpty() && InternalBookmarkValid(Bookmark);
}

int TDataSet::CompareBookmarks(const TBookmark& A, const TBookmark& B) const
{
    if (A.isEmpty() || B.isEmpty())
        return A.isEmpty() == B.isEmpty() ? 0 : (A.isEmpty() ? -1 : 1);
    return InternalCompareBookmarks(A, B);
}

// --- Look-ups ----------------------------------------------------------------------------------

bool TDataSet::InternalLocate(const QStringList& FieldNames, const std::vector<Variant>& Values,
                              std::vector<Variant>& Found)
{
    // Only what is buffered: a driver with a cursor looks the table up itself.
    for (const TRecordBuffer& b : m_buffers) {
        bool match = true;
        for (size_t i = 0; i < size_t(FieldNames.size()) && match; ++i) {
            TField* f = FindField(FieldNames[int(i)]);
            match = f && f->m_slot >= 0 && i < Values.size() &&
                    b.Values[size_t(f->m_slot)] == Values[i];
        }
        if (match) {
            Found = b.Values;
            return true;
        }
    }
    return false;
}

Variant TDataSet::Lookup(const QString& KeyFields, const std::vector<Variant>& KeyValues,
                         const QString& ResultField)
{
    CheckActive();
    QStringList names;
    for (const QString& n : KeyFields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        names << n.trimmed();
    TField* result = FieldByName(ResultField);
    std::vector<Variant> keys = KeyValues;
    // Compare in each key field's own type: 1 and "1" find the same record.
    for (size_t i = 0; i < keys.size() && i < size_t(names.size()); ++i) {
        TField* f = FieldByName(names[int(i)]);
        try {
            keys[i] = f->Normalize(keys[i]);
        } catch (const Exception&) {
            return Variant(Null);
        }
    }
    std::vector<Variant> found;
    if (!InternalLocate(names, keys, found) || result->m_slot < 0 ||
        result->m_slot >= int(found.size()))
        return Variant(Null);
    return found[size_t(result->m_slot)];
}

// --- Field values ----------------------------------------------------------------------------

bool TDataSet::GetFieldValue(const TField* Field, Variant& Value) const
{
    const TRecordBuffer* buf = ActiveBuffer();
    if (!buf || Field->m_slot < 0 || Field->m_slot >= int(buf->Values.size())) {
        Value = Variant(Null);
        return false;
    }
    Value = buf->Values[size_t(Field->m_slot)];
    return !Value.IsEmpty();
}

void TDataSet::SetFieldValue(TField* Field, const Variant& Value)
{
    const bool calcWrite = m_state == dsCalcFields && Field->FieldKind() != fkData;
    if (!calcWrite && m_state != dsEdit && m_state != dsInsert && m_state != dsSetKey)
        DatabaseError(QStringLiteral("Dataset not in edit or insert mode"), this);
    if (!calcWrite && Field->FieldKind() == fkData && !Field->CanModify())
        DatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(Field->DisplayName()));
    TRecordBuffer* buf = ActiveBuffer();
    if (!buf || Field->m_slot < 0 || Field->m_slot >= int(buf->Values.size()))
        DatabaseError(
            QStringLiteral("Field '%1' has no value in this state").arg(Field->DisplayName()),
            this);
    Variant& slot = buf->Values[size_t(Field->m_slot)];
    if (calcWrite) {
        slot = Value;
        return;
    }
    // The validation handler sees the new value and may refuse it.
    const Variant old = slot;
    slot = Value;
    {
        auto restore = Finally([&] { slot = old; });
        Field->Validate();
        restore.Dismiss();
    }
    DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

// --- Notifications ---------------------------------------------------------------------------

void TDataSet::AddDataSource(TDataSource* Source)
{
    m_dataSources.push_back(Source);
}

void TDataSet::RemoveDataSource(TDataSource* Source)
{
    m_dataSources.erase(std::remove(m_dataSources.begin(), m_dataSources.end(), Source),
                        m_dataSources.end());
    if (!ComponentState().Contains(csDestroying))
        UpdateBufferCount();
}

void TDataSet::DataEvent(TDataEvent Event, std::intptr_t Info)
{
    if (Event == deFieldChange) {
        auto* field = reinterpret_cast<TField*>(Info);
        if (field->FieldKind() == fkData && (m_state == dsEdit || m_state == dsInsert))
            m_modified = true;
        if (m_state == dsEdit || m_state == dsInsert) {
            if (TRecordBuffer* buf = ActiveBuffer())
                CalculateFields(*buf);
        }
        field->Change();
    }
    if (m_disableCount > 0) {
        if (Event != deUpdateRecord && Event != deCheckBrowseMode && Event != deFocusControl)
            m_pendingChange = true;
        if (Event == deFieldListChange || Event == deLayoutChange || Event == deUpdateState)
            m_pendingLayout = true;
        if (Event != deUpdateRecord && Event != deCheckBrowseMode)
            return;
    }
    NotifySources(Event, Info);
}

void TDataSet::NotifySources(TDataEvent Event, std::intptr_t Info)
{
    for (size_t i = 0; i < m_dataSources.size(); ++i)
        m_dataSources[i]->DataEvent(Event, Info);
}

void TDataSet::DisableControls()
{
    if (m_disableCount++ == 0) {
        m_disableState = m_state;
        m_pendingChange = false;
        m_pendingLayout = false;
    }
}

void TDataSet::EnableControls()
{
    if (m_disableCount == 0 || --m_disableCount > 0)
        return;
    if (m_disableState != m_state)
        NotifySources(deUpdateState, 0);
    // Fields may have been made anew meanwhile (a close and open): links look theirs up again.
    if (m_pendingChange && m_state != dsInactive)
        NotifySources(m_pendingLayout ? deLayoutChange : deDataSetChange, 0);
    m_pendingChange = false;
    m_pendingLayout = false;
}

} // namespace vyn
