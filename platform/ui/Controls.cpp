#include "platform/ui/Controls.h"

#include "platform/core/Exception.h"
#include "platform/core/ScopeGuard.h"
#include "platform/core/TypInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>

namespace vyn {

const TIdentMap& ModalResultIdents()
{
    static const TIdentMap idents = {
        {QStringLiteral("mrNone"), mrNone},         {QStringLiteral("mrOk"), mrOk},
        {QStringLiteral("mrCancel"), mrCancel},     {QStringLiteral("mrAbort"), mrAbort},
        {QStringLiteral("mrRetry"), mrRetry},       {QStringLiteral("mrIgnore"), mrIgnore},
        {QStringLiteral("mrYes"), mrYes},           {QStringLiteral("mrNo"), mrNo},
        {QStringLiteral("mrAll"), mrAll},           {QStringLiteral("mrNoToAll"), mrNoToAll},
        {QStringLiteral("mrYesToAll"), mrYesToAll},
    };
    return idents;
}

void HandleEventException(TObject* Sender, const std::exception& E)
{
    // Showing the error may itself fail (a test's driver with no answer left): it is logged,
    // never thrown into Qt.
    try {
        if (Application) {
            Application->HandleException(Sender, E);
            return;
        }
    } catch (const std::exception& again) {
        qWarning("vyn: error while showing an error: %s", again.what());
    }
    if (!dynamic_cast<const EAbort*>(&E))
        qWarning("vyn: unhandled error in an event handler: %s", E.what());
}

namespace {

QHash<const QWidget*, TControl*>& ControlMap()
{
    static QHash<const QWidget*, TControl*> map;
    return map;
}

constexpr Qt::FocusPolicy WithoutClickFocus(Qt::FocusPolicy p)
{
    return Qt::FocusPolicy(p & ~Qt::ClickFocus);
}

} // namespace

// Hands a watched widget's events to its control.
class TControlFilter : public QObject
{
public:
    explicit TControlFilter(TControl* Control) : m_control(Control) {}
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        return Watched->isWidgetType() &&
               m_control->FilterEvent(static_cast<QWidget*>(Watched), Event);
    }

private:
    TControl* m_control;
};

// ---------------------------------------------------------------------------------------------
// TControl

const TClassInfo& TControl::StaticClassInfo()
{
    using C = TControl;
    static const TClassInfo info =
        TClassBuilder<C>("TControl")
            .Property("Left", &C::Left, &C::SetLeft)
            .Property("Top", &C::Top, &C::SetTop)
            .Property("Width", &C::Width, &C::SetWidth)
            .Property("Height", &C::Height, &C::SetHeight)
            .Property("Align", &C::Align, &C::SetAlign)
            .Property("Color", &C::Color, &C::SetColor)
            .Idents(&ColorIdents())
            .Property("Cursor", &C::Cursor, &C::SetCursor)
            .Idents(&CursorIdents())
            .Property("DragMode", &C::DragMode, &C::SetDragMode)
            .Property("Enabled", &C::Enabled, &C::SetEnabled)
            .Property("Font", &C::Font, &C::SetFont)
            .Property("Hint", &C::Hint, &C::SetHint)
            .Property("ParentColor", &C::ParentColor, &C::SetParentColor)
            .Property("ParentFont", &C::ParentFont, &C::SetParentFont)
            .Property("ParentShowHint", &C::ParentShowHint, &C::SetParentShowHint)
            .Property("PopupMenu", &C::PopupMenu, &C::SetPopupMenu)
            .Property("ShowHint", &C::ShowHint, &C::SetShowHint)
            .Property("Visible", &C::Visible, &C::SetVisible)
            .Member("OnClick", &C::OnClick)
            .Member("OnMouseDown", &C::OnMouseDown)
            .Member("OnMouseUp", &C::OnMouseUp)
            .Member("OnEndDrag", &C::OnEndDrag)
            .Build();
    return info;
}

TControl::TControl(TComponent* AOwner, QWidget* AWidget)
    : TComponent(AOwner), m_widget(AWidget), m_font(std::make_unique<TFont>())
{
    ControlMap().insert(m_widget, this);
    // The control under the mouse gets the click; it never travels on to the parent control.
    m_widget->setAttribute(Qt::WA_NoMousePropagation);
    m_filter = std::make_unique<TControlFilter>(this);
    m_widget->installEventFilter(m_filter.get());
    m_font->OnChange = [this](TObject*) { FontObjectChanged(); };
    m_width = m_widget->width();
    m_height = m_widget->height();
    TControl::ApplyFont();
}

