#include "platform/db/DataSource.h"

#include "platform/core/TypInfo.h"
#include "platform/db/DataSet.h"

#include <algorithm>

namespace vyn {

const TClassInfo& TDataSource::StaticClassInfo()
{
    using C = TDataSource;
    static const TClassInfo info = TClassBuilder<C>("TDataSource")
                                       .Property("DataSet", &C::DataSet, &C::SetDataSet)
                                       .Property("Enabled", &C::Enabled, &C::SetEnabled)
                                       .Property("AutoEdit", &C::AutoEdit, &C::SetAutoEdit)
                                       .Member("OnDataChange", &C::OnDataChange)
                                       .Member("OnStateChange", &C::OnStateChange)
                                       .Member("OnUpdateData", &C::OnUpdateData)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TDataSource)

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource()
{
    for (TDataLink* l : std::vector<TDataLink*>(m_dataLinks))
        l->SetDataSource(nullptr);
    SetDataSet(nullptr);
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_dataSet)
        SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* Value)
{
    if (Value == m_dataSet)
        return;
    if (m_dataSet) {
        m_dataSet->RemoveDataSource(this);
        m_dataSet->RemoveFreeNotification(this);
    }
    m_dataSet = Value;
    if (m_dataSet) {
        m_dataSet->AddDataSource(this);
        m_dataSet->UpdateBufferCount();
    }
    DataEvent(deUpdateState, 0);
}

void TDataSource::SetEnabled(bool Value)
{
    if (m_enabled == Value)
        return;
    m_enabled = Value;
    DataEvent(deUpdateState, 0);
}

TDataSetState TDataSource::State() const
{
    return m_dataSet && m_enabled ? m_dataSet->State() : dsInactive;
}

void TDataSource::Edit()
{
    if (m_autoEdit && State() == dsBrowse)
        m_dataSet->Edit();
}

bool TDataSource::IsLinkedTo(const TDataSet* DataSet) const
{
    return m_dataSet == DataSet;
}

void TDataSource::AddDataLink(TDataLink* Link)
{
    m_dataLinks.push_back(Link);
    if (m_dataSet)
        m_dataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* Link)
{
    m_dataLinks.erase(std::remove(m_dataLinks.begin(), m_dataLinks.end(), Link), m_dataLinks.end());
    if (m_dataSet && !m_dataSet->ComponentState().Contains(csDestroying))
        m_dataSet->UpdateBufferCount();
}

void TDataSource::NotifyLinks(TDataEvent Event, std::intptr_t Info)
{
    for (size_t i = 0; i < m_dataLinks.size(); ++i)
        m_dataLinks[i]->DataEvent(Event, Info);
}

void TDataSource::DataEvent(TDataEvent Event, std::intptr_t Info)
{
    if (Event == deUpdateState) {
        const TDataSetState s = State();
        if (s == m_state)
            return;
        m_state = s;
        NotifyLinks(Event, Info);
        OnStateChange(this);
        return;
    }
    if (!m_enabled || State() == dsInactive)
        return;
    NotifyLinks(Event, Info);
    switch (Event) {
    case deFieldChange:
        OnDataChange(this, reinterpret_cast<TField*>(Info));
        break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        OnUpdateData(this);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------

TDataLink::TDataLink() = default;

TDataLink::~TDataLink()
{
    SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* Value)
{
    if (Value == m_dataSource)
        return;
    if (m_dataSource)
        m_dataSource->RemoveDataLink(this);
    m_dataSource = Value;
    if (m_dataSource)
        m_dataSource->AddDataLink(this);
    UpdateState();
}

TDataSet* TDataLink::DataSet() const
{
    return m_dataSource ? m_dataSource->DataSet() : nullptr;
}

void TDataLink::SetReadOnly(bool Value)
{
    if (m_readOnly == Value)
        return;
    m_readOnly = Value;
    UpdateState();
}

void TDataLink::SetBufferCount(int Value)
{
    Value = std::max(1, Value);
    if (m_bufferCount == Value)
        return;
    m_bufferCount = Value;
    if (TDataSet* ds = DataSet())
        ds->UpdateBufferCount();
    UpdateRange();
}

void TDataLink::UpdateRange()
{
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) {
        m_firstRecord = 0;
        return;
    }
    const int active = ds->ActiveRecord();
    const int count = ds->BufferedRecords();
    int first = m_firstRecord;
    first = std::min(first, active);
    first = std::max(first, active - m_bufferCount + 1);
    first = std::min(first, std::max(0, count - m_bufferCount));
    m_firstRecord = std::max(0, first);
}

int TDataLink::ActiveRecord() const
{
    TDataSet* ds = DataSet();
    return ds && ds->Active() ? ds->ActiveRecord() - m_firstRecord : 0;
}

void TDataLink::SetActiveRecord(int Value)
{
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active() || ds->State() == dsCalcFields)
        return;
    const int index = m_firstRecord + Value;
    if (index >= 0 && index < ds->BufferedRecords())
        ds->m_active = index;
}

