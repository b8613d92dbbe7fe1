#pragma once

// Controls: TControl owns one Qt widget; TWinControl holds child controls, takes the focus and
// is where key events enter.

#include "platform/core/Component.h"
#include "platform/core/Event.h"
#include "platform/core/Types.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Messages.h"

#include <QPalette>
#include <QPoint>
#include <exception>
#include <memory>
#include <vector>

class QWidget;
class QEvent;
class QKeyEvent;
class QMouseEvent;
class QContextMenuEvent;

namespace vyn {

class TWinControl;
class TCustomForm;
class TPopupMenu;

// Modal results: how a modal window was closed.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;
const TIdentMap& ModalResultIdents();

VYN_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)

VYN_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
VYN_ENUM(TDragMode, dmManual, dmAutomatic)
// Border styles of forms; panels use bsNone and bsSingle.
VYN_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;

using TMouseEvent =
    Event<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TKeyEvent = Event<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = Event<void(TObject* Sender, QChar& Key)>;
using TEndDragEvent = Event<void(TObject* Sender, TObject* Target, int X, int Y)>;

// A left-button press as a control's handler sees it, in the control's coordinates. The base
// handler sets DefaultHandling, so the press goes on to the widget's own handling (placing the
// caret, opening a list) and a focusable control takes the focus; an override that does not
// call the inherited handler keeps both from happening.
struct TWMMouse
{
    int XPos = 0;
    int YPos = 0;
    TShiftState Keys;
    bool DefaultHandling = false;
};

// Shows an exception that left an event handler through the application (a message box), or
// writes it to the log when there is no application.
void HandleEventException(TObject* Sender, const std::exception& E);

// Runs an event handler that Qt called: an exception never travels into Qt's event loop.
// Returns false when the handler failed (its exception has been shown).
template <class F> bool GuardEvent(TObject* Sender, F&& Handler)
{
    try {
        Handler();
        return true;
    } catch (const std::exception& e) {
        HandleEventException(Sender, e);
        return false;
    }
}

class TControl : public TComponent
{
    VYN_CLASS(TControl, TComponent)
public:
    ~TControl() override;

    QWidget* Widget() const { return m_widget; }
    // The control a widget belongs to (the widget itself or one of its ancestors), or null.
    static TControl* FindControl(const QWidget* Widget);

    TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return m_left; }
    void SetLeft(int Value) { SetBounds(Value, m_top, m_width, m_height); }
    int Top() const { return m_top; }
    void SetTop(int Value) { SetBounds(m_left, Value, m_width, m_height); }
    int Width() const { return m_width; }
    void SetWidth(int Value) { SetBounds(m_left, m_top, Value, m_height); }
    int Height() const { return m_height; }
    void SetHeight(int Value) { SetBounds(m_left, m_top, m_width, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    virtual int ClientWidth() const { return m_width; }
    virtual int ClientHeight() const { return m_height; }

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool Value);

    QString Hint() const { return m_hint; }
    void SetHint(const QString& Value);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return m_parentShowHint; }
    void SetParentShowHint(bool Value);
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor Value);
    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return m_font.get(); }
    void SetFont(TFont* Value) { m_font->Assign(Value); }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool Value);
    TAlign Align() const { return m_align; }
    void SetAlign(TAlign Value);

    // The text the control shows: its Caption or Text (descendants publish one of them).
    virtual QString GetText() const { return m_text; }
    virtual void SetText(const QString& Value);
    QString Caption() const { return GetText(); }
    void SetCaption(const QString& Value) { SetText(Value); }

    TDragMode DragMode() const { return m_dragMode; }
    void SetDragMode(TDragMode Value) { m_dragMode = Value; }
    // Starts dragging at once, or (Immediate false) once the mouse has moved Threshold pixels
    // with the left button held (the desktop's drag distance when Threshold is negative).
    void BeginDrag(bool Immediate, int Threshold = -1);
    bool Dragging() const { return m_drag == DragState::Dragging; }
    void EndDrag(bool Drop);

    void Invalidate();
    void Repaint();
    void BringToFront();

    // The menu a right click or the menu key opens, and whose shortcuts the control's keys
    // reach first.
    TPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    // Handles a message at once (WndProc) and returns its result.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TEndDragEvent OnEndDrag;

