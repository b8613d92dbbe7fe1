#include "platform/dbctrls/DBGrids.h"

#include "platform/core/TypInfo.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>
#include <QWheelEvent>

namespace vyn {

// Tells the grid what its dataset does.
class TGridDataLink : public TDataLink
{
public:
    explicit TGridDataLink(TDBGrid* grid) : m_grid(grid) {}

protected:
    void ActiveChanged() override { m_grid->LayoutChanged(); }
    void DataSetChanged() override { m_grid->DataChanged(); }
    void DataSetScrolled(int) override { m_grid->DataChanged(); }
    void RecordChanged(TField*) override { m_grid->DataChanged(); }
    void LayoutChanged() override { m_grid->LayoutChanged(); }
    void EditingChanged() override { m_grid->DataChanged(); }

private:
    TDBGrid* m_grid;
};

// The rows are the records of the link's window; reading a cell makes its record current for
// a moment, as the dataset's fields read the current record.
class TGridModel : public QAbstractTableModel
{
public:
    explicit TGridModel(TDBGrid* grid) : m_grid(grid) {}

    void Reset()
    {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : m_grid->RowCount();
    }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : m_grid->ColumnCount();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        TField* f = m_grid->Columns(index.column());
        if (!f)
            return {};
        if (role == Qt::TextAlignmentRole) {
            const Qt::Alignment h = f->Alignment() == taRightJustify ? Qt::AlignRight
                                    : f->Alignment() == taCenter     ? Qt::AlignHCenter
                                                                     : Qt::AlignLeft;
            return QVariant::fromValue(h | Qt::AlignVCenter);
        }
        if (role != Qt::DisplayRole && role != Qt::EditRole)
            return {};
        return m_grid->CellText(index.row(), index.column());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Horizontal) {
            TField* f = m_grid->Columns(section);
            return f ? f->DisplayName() : QString();
        }
        // The indicator: the current record, and whether it is being edited or inserted.
        if (section != m_grid->CurrentRow())
            return QString();
        TDataSet* ds = m_grid->m_link->DataSet();
        if (ds && ds->State() == dsInsert)
            return QStringLiteral("*");
        if (ds && ds->State() == dsEdit)
            return QStringLiteral("I");
        return QStringLiteral("\u25B6");
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        TField* field = m_grid->Columns(index.column());
        if (!m_grid->m_readOnly && m_grid->m_options.Contains(dgEditing) && field &&
            field->CanModify())
            f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::EditRole)
            return false;
        return GuardEvent(m_grid, [&] {
            m_grid->MoveToRow(index.row());
            TField* f = m_grid->Columns(index.column());
            if (!f || !m_grid->m_link->Edit())
                return;
            f->SetText(value.toString());
        });
    }

private:
    TDBGrid* m_grid;
};

const TClassInfo& TDBGrid::StaticClassInfo()
{
    using C = TDBGrid;
    static const TClassInfo info = TClassBuilder<C>("TDBGrid")
                                       .Property("DataSource", &C::DataSource, &C::SetDataSource)
                                       .Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly)
                                       .Property("Options", &C::Options, &C::SetOptions)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TDBGrid)

TDBGrid::TDBGrid(TComponent* AOwner)
    : TWinControl(AOwner, new QTableView), m_link(std::make_unique<TGridDataLink>(this)),
      m_model(std::make_unique<TGridModel>(this)), m_options{dgEditing,     dgTitles,
                                                             dgIndicator,   dgColumnResize,
                                                             dgColLines,    dgRowLines,
                                                             dgTabs,        dgConfirmDelete,
                                                             dgCancelOnExit}
{
    QTableView* view = View();
    view->setModel(m_model.get());
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Rows as high as a line of text, as grids of such forms have them.
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->setMinimumSectionSize(view->fontMetrics().height() + 2);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    WatchWidget(view->viewport());
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, view,
                     [this](const QModelIndex& current, const QModelIndex&) {
                         if (!m_syncing && current.isValid())
                             GuardEvent(this, [&] { MoveToRow(current.row()); });
                     });
    SetTabStop(true);
    SetBounds(0, 0, 320, 120);
    ApplyOptions();
}

TDBGrid::~TDBGrid()
{
    m_link->SetDataSource(nullptr);
    View()->setModel(nullptr);
}

QTableView* TDBGrid::View() const
{
    return static_cast<QTableView*>(Widget());
}

TDataSource* TDBGrid::DataSource() const
{
    return m_link->DataSource();
}

void TDBGrid::SetDataSource(TDataSource* Value)
{
    ChangeReference(DataSource(), Value);
    m_link->SetDataSource(Value);
    LayoutChanged();
}

void TDBGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == DataSource())
        SetDataSource(nullptr);
    if (Operation == opRemove)
        for (TField* f : m_columns)
            if (f == AComponent) {
                LayoutChanged();
                break;
            }
}

void TDBGrid::SetReadOnly(bool Value)
{
    m_readOnly = Value;
    m_model->Reset();
    MarkCurrent();
}

void TDBGrid::SetOptions(TDBGridOptions Value)
{
    m_options = Value;
    ApplyOptions();
}