TControl::~TControl()
{
    Destroying();
    if (Screen)
        Screen->ControlDestroyed(this);
    if (TCustomForm* form = GetParentForm(this); form && form != this)
        form->ControlDestroyed(this);
    if (m_parent)
        m_parent->RemoveControl(this);
    ControlMap().remove(m_widget);
    m_filter.reset();
    delete m_widget;
}

TControl* TControl::FindControl(const QWidget* Widget)
{
    const auto& map = ControlMap();
    for (const QWidget* w = Widget; w; w = w->parentWidget())
        if (TControl* c = map.value(w))
            return c;
    return nullptr;
}

void TControl::WatchWidget(QWidget* Inner)
{
    if (Inner && Inner != m_widget) {
        Inner->removeEventFilter(m_filter.get());
        Inner->installEventFilter(m_filter.get());
    }
}

void TControl::SetParent(TWinControl* AParent)
{
    if (m_parent == AParent)
        return;
    for (TWinControl* p = AParent; p; p = p->Parent())
        if (p == this)
            throw EInvalidOperation(
                QStringLiteral("Control '%1' cannot be a parent of itself").arg(Name()));
    if (AParent && dynamic_cast<TCustomForm*>(this))
        throw EInvalidOperation(QStringLiteral("A form cannot be placed in another control"));
    if (m_parent)
        m_parent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == m_left && ATop == m_top && AWidth == m_width && AHeight == m_height)
        return;
    m_left = ALeft;
    m_top = ATop;
    m_width = AWidth;
    m_height = AHeight;
    ApplyBounds();
    if (m_parent && m_align != alNone)
        m_parent->Realign();
}

void TControl::ApplyBounds()
{
    m_widget->setGeometry(m_left, m_top, m_width, m_height);
}

void TControl::SetVisible(bool Value)
{
    if (m_visible == Value)
        return;
    m_visible = Value;
    ApplyVisible();
    if (m_parent && m_align != alNone)
        m_parent->Realign();
}

void TControl::ApplyVisible()
{
    // A control without a parent never becomes a window of its own.
    m_widget->setVisible(m_visible && m_parent);
}

void TControl::SetEnabled(bool Value)
{
    m_enabled = Value;
    m_widget->setEnabled(Value);
}

void TControl::SetHint(const QString& Value)
{
    m_hint = Value;
    ApplyHint();
}

void TControl::SetShowHint(bool Value)
{
    m_showHint = Value;
    m_parentShowHint = false;
    ApplyHint();
    if (auto* self = dynamic_cast<TWinControl*>(this))
        for (TControl* c : self->m_controls)
            c->ParentShowHintChanged();
}

void TControl::SetParentShowHint(bool Value)
{
    m_parentShowHint = Value;
    if (Value)
        ParentShowHintChanged();
}

void TControl::ParentShowHintChanged()
{
    if (m_parentShowHint && m_parent) {
        m_showHint = m_parent->m_showHint;
        ApplyHint();
    }
}

void TControl::ApplyHint()
{
    // "short|long": the short part is the tooltip.
    m_widget->setToolTip(m_showHint ? m_hint.section(QLatin1Char('|'), 0, 0) : QString());
}

void TControl::SetCursor(TCursor Value)
{
    m_cursor = Value;
    if (Value == crDefault)
        m_widget->unsetCursor();
    else
        m_widget->setCursor(QCursor(CursorToQt(Value)));
}

void TControl::SetColor(TColor Value)
{
    m_parentColor = false;
    m_color = Value;
    ApplyColor();
}

void TControl::SetParentColor(bool Value)
{
    m_parentColor = Value;
    if (Value)
        ParentColorChanged();
    else
        ApplyColor();
}

void TControl::ParentColorChanged()
{
    if (m_parentColor && m_parent) {
        m_color = m_parent->m_color;
        ApplyColor();
    }
}

void TControl::ApplyColor()
{
    const QPalette::ColorRole role = ColorRole();
    if (role == QPalette::NoRole)
        return;
    QPalette p = m_widget->palette();
    p.setColor(role, ColorToQColor(m_color));
    m_widget->setPalette(p);
    // A control painted in its parent's colour lets the parent show through.
    if (role == QPalette::Window)
        m_widget->setAutoFillBackground(!m_parentColor);
}