protected:
    // AWidget becomes the control's; it is destroyed with the control.
    TControl(TComponent* AOwner, QWidget* AWidget);

    void Loaded() override;
    bool Loading() const { return ComponentState().Contains(csLoading); }

    virtual void Click();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void WMLButtonDown(TWMMouse& Message);
    // Messages sent or posted to the control. The base answers none (Result 0).
    virtual void WndProc(TMessage& Message);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Opens the control's popup menu at a screen position, for this control; false when it
    // has none that opens by itself.
    bool ShowPopupMenu(QPoint ScreenPos);

    // The one place where the widget's events reach the control (from the widget and the inner
    // widgets passed to WatchWidget). True when the event is consumed.
    virtual bool WidgetEvent(QWidget* Watched, QEvent* Event);
    void WatchWidget(QWidget* Inner);
    // Labels, panels and images click on the release of a press made on them; widgets with a
    // click signal of their own do not.
    void SetClicksOnRelease(bool Value) { m_clicksOnRelease = Value; }

    virtual void ApplyBounds();
    virtual void ApplyVisible();
    virtual void ApplyFont();
    virtual void ApplyColor();
    virtual void ApplyText() {}
    virtual void TextChanged() {}
    // The palette role the control's Color paints; QPalette::NoRole for none.
    virtual QPalette::ColorRole ColorRole() const { return QPalette::Window; }

    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    virtual void ParentShowHintChanged();
    void ApplyHint();

private:
    friend class TWinControl;
    friend class TCustomForm;
    friend class TControlFilter;
    enum class DragState { None, Pending, Dragging };

    bool FilterEvent(QWidget* Watched, QEvent* Event);
    bool MouseEvent(QWidget* Watched, QMouseEvent* Event);
    bool ContextMenuEvent(QContextMenuEvent* Event);
    void FontObjectChanged();

    QWidget* m_widget;
    TPopupMenu* m_popupMenu = nullptr;
    std::unique_ptr<QObject> m_filter;
    TWinControl* m_parent = nullptr;
    int m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    QString m_hint;
    bool m_showHint = false;
    bool m_parentShowHint = true;
    TCursor m_cursor = crDefault;
    TColor m_color = clBtnFace;
    bool m_parentColor = true;
    std::unique_ptr<TFont> m_font;
    bool m_parentFont = true;
    bool m_copyingParentFont = false;
    TAlign m_align = alNone;
    QString m_text;
    TDragMode m_dragMode = dmManual;
    DragState m_drag = DragState::None;
    QPoint m_pressPos;
    int m_dragThreshold = 0;
    bool m_pressed = false;
    bool m_clicksOnRelease = true;
};

class TWinControl : public TControl
{
    VYN_CLASS(TWinControl, TControl)
public:
    ~TWinControl() override;

    // Child controls in the order they were inserted.
    int ControlCount() const { return int(m_controls.size()); }
    TControl* Controls(int Index) const;
    bool ContainsControl(const TControl* Control) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    // Nested controls of a layout become child controls.
    void AdoptChild(TComponent* Child) override;

    int TabOrder() const { return m_tabOrder; }
    void SetTabOrder(int Value);
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool Value);

    // The control's window, for messages.
    HWND Handle() const { return Widget(); }

    virtual bool CanFocus() const;
    bool Focused() const;
    // Raises EInvalidOperation for a control that cannot take the focus.
    virtual void SetFocus();
    // The next control after CurControl in tab order among this control's descendants.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Lays out the child controls that have an Align.
    void Realign();

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    TWinControl(TComponent* AOwner, QWidget* AWidget);

    void Loaded() override;
    bool WidgetEvent(QWidget* Watched, QEvent* Event) override;
    // WM_KEYDOWN: the key goes through the control's key pipeline as if typed.
    void WndProc(TMessage& Message) override;

    // Key events, in this order: the shortcuts of the popup menus of the control and its
    // parents (a menu that takes the key ends it), KeyDown (a key set to 0 keeps the widget
    // from acting on it), the menu key or Shift+F10 opening the popup menu, the form's
    // default or cancel button for Enter and Escape unless WantsKey, then KeyPress with the
    // character (a null character keeps the widget from taking it).
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyPress(QChar& Key);
    virtual bool WantsKey(Word Key) const;
    virtual void DoEnter();
    virtual void DoExit();

    // Whether a left click gives this control the focus (edits, buttons), as opposed to
    // containers that never take it from a click.
    void SetClickFocus(bool Value) { m_clickFocus = Value; }
    // Keeps Qt from focusing the widget or its inner widgets on a click of any button: a left
    // click focuses through WMLButtonDown, a right click never does.
    void UpdateFocusPolicy();

    void ApplyFont() override;
    void ApplyColor() override;
    void ParentShowHintChanged() override;

private:
    friend class TControl;
    bool KeyEvent(QWidget* Watched, QKeyEvent* Event);
    bool IsMenuKey(Word Key, TShiftState Shift);
    void SortTabList();
    void UpdateTabChain();
    void CollectTabOrder(std::vector<TWinControl*>& Out) const;
    TWinControl* TopParent();

    std::vector<TControl*> m_controls;
    std::vector<TWinControl*> m_tabList;
    int m_tabOrder = -1;
    bool m_tabStop = false;
    bool m_clickFocus = false;
    bool m_aligning = false;
};

} // namespace vyn