int TDataLink::RecordCount() const
{
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active())
        return 0;
    return std::clamp(ds->BufferedRecords() - m_firstRecord, 0, m_bufferCount);
}

bool TDataLink::Edit()
{
    if (!m_readOnly && m_dataSource)
        m_dataSource->Edit();
    return m_editing;
}

void TDataLink::UpdateRecord()
{
    m_updating = true;
    struct Reset
    {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_updating};
    UpdateData();
}

void TDataLink::DataSetScrolled(int)
{
    DataSetChanged();
}

void TDataLink::FocusControl(TField*) {}

void TDataLink::RecordChanged(TField*) {}

void TDataLink::UpdateState()
{
    const bool active = m_dataSource && m_dataSource->State() != dsInactive;
    if (active != m_active) {
        m_active = active;
        UpdateRange();
        ActiveChanged();
    }
    const TDataSetState s = m_dataSource ? m_dataSource->State() : dsInactive;
    const bool editing = !m_readOnly && (s == dsEdit || s == dsInsert || s == dsSetKey);
    if (editing != m_editing) {
        m_editing = editing;
        EditingChanged();
    }
}

void TDataLink::DataEvent(TDataEvent Event, std::intptr_t Info)
{
    switch (Event) {
    case deUpdateState:
        UpdateState();
        break;
    case deFieldChange:
    case deRecordChange:
        if (!m_updating)
            RecordChanged(reinterpret_cast<TField*>(Info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        const int before = m_firstRecord;
        UpdateRange();
        if (Event == deDataSetScroll)
            DataSetScrolled(int(Info) + (m_firstRecord - before));
        else if (Event == deLayoutChange)
            LayoutChanged();
        else
            DataSetChanged();
        break;
    }
    case deFieldListChange:
        LayoutChanged();
        break;
    case deUpdateRecord:
        UpdateRecord();
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case deFocusControl:
        FocusControl(reinterpret_cast<TField*>(Info));
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------

void TFieldDataLink::SetFieldName(const QString& Value)
{
    if (m_fieldName == Value)
        return;
    m_fieldName = Value;
    UpdateField();
}

void TFieldDataLink::UpdateField()
{
    TField* f = nullptr;
    if (Active() && !m_fieldName.isEmpty())
        f = DataSet()->FindField(m_fieldName);
    if (f != m_field) {
        m_field = f;
        m_modified = false;
    }
    if (Active())
        RecordChanged(nullptr);
    else
        OnDataChange(Sender());
}

bool TFieldDataLink::CanModify() const
{
    return !ReadOnly() && m_field && m_field->CanModify();
}

bool TFieldDataLink::Edit()
{
    if (CanModify())
        TDataLink::Edit();
    return Editing();
}

void TFieldDataLink::Reset()
{
    RecordChanged(nullptr);
}

void TFieldDataLink::ActiveChanged()
{
    UpdateField();
    OnActiveChange(Sender());
}

void TFieldDataLink::EditingChanged()
{
    OnEditingChange(Sender());
}

void TFieldDataLink::FocusControl(TField*) {}

void TFieldDataLink::LayoutChanged()
{
    UpdateField();
}

void TFieldDataLink::RecordChanged(TField* Field)
{
    if (Field == nullptr || Field == m_field) {
        m_modified = false;
        OnDataChange(Sender());
    }
}

void TFieldDataLink::UpdateData()
{
    if (m_modified) {
        if (m_field)
            OnUpdateData(Sender());
        m_modified = false;
    }
}

} // namespace vyn