void TControl::SetParentFont(bool Value)
{
    m_parentFont = Value;
    if (Value)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!m_parentFont || !m_parent)
        return;
    m_copyingParentFont = true;
    auto done = Finally([this] { m_copyingParentFont = false; });
    m_font->Assign(m_parent->Font());
}

void TControl::FontObjectChanged()
{
    if (!m_copyingParentFont)
        m_parentFont = false;
    ApplyFont();
}

void TControl::ApplyFont()
{
    m_widget->setFont(m_font->ToQFont());
    QPalette p = m_widget->palette();
    const QColor c = m_font->QtColor();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, c);
    m_widget->setPalette(p);
}

void TControl::SetAlign(TAlign Value)
{
    if (m_align == Value)
        return;
    m_align = Value;
    if (m_parent)
        m_parent->Realign();
}

void TControl::SetText(const QString& Value)
{
    if (m_text == Value)
        return;
    m_text = Value;
    ApplyText();
    TextChanged();
}

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    m_dragThreshold = Threshold >= 0 ? Threshold : QApplication::startDragDistance();
    m_drag = Immediate ? DragState::Dragging : DragState::Pending;
}

void TControl::EndDrag(bool Drop)
{
    if (m_drag == DragState::None)
        return;
    const bool wasDragging = m_drag == DragState::Dragging;
    m_drag = DragState::None;
    if (wasDragging)
        OnEndDrag(this, nullptr, Drop ? m_pressPos.x() : 0, Drop ? m_pressPos.y() : 0);
}

void TControl::Invalidate()
{
    m_widget->update();
}

void TControl::Repaint()
{
    m_widget->repaint();
}

void TControl::BringToFront()
{
    m_widget->raise();
}

void TControl::Loaded()
{
    TComponent::Loaded();
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (Value == m_popupMenu)
        return;
    // A shared menu with no owner tells the control of its end too.
    ChangeReference(m_popupMenu, Value);
    m_popupMenu = Value;
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_popupMenu)
        m_popupMenu = nullptr;
}

bool TControl::ShowPopupMenu(QPoint ScreenPos)
{
    TPopupMenu* menu = m_popupMenu;
    if (!menu || !menu->AutoPopup())
        return false;
    menu->SetPopupComponent(this);
    menu->Popup(ScreenPos.x(), ScreenPos.y());
    return true;
}

bool TControl::ContextMenuEvent(QContextMenuEvent* Event)
{
    if (!m_popupMenu || !m_popupMenu->AutoPopup())
        return false; // the widget's own menu, or a parent's
    if (Event->reason() == QContextMenuEvent::Keyboard) {
        // The menu key reached the focused control's key pipeline first, which opened it.
        if (auto* self = dynamic_cast<TWinControl*>(this); self && self->Focused())
            return true;
        return ShowPopupMenu(m_widget->mapToGlobal(m_widget->rect().center()));
    }
    return ShowPopupMenu(Event->globalPos());
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage&) {}

void TControl::Click()
{
    OnClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::WMLButtonDown(TWMMouse& Message)
{
    if (m_dragMode == dmAutomatic)
        BeginDrag(false);
    MouseDown(mbLeft, Message.Keys, Message.XPos, Message.YPos);
    Message.DefaultHandling = true;
}

bool TControl::FilterEvent(QWidget* Watched, QEvent* Event)
{
    if (ComponentState().Contains(csDestroying))
        return false;
    bool consumed = false;
    // A handler that fails has had its say: the event goes no further.
    if (!GuardEvent(this, [&] { consumed = WidgetEvent(Watched, Event); }))
        consumed = true;
    return consumed;
}

bool TControl::WidgetEvent(QWidget* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return MouseEvent(Watched, static_cast<QMouseEvent*>(Event));
    case QEvent::ContextMenu:
        return ContextMenuEvent(static_cast<QContextMenuEvent*>(Event));
    default:
        return false;
    }
}

