#pragma once

// The data-aware grid: a window of records as rows, the visible fields as columns.

#include "platform/db/DataSource.h"
#include "platform/ui/Controls.h"

#include <memory>

class QTableView;

namespace vyn {

class TField;
class TGridDataLink;
class TGridModel;

VYN_ENUM(TDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize,
         dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete,
         dgCancelOnExit, dgMultiSelect)
using TDBGridOptions = Set<TDBGridOption>;

// Shows the records around the current one, as many as fit; never the whole table. A click
// on a row or the wheel moves the dataset; the current record is marked. Cells edit in place
// unless the grid is read-only.
class TDBGrid : public TWinControl
{
    VYN_CLASS(TDBGrid, TWinControl)
public:
    explicit TDBGrid(TComponent* AOwner);
    ~TDBGrid() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool Value);
    TDBGridOptions Options() const { return m_options; }
    void SetOptions(TDBGridOptions Value);

    // What the grid shows: its columns (the visible fields), its rows (the records in its
    // window) and the row of the current record.
    int ColumnCount() const;
    TField* Columns(int Index) const;
    int RowCount() const;
    int CurrentRow() const;
    QString CellText(int Row, int Column) const;
    QTableView* View() const;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    bool WidgetEvent(QWidget* Watched, QEvent* Event) override;
    void ApplyBounds() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TGridDataLink;
    friend class TGridModel;
    void DataChanged();
    void LayoutChanged();
    void UpdateRowCount();
    void MarkCurrent();
    void MoveToRow(int Row);
    void ApplyOptions();

    std::unique_ptr<TGridDataLink> m_link;
    std::unique_ptr<TGridModel> m_model;
    std::vector<TField*> m_columns;
    TDBGridOptions m_options;
    bool m_readOnly = false;
    bool m_syncing = false;
};

} // namespace vyn
