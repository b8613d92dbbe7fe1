#pragma once

#include "platform/core/Component.h"
#include "platform/core/Event.h"
#include "platform/db/DB.h"

#include <cstdint>
#include <vector>

namespace vyn {

class TDataSet;
class TDataLink;
class TField;

using TDataChangeEvent = Event<void(TObject* Sender, TField* Field)>;

// Connects a dataset to its links (controls) and passes the dataset's news on to them.
class TDataSource : public TComponent
{
    VYN_CLASS(TDataSource, TComponent)
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;

    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* Value);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool Value);
    bool AutoEdit() const { return m_autoEdit; }
    void SetAutoEdit(bool Value) { m_autoEdit = Value; }
    // The dataset's state, or dsInactive when there is none or the source is disabled.
    TDataSetState State() const;
    // Puts a browsing dataset into edit mode, when AutoEdit is on.
    void Edit();
    bool IsLinkedTo(const TDataSet* DataSet) const;

    TDataChangeEvent OnDataChange;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;

    int DataLinkCount() const { return int(m_dataLinks.size()); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent Event, std::intptr_t Info);
    void AddDataLink(TDataLink* Link);
    void RemoveDataLink(TDataLink* Link);
    void NotifyLinks(TDataEvent Event, std::intptr_t Info);

    TDataSet* m_dataSet = nullptr;
    bool m_enabled = true;
    bool m_autoEdit = true;
    TDataSetState m_state = dsInactive;
    std::vector<TDataLink*> m_dataLinks;
};

// A link from a control (or any client) to a data source. Descendants override the virtual
// notifications; the link keeps its own view of the dataset's buffer window.
class TDataLink : public TObject
{
public:
    TDataLink();
    ~TDataLink() override;

    TDataSource* DataSource() const { return m_dataSource; }
    void SetDataSource(TDataSource* Value);
    TDataSet* DataSet() const;
    bool Active() const { return m_active; }
    bool Editing() const { return m_editing; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool Value);
    // How many records the client shows; the dataset keeps at least that many buffered.
    int BufferCount() const { return m_bufferCount; }
    void SetBufferCount(int Value);
    // The current record's position in the link's window, and moving it for reading a row.
    int ActiveRecord() const;
    void SetActiveRecord(int Value);
    // Number of records in the link's window.
    int RecordCount() const;
    // Puts the dataset into edit mode through the source (AutoEdit); true when editing.
    virtual bool Edit();
    void UpdateRecord();

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int Distance);
    virtual void EditingChanged() {}
    virtual void FocusControl(TField* Field);
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* Field);
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    void DataEvent(TDataEvent Event, std::intptr_t Info);
    void UpdateState();
    void UpdateRange();

    TDataSource* m_dataSource = nullptr;
    bool m_active = false;
    bool m_editing = false;
    bool m_readOnly = false;
    bool m_updating = false;
    int m_bufferCount = 1;
    int m_firstRecord = 0;
};

using TFieldDataLinkEvent = TNotifyEvent;

// A link to one field of the dataset, for a data-aware control.
class TFieldDataLink : public TDataLink
{
public:
    TFieldDataLink() = default;

    QString FieldName() const { return m_fieldName; }
    void SetFieldName(const QString& Value);
    TField* Field() const { return m_field; }
    // The control may change the field: not read-only, a field that can be modified.
    bool CanModify() const;
    bool Edit() override;
    // The control has changes not yet written to the field.
    void Modified() { m_modified = true; }
    bool IsModified() const { return m_modified; }
    // Discards the control's changes and shows the field's value again.
    void Reset();

    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnActiveChange;
    TObject* Control = nullptr; // passed as Sender to the events

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField* Field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* Field) override;
    void UpdateData() override;

private:
    void UpdateField();
    TObject* Sender() { return Control ? Control : this; }

    QString m_fieldName;
    TField* m_field = nullptr;
    bool m_modified = false;
};

} // namespace vyn