void TDBGrid::ApplyOptions()
{
    QTableView* view = View();
    view->horizontalHeader()->setVisible(m_options.Contains(dgTitles));
    view->verticalHeader()->setVisible(m_options.Contains(dgIndicator));
    view->setShowGrid(m_options.Contains(dgColLines) || m_options.Contains(dgRowLines));
    view->setSelectionBehavior(m_options.Contains(dgRowSelect) ? QAbstractItemView::SelectRows
                                                               : QAbstractItemView::SelectItems);
    view->horizontalHeader()->setSectionResizeMode(
        m_options.Contains(dgColumnResize) ? QHeaderView::Interactive : QHeaderView::Fixed);
}

int TDBGrid::ColumnCount() const
{
    return int(m_columns.size());
}

TField* TDBGrid::Columns(int Index) const
{
    return Index >= 0 && Index < ColumnCount() ? m_columns[size_t(Index)] : nullptr;
}

int TDBGrid::RowCount() const
{
    return m_link->Active() ? m_link->RecordCount() : 0;
}

int TDBGrid::CurrentRow() const
{
    return m_link->Active() && RowCount() > 0 ? m_link->ActiveRecord() : -1;
}

QString TDBGrid::CellText(int Row, int Column) const
{
    TField* f = Columns(Column);
    if (!f || Row < 0 || Row >= RowCount())
        return QString();
    const int saved = m_link->ActiveRecord();
    m_link->SetActiveRecord(Row);
    const QString text = f->DisplayText();
    m_link->SetActiveRecord(saved);
    return text;
}

void TDBGrid::MoveToRow(int Row)
{
    TDataSet* ds = m_link->DataSet();
    if (!ds || !m_link->Active() || Row < 0 || Row >= RowCount())
        return;
    const int distance = Row - m_link->ActiveRecord();
    if (distance != 0)
        ds->MoveBy(distance);
}

void TDBGrid::LayoutChanged()
{
    m_columns.clear();
    if (TDataSet* ds = m_link->DataSet(); ds && m_link->Active())
        for (int i = 0; i < ds->FieldCount(); ++i)
            if (ds->Fields(i)->Visible())
                m_columns.push_back(ds->Fields(i));
    m_model->Reset();
    QTableView* view = View();
    const int charWidth = view->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < ColumnCount(); ++c) {
        const int chars = std::max(m_columns[size_t(c)]->DisplayWidth(),
                                   int(m_columns[size_t(c)]->DisplayName().size()));
        view->setColumnWidth(c, chars * charWidth + 8);
    }
    UpdateRowCount();
    MarkCurrent();
}

void TDBGrid::DataChanged()
{
    m_model->Reset();
    MarkCurrent();
}

void TDBGrid::MarkCurrent()
{
    QTableView* view = View();
    m_syncing = true;
    struct Done
    {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_syncing};
    const int row = CurrentRow();
    if (row < 0) {
        view->clearSelection();
        return;
    }
    const int column = std::max(0, view->currentIndex().column());
    const QModelIndex index = m_model->index(row, std::min(column, std::max(0, ColumnCount() - 1)));
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                       (m_options.Contains(dgRowSelect)
                                                            ? QItemSelectionModel::Rows
                                                            : QItemSelectionModel::NoUpdate));
}

void TDBGrid::UpdateRowCount()
{
    QTableView* view = View();
    const int rowHeight = std::max(1, view->verticalHeader()->defaultSectionSize());
    const int header =
        view->horizontalHeader()->isVisible() ? view->horizontalHeader()->sizeHint().height() : 0;
    const int rows = std::max(1, (Height() - header - 2 * view->frameWidth()) / rowHeight);
    m_link->SetBufferCount(rows);
}

void TDBGrid::ApplyBounds()
{
    TWinControl::ApplyBounds();
    UpdateRowCount();
    m_model->Reset();
    MarkCurrent();
}

void TDBGrid::KeyDown(Word& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    TDataSet* ds = m_link->DataSet();
    if (!ds || !m_link->Active() || Key == 0)
        return;
    const int page = std::max(1, m_link->BufferCount());
    switch (Key) {
    case VK_UP:
        ds->Prior();
        break;
    case VK_DOWN:
        ds->Next();
        break;
    case VK_PRIOR:
        ds->MoveBy(-page);
        break;
    case VK_NEXT:
        ds->MoveBy(page);
        break;
    case VK_HOME:
        if (!Shift.Contains(ssCtrl))
            return;
        ds->First();
        break;
    case VK_END:
        if (!Shift.Contains(ssCtrl))
            return;
        ds->Last();
        break;
    case VK_INSERT:
        if (m_readOnly || !m_options.Contains(dgEditing))
            return;
        ds->Insert();
        break;
    case VK_ESCAPE:
        if (ds->State() != dsEdit && ds->State() != dsInsert)
            return;
        ds->Cancel();
        break;
    default:
        return;
    }
    Key = 0;
}

bool TDBGrid::WidgetEvent(QWidget* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(Event);
        const int steps = wheel->angleDelta().y() / 120;
        if (TDataSet* ds = m_link->DataSet(); ds && m_link->Active() && steps != 0)
            GuardEvent(this, [&] { ds->MoveBy(-steps); });
        return true;
    }
    if (Event->type() == QEvent::Resize)
        UpdateRowCount();
    return TWinControl::WidgetEvent(Watched, Event);
}

} // namespace vyn
