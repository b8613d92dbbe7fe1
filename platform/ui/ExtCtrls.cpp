#include "platform/ui/ExtCtrls.h"

#include "platform/core/TypInfo.h"

#include <QPainter>
#include <QWidget>
#include <functional>

namespace vyn {

namespace {

// A widget whose painting its control does.
class PaintedWidget : public QWidget
{
public:
    std::function<void(QPainter&)> OnPaint;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (OnPaint)
            OnPaint(painter);
    }
};

PaintedWidget* NewPaintedWidget()
{
    return new PaintedWidget;
}

template <class C> void PaintWith(C* control, void (C::*paint)(QPainter&))
{
    static_cast<PaintedWidget*>(control->Widget())->OnPaint = [control, paint](QPainter& p) {
        GuardEvent(control, [&] { (control->*paint)(p); });
    };
}

// A frame line pair: the first colour on the top and left edges, the second on the others.
void Frame3D(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width; ++i) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.bottom(), r.left(), r.top());
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.setPen(bottomRight);
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        p.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCustomPanel

const TClassInfo& TCustomPanel::StaticClassInfo()
{
    using C = TCustomPanel;
    static const TClassInfo info = TClassBuilder<C>("TCustomPanel")
                                       .Property("Alignment", &C::Alignment, &C::SetAlignment)
                                       .Property("BevelInner", &C::BevelInner, &C::SetBevelInner)
                                       .Property("BevelOuter", &C::BevelOuter, &C::SetBevelOuter)
                                       .Property("BevelWidth", &C::BevelWidth, &C::SetBevelWidth)
                                       .Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle)
                                       .Property("BorderWidth", &C::BorderWidth, &C::SetBorderWidth)
                                       .Property("Caption", &C::Caption, &C::SetCaption)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TCustomPanel)

const TClassInfo& TPanel::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TPanel>("TPanel").Build();
    return info;
}
VYN_REGISTER_CLASS(TPanel)

TCustomPanel::TCustomPanel(TComponent* AOwner) : TWinControl(AOwner, NewPaintedWidget())
{
    PaintWith<TCustomPanel>(this, &TCustomPanel::Paint);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value)
{
    m_bevelInner = Value;
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value)
{
    m_bevelOuter = Value;
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value)
{
    m_bevelWidth = std::max(Value, 1);
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value)
{
    m_borderStyle = Value == bsSingle ? bsSingle : bsNone;
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value)
{
    m_borderWidth = std::max(Value, 0);
    Invalidate();
}

void TCustomPanel::ApplyText()
{
    Invalidate();
}

void TCustomPanel::Paint(QPainter& p)
{
    QRect r = Widget()->rect().adjusted(0, 0, -1, -1);
    const QColor light = ColorToQColor(clBtnHighlight), dark = ColorToQColor(clBtnShadow);
    if (m_borderStyle == bsSingle)
        Frame3D(p, r, ColorToQColor(clWindowFrame), ColorToQColor(clWindowFrame), 1);
    auto bevel = [&](TPanelBevel b) {
        if (b == bvNone)
            return;
        if (b == bvSpace)
            r.adjust(m_bevelWidth, m_bevelWidth, -m_bevelWidth, -m_bevelWidth);
        else
            Frame3D(p, r, b == bvRaised ? light : dark, b == bvRaised ? dark : light, m_bevelWidth);
    };
    bevel(m_bevelOuter);
    r.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    bevel(m_bevelInner);
    const QString caption = GetText();
    if (caption.isEmpty())
        return;
    p.setFont(Widget()->font());
    p.setPen(Font()->QtColor());
    const Qt::Alignment h = m_alignment == taLeftJustify    ? Qt::AlignLeft
                            : m_alignment == taRightJustify ? Qt::AlignRight
                                                            : Qt::AlignHCenter;
    p.drawText(r, int(h | Qt::AlignVCenter | Qt::TextShowMnemonic), caption);
}

// ---------------------------------------------------------------------------------------------
// TBevel

