#include "platform/dbctrls/DBNavigator.h"

#include "platform/core/TypInfo.h"
#include "platform/db/DataSet.h"
#include "platform/ui/Consts.h"
#include "platform/ui/Dialogs.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QWidget>

namespace vyn {

// Hears the dataset's state and position.
class TNavDataLink : public TDataLink
{
public:
    explicit TNavDataLink(TDBNavigator* nav) : m_nav(nav) {}

protected:
    void ActiveChanged() override { m_nav->UpdateButtons(); }
    void DataSetChanged() override { m_nav->UpdateButtons(); }
    void DataSetScrolled(int) override { m_nav->UpdateButtons(); }
    void EditingChanged() override { m_nav->UpdateButtons(); }
    void RecordChanged(TField*) override { m_nav->UpdateButtons(); }

private:
    TDBNavigator* m_nav;
};

namespace {

// The buttons' hints; the platform's own texts.
const char* const Hints[] = {"First record",  "Prior record",  "Next record", "Last record",
                             "Insert record", "Delete record", "Edit record", "Post edit",
                             "Cancel edit",   "Refresh data"};

// Small drawn pictures, so the bar needs no image files.
QIcon Picture(TNavigateBtn b)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0));
    auto triangle = [&](bool left, int x) {
        QPainterPath path;
        if (left) {
            path.moveTo(x + 6, 3);
            path.lineTo(x, 8);
            path.lineTo(x + 6, 13);
        } else {
            path.moveTo(x, 3);
            path.lineTo(x + 6, 8);
            path.lineTo(x, 13);
        }
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (b) {
    case nbFirst:
        p.drawRect(3, 3, 2, 10);
        triangle(true, 6);
        break;
    case nbPrior:
        triangle(true, 5);
        break;
    case nbNext:
        triangle(false, 5);
        break;
    case nbLast:
        triangle(false, 4);
        p.drawRect(11, 3, 2, 10);
        break;
    case nbInsert:
        p.drawRect(7, 3, 2, 10);
        p.drawRect(3, 7, 10, 2);
        break;
    case nbDelete:
        p.drawRect(3, 7, 10, 2);
        break;
    case nbEdit:
        p.setBrush(QColor(0, 0, 0));
        p.drawPolygon(QPolygonF(
            {QPointF(3, 13), QPointF(4, 10), QPointF(11, 3), QPointF(13, 5), QPointF(6, 12)}));
        break;
    case nbPost:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 128, 0), 2));
        p.drawPolyline(QPolygonF({QPointF(3, 8), QPointF(6, 12), QPointF(13, 4)}));
        break;
    case nbCancel:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(160, 0, 0), 2));
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    case nbRefresh:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 0, 0), 2));
        p.drawArc(3, 3, 10, 10, 90 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0));
        p.drawPolygon(QPolygonF({QPointF(8, 1), QPointF(12, 3), QPointF(8, 6)}));
        break;
    }
    return QIcon(pm);
}

} // namespace

const TClassInfo& TDBNavigator::StaticClassInfo()
{
    using C = TDBNavigator;
    static const TClassInfo info =
        TClassBuilder<C>("TDBNavigator")
            .Property("DataSource", &C::DataSource, &C::SetDataSource)
            .Property("VisibleButtons", &C::VisibleButtons, &C::SetVisibleButtons)
            .Property("ConfirmDelete", &C::ConfirmDelete, &C::SetConfirmDelete)
            .Member("BeforeAction", &C::BeforeAction)
            .Member("OnClick", &C::OnClick)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TDBNavigator)

TDBNavigator::TDBNavigator(TComponent* AOwner)
    : TWinControl(AOwner, new QWidget),
      m_link(std::make_unique<TNavDataLink>(this)), m_visible{nbFirst,  nbPrior,  nbNext, nbLast,
                                                              nbInsert, nbDelete, nbEdit, nbPost,
                                                              nbCancel, nbRefresh}
{
    auto* layout = new QHBoxLayout(Widget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i <= int(nbRefresh); ++i) {
        auto* b = new QToolButton(Widget());
        const auto which = TNavigateBtn(i);
        b->setIcon(Picture(which));
        b->setToolTip(QString::fromLatin1(Hints[i]));
        b->setObjectName(EnumInfo<TNavigateBtn>().Name(i));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        QObject::connect(b, &QToolButton::clicked, b,
                         [this, which] { GuardEvent(this, [&] { BtnClick(which); }); });
        layout->addWidget(b);
        m_buttons.push_back(b);
    }
    SetBounds(0, 0, 240, 25);
    Arrange();
    UpdateButtons();
}

TDBNavigator::~TDBNavigator()
{
    m_link->SetDataSource(nullptr);
}

TDataSource* TDBNavigator::DataSource() const
{
    return m_link->DataSource();
}

void TDBNavigator::SetDataSource(TDataSource* Value)
{
    ChangeReference(DataSource(), Value);
    m_link->SetDataSource(Value);
    UpdateButtons();
}

void TDBNavigator::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == DataSource())
        SetDataSource(nullptr);
}

void TDBNavigator::SetVisibleButtons(TButtonSet Value)
{
    m_visible = Value;
    Arrange();
}

void TDBNavigator::Arrange()
{
    for (int i = 0; i <= int(nbRefresh); ++i)
        m_buttons[size_t(i)]->setVisible(m_visible.Contains(TNavigateBtn(i)));
}

void TDBNavigator::ApplyBounds()
{
    TWinControl::ApplyBounds();
}

bool TDBNavigator::ButtonEnabled(TNavigateBtn Index) const
{
    TDataSet* ds = m_link->DataSet();
    if (!Enabled() || !ds || !m_link->Active())
        return false;
    const bool editing = ds->State() == dsEdit || ds->State() == dsInsert;
    const bool canModify = ds->CanModify();
    switch (Index) {
    case nbFirst:
    case nbPrior:
        return !ds->Bof();
    case nbNext:
    case nbLast:
        return !ds->Eof();
    case nbInsert:
        return canModify;
    case nbDelete:
        return canModify && !(ds->Bof() && ds->Eof());
    case nbEdit:
        return canModify && !editing && !ds->IsEmpty();
    case nbPost:
    case nbCancel:
        return canModify && editing;
    case nbRefresh:
        return !editing;
    }
    return false;
}

void TDBNavigator::UpdateButtons()
{
    for (int i = 0; i <= int(nbRefresh); ++i)
        m_buttons[size_t(i)]->setEnabled(ButtonEnabled(TNavigateBtn(i)));
}

void TDBNavigator::BtnClick(TNavigateBtn Index)
{
    TDataSet* ds = m_link->DataSet();
    if (!ds || !m_link->Active())
        return;
    BeforeAction(this, Index);
    switch (Index) {
    case nbFirst:
        ds->First();
        break;
    case nbPrior:
        ds->Prior();
        break;
    case nbNext:
        ds->Next();
        break;
    case nbLast:
        ds->Last();
        break;
    case nbInsert:
        ds->Insert();
        break;
    case nbDelete:
        if (!m_confirmDelete || MessageDlg(PlatformText(TPlatformText::DeleteRecordQuestion),
                                           mtConfirmation, {mbOK, mbCancel}, 0) == mrOk)
            ds->Delete();
        break;
    case nbEdit:
        ds->Edit();
        break;
    case nbPost:
        ds->Post();
        break;
    case nbCancel:
        ds->Cancel();
        break;
    case nbRefresh:
        ds->Refresh();
        break;
    }
    OnClick(this, Index);
}

} // namespace vyn