bool TControl::MouseEvent(QWidget* Watched, QMouseEvent* Event)
{
    if (!m_enabled)
        return false;
    QPoint pos = Event->position().toPoint();
    if (Watched != m_widget)
        pos = Watched->mapTo(m_widget, pos);
    TShiftState shift = ShiftStateOf(Event->modifiers());
    if (Event->buttons() & Qt::LeftButton)
        shift.Include(ssLeft);
    if (Event->buttons() & Qt::RightButton)
        shift.Include(ssRight);
    if (Event->buttons() & Qt::MiddleButton)
        shift.Include(ssMiddle);
    const TMouseButton button = Event->button() == Qt::RightButton    ? mbRight
                                : Event->button() == Qt::MiddleButton ? mbMiddle
                                                                      : mbLeft;
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (Event->button() != Qt::LeftButton) {
            MouseDown(button, shift, pos.x(), pos.y());
            return false;
        }
        m_pressPos = pos;
        m_pressed = true;
        TWMMouse message{pos.x(), pos.y(), shift + ssLeft, false};
        WMLButtonDown(message);
        if (!message.DefaultHandling)
            return true;
        if (auto* self = dynamic_cast<TWinControl*>(this);
            self && self->m_clickFocus && !self->Focused() && self->CanFocus())
            self->SetFocus();
        return false;
    }
    case QEvent::MouseButtonRelease: {
        if (Event->button() == Qt::LeftButton) {
            if (m_drag == DragState::Pending)
                m_drag = DragState::None;
            else if (m_drag == DragState::Dragging)
                EndDrag(true);
            const bool click = m_pressed && m_clicksOnRelease && m_widget->rect().contains(pos);
            m_pressed = false;
            if (click)
                Click();
        }
        MouseUp(button, shift, pos.x(), pos.y());
        return false;
    }
    case QEvent::MouseMove:
        if (m_drag == DragState::Pending && (Event->buttons() & Qt::LeftButton) &&
            (pos - m_pressPos).manhattanLength() >= m_dragThreshold)
            m_drag = DragState::Dragging;
        return false;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// TWinControl

const TClassInfo& TWinControl::StaticClassInfo()
{
    using C = TWinControl;
    static const TClassInfo info = TClassBuilder<C>("TWinControl")
                                       .Property("TabOrder", &C::TabOrder, &C::SetTabOrder)
                                       .Property("TabStop", &C::TabStop, &C::SetTabStop)
                                       .Member("OnKeyDown", &C::OnKeyDown)
                                       .Member("OnKeyPress", &C::OnKeyPress)
                                       .Member("OnEnter", &C::OnEnter)
                                       .Member("OnExit", &C::OnExit)
                                       .Build();
    return info;
}

TWinControl::TWinControl(TComponent* AOwner, QWidget* AWidget) : TControl(AOwner, AWidget)
{
    UpdateFocusPolicy();
}

TWinControl::~TWinControl()
{
    Destroying();
    // Child controls go first, while this control's widget still holds theirs.
    while (!m_controls.empty())
        delete m_controls.back();
}

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        throw EListError(QStringLiteral("Control index out of bounds (%1)").arg(Index));
    return m_controls[size_t(Index)];
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

void TWinControl::InsertControl(TControl* AControl)
{
    if (!AControl || AControl->m_parent == this)
        return;
    if (AControl->m_parent)
        AControl->m_parent->RemoveControl(AControl);
    m_controls.push_back(AControl);
    AControl->m_parent = this;
    AControl->m_widget->setParent(m_widget);
    if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
        m_tabList.push_back(wc);
        if (!wc->Loading())
            wc->m_tabOrder = int(m_tabList.size()) - 1;
    }
    AControl->ParentFontChanged();
    AControl->ParentColorChanged();
    AControl->ParentShowHintChanged();
    AControl->ApplyBounds();
    AControl->ApplyVisible();
    if (!Loading()) {
        Realign();
        UpdateTabChain();
    }
}

void TWinControl::RemoveControl(TControl* AControl)
{
    auto it = std::find(m_controls.begin(), m_controls.end(), AControl);
    if (it == m_controls.end())
        return;
    m_controls.erase(it);
    if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
        m_tabList.erase(std::remove(m_tabList.begin(), m_tabList.end(), wc), m_tabList.end());
        for (size_t i = 0; i < m_tabList.size(); ++i)
            m_tabList[i]->m_tabOrder = int(i);
    }
    AControl->m_parent = nullptr;
    if (!AControl->ComponentState().Contains(csDestroying))
        AControl->m_widget->setParent(nullptr);
    if (!ComponentState().Contains(csDestroying))
        Realign();
}

void TWinControl::AdoptChild(TComponent* Child)
{
    if (auto* control = dynamic_cast<TControl*>(Child))
        control->SetParent(this);
}