const TClassInfo& TBevel::StaticClassInfo()
{
    using C = TBevel;
    static const TClassInfo info = TClassBuilder<C>("TBevel")
                                       .Property("Shape", &C::Shape, &C::SetShape)
                                       .Property("Style", &C::Style, &C::SetStyle)
                                       .Build();
    return info;
}
VYN_REGISTER_CLASS(TBevel)

TBevel::TBevel(TComponent* AOwner) : TControl(AOwner, NewPaintedWidget())
{
    PaintWith<TBevel>(this, &TBevel::Paint);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value)
{
    m_shape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value)
{
    m_style = Value;
    Invalidate();
}

void TBevel::Paint(QPainter& p)
{
    const QColor shadow = ColorToQColor(clBtnShadow), light = ColorToQColor(clBtnHighlight);
    const QColor first = m_style == bsLowered ? shadow : light;
    const QColor second = m_style == bsLowered ? light : shadow;
    const int w = Width(), h = Height();
    auto line = [&](const QColor& c, int x1, int y1, int x2, int y2) {
        p.setPen(c);
        p.drawLine(x1, y1, x2, y2);
    };
    switch (m_shape) {
    case bsBox: {
        QRect r(0, 0, w - 1, h - 1);
        Frame3D(p, r, first, second, 1);
        break;
    }
    case bsFrame: {
        QRect outer(0, 0, w - 2, h - 2), inner(1, 1, w - 2, h - 2);
        p.setPen(first);
        p.drawRect(outer);
        p.setPen(second);
        p.drawRect(inner);
        break;
    }
    case bsTopLine:
        line(first, 0, 0, w, 0);
        line(second, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(first, 0, h - 2, w, h - 2);
        line(second, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(first, 0, 0, 0, h);
        line(second, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(first, w - 2, 0, w - 2, h);
        line(second, w - 1, 0, w - 1, h);
        break;
    case bsSpacer:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// TImage

const TClassInfo& TImage::StaticClassInfo()
{
    using C = TImage;
    static const TClassInfo info =
        TClassBuilder<C>("TImage")
            .Property("AutoSize", &C::AutoSize, &C::SetAutoSize)
            .Property("Center", &C::Center, &C::SetCenter)
            .Property("IncrementalDisplay", &C::IncrementalDisplay, &C::SetIncrementalDisplay)
            .Property("Picture", &C::Picture, &C::SetPicture)
            .Property("Stretch", &C::Stretch, &C::SetStretch)
            .Property("Transparent", &C::Transparent, &C::SetTransparent)
            .Build();
    return info;
}
VYN_REGISTER_CLASS(TImage)

TImage::TImage(TComponent* AOwner)
    : TControl(AOwner, NewPaintedWidget()), m_picture(std::make_unique<TPicture>())
{
    PaintWith<TImage>(this, &TImage::Paint);
    m_picture->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

void TImage::SetPicture(TPicture* Value)
{
    m_picture->Assign(Value);
}

void TImage::SetAutoSize(bool Value)
{
    m_autoSize = Value;
    PictureChanged();
}

void TImage::SetCenter(bool Value)
{
    m_center = Value;
    Invalidate();
}

void TImage::SetStretch(bool Value)
{
    m_stretch = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value)
{
    m_transparent = Value;
    Invalidate();
}

void TImage::PictureChanged()
{
    if (m_autoSize && !m_picture->Empty())
        SetBounds(Left(), Top(), m_picture->Width(), m_picture->Height());
    Invalidate();
}

void TImage::Paint(QPainter& p)
{
    const QImage& image = m_picture->Image();
    if (image.isNull())
        return;
    const QRect area = Widget()->rect();
    if (m_stretch) {
        p.drawImage(area, image);
    } else if (m_center) {
        p.drawImage((area.width() - image.width()) / 2, (area.height() - image.height()) / 2,
                    image);
    } else {
        p.drawImage(0, 0, image);
    }
}

} // namespace vyn