void TWinControl::SetTabOrder(int Value)
{
    if (Loading() || !Parent()) {
        m_tabOrder = Value;
        return;
    }
    auto& list = Parent()->m_tabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    const int at = std::clamp(Value, 0, int(list.size()));
    list.insert(list.begin() + at, this);
    for (size_t i = 0; i < list.size(); ++i)
        list[i]->m_tabOrder = int(i);
    UpdateTabChain();
}

void TWinControl::SetTabStop(bool Value)
{
    m_tabStop = Value;
    UpdateFocusPolicy();
}

void TWinControl::UpdateFocusPolicy()
{
    QWidget* w = Widget();
    for (QWidget* inner : w->findChildren<QWidget*>()) {
        // A widget whose focus goes to a proxy (an editor's viewport) would pass its policy on
        // to that proxy and take the control out of the Tab chain.
        if (inner->focusProxy())
            continue;
        if (!FindControl(inner) || FindControl(inner) == this)
            inner->setFocusPolicy(WithoutClickFocus(inner->focusPolicy()));
    }
    w->setFocusPolicy(m_tabStop ? Qt::TabFocus : Qt::NoFocus);
}

void TWinControl::SortTabList()
{
    std::stable_sort(m_tabList.begin(), m_tabList.end(), [](TWinControl* a, TWinControl* b) {
        const int ka = a->m_tabOrder < 0 ? INT_MAX : a->m_tabOrder;
        const int kb = b->m_tabOrder < 0 ? INT_MAX : b->m_tabOrder;
        return ka < kb;
    });
    for (size_t i = 0; i < m_tabList.size(); ++i)
        m_tabList[i]->m_tabOrder = int(i);
}

TWinControl* TWinControl::TopParent()
{
    TWinControl* top = this;
    while (top->Parent())
        top = top->Parent();
    return top;
}

void TWinControl::CollectTabOrder(std::vector<TWinControl*>& Out) const
{
    for (TWinControl* c : m_tabList) {
        Out.push_back(c);
        c->CollectTabOrder(Out);
    }
}

void TWinControl::UpdateTabChain()
{
    TWinControl* top = TopParent();
    if (top->Loading())
        return;
    std::vector<TWinControl*> order;
    top->CollectTabOrder(order);
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->Widget(), order[i]->Widget());
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    SortTabList();
    UpdateTabChain();
    Realign();
}

bool TWinControl::CanFocus() const
{
    for (const TWinControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

bool TWinControl::Focused() const
{
    const QWidget* f = QApplication::focusWidget();
    return f && (f == Widget() || Widget()->isAncestorOf(f));
}

void TWinControl::SetFocus()
{
    if (TCustomForm* form = GetParentForm(this); form && form != this) {
        form->FocusControl(this);
        return;
    }
    if (!CanFocus())
        throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
    Widget()->setFocus(Qt::OtherFocusReason);
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward,
                                          bool CheckTabStop) const
{
    std::vector<TWinControl*> order;
    CollectTabOrder(order);
    if (order.empty())
        return nullptr;
    const int n = int(order.size());
    auto it = std::find(order.begin(), order.end(), CurControl);
    int start = it == order.end() ? (GoForward ? n - 1 : 0) : int(it - order.begin());
    for (int step = 1; step <= n; ++step) {
        const int i = ((GoForward ? start + step : start - step) % n + n) % n;
        TWinControl* c = order[size_t(i)];
        if (c == CurControl)
            continue;
        if ((!CheckTabStop || c->TabStop()) && c->CanFocus() && c->m_clickFocus)
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop))
        next->SetFocus();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool resized = std::max(AWidth, 0) != Width() || std::max(AHeight, 0) != Height();
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized)
        Realign();
}

void TWinControl::Realign()
{
    if (m_aligning || Loading() || ComponentState().Contains(csDestroying))
        return;
    m_aligning = true;
    auto done = Finally([this] { m_aligning = false; });
    int l = 0, t = 0, r = ClientWidth(), b = ClientHeight();
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : m_controls) {
            if (c->Align() != a || !c->Visible())
                continue;
            switch (a) {
            case alTop:
                c->SetBounds(l, t, r - l, c->Height());
                t += c->Height();
                break;
            case alBottom:
                c->SetBounds(l, b - c->Height(), r - l, c->Height());
                b -= c->Height();
                break;
            case alLeft:
                c->SetBounds(l, t, c->Width(), b - t);
                l += c->Width();
                break;
            case alRight:
                c->SetBounds(r - c->Width(), t, c->Width(), b - t);
                r -= c->Width();
                break;
            case alClient:
                c->SetBounds(l, t, r - l, b - t);
                break;
            default:
                break;
            }
        }
    }
}

void TWinControl::ApplyFont()
{
    TControl::ApplyFont();
    for (TControl* c : m_controls)
        c->ParentFontChanged();
}

void TWinControl::ApplyColor()
{
    TControl::ApplyColor();
    for (TControl* c : m_controls)
        c->ParentColorChanged();
}

void TWinControl::ParentShowHintChanged()
{
    TControl::ParentShowHintChanged();
    if (ParentShowHint())
        for (TControl* c : m_controls)
            c->ParentShowHintChanged();
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(QChar& Key)
{
    OnKeyPress(this, Key);
}

bool TWinControl::WantsKey(Word) const
{
    return false;
}

void TWinControl::DoEnter()
{
    OnEnter(this);
}

void TWinControl::DoExit()
{
    OnExit(this);
}

bool TWinControl::WidgetEvent(QWidget* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::KeyPress:
        return KeyEvent(Watched, static_cast<QKeyEvent*>(Event));
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // Switching windows or opening a popup is no move of the focus between controls.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(Event)->reason();
        if (Watched != Widget() || reason == Qt::ActiveWindowFocusReason ||
            reason == Qt::PopupFocusReason)
            return false;
        if (Event->type() == QEvent::FocusIn)
            DoEnter();
        else
            DoExit();
        return false;
    }
    default:
        return TControl::WidgetEvent(Watched, Event);
    }
}

void TWinControl::WndProc(TMessage& Message)
{
    if (Message.Msg != WM_KEYDOWN) {
        TControl::WndProc(Message);
        return;
    }
    const TQtKey k = QtKeyOf(Word(Message.WParam), ShiftStateOf(QApplication::keyboardModifiers()));
    if (k.Key == 0)
        return;
    QKeyEvent event(QEvent::KeyPress, k.Key, k.Modifiers, k.Text);
    QCoreApplication::sendEvent(Widget(), &event);
}

bool TWinControl::IsMenuKey(Word Key, TShiftState Shift)
{
    for (TControl* c = this; c; c = c->Parent())
        if (c->PopupMenu() && c->PopupMenu()->IsShortCut(Key, Shift))
            return true;
    return false;
}

bool TWinControl::KeyEvent(QWidget* Watched, QKeyEvent* Event)
{
    Word key = VirtualKeyOf(Event);
    const TShiftState shift = ShiftStateOf(Event->modifiers());
    if (key != 0 && IsMenuKey(key, shift)) {
        Event->accept();
        return true;
    }
    bool keyTaken = false;
    if (key != 0) {
        KeyDown(key, shift);
        if (key == 0) {
            keyTaken = true;
        } else if ((key == VK_APPS && shift == TShiftState()) ||
                   (key == VK_F10 && shift == TShiftState{ssShift})) {
            if (ShowPopupMenu(Widget()->mapToGlobal(Widget()->rect().center()))) {
                Event->accept();
                return true;
            }
        } else if ((key == VK_RETURN || key == VK_ESCAPE) && !shift.Contains(ssCtrl) &&
                   !shift.Contains(ssAlt) && !WantsKey(key)) {
            TCustomForm* form = GetParentForm(this);
            if (form && form->DialogKey(key))
                return true;
        }
    }
    const QChar original = KeyCharOf(Event);
    QChar ch = original;
    if (!ch.isNull())
        KeyPress(ch);
    // The key ends with this control: one its widget ignores does not travel on to the
    // parent control (a read-only memo's Enter is no press of the default button).
    Event->accept();
    if (!keyTaken && ch == original) {
        static_cast<QObject*>(Watched)->event(Event);
    } else if (!ch.isNull() && !(keyTaken && ch.unicode() < 32)) {
        // What is left for the widget: the character alone when KeyDown took the key, or the
        // key with the character KeyPress gave.
        QKeyEvent rest(QEvent::KeyPress, keyTaken ? int(Qt::Key_unknown) : Event->key(),
                       keyTaken ? Qt::NoModifier : Event->modifiers(), QString(ch));
        static_cast<QObject*>(Watched)->event(&rest);
    }
    Event->accept();
    return true;
}

} // namespace vyn
