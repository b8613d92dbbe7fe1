#pragma once

// Panels, bevels and images.

#include "platform/ui/Controls.h"

#include <memory>

class QPainter;

namespace vyn {

VYN_ENUM(TPanelBevel, bvNone, bvLowered, bvRaised, bvSpace)

class TCustomPanel : public TWinControl
{
    VYN_CLASS(TCustomPanel, TWinControl)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);
    TPanelBevel BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int Value);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int Value);

protected:
    void ApplyText() override;
    virtual void Paint(QPainter& Painter);

private:
    TAlignment m_alignment = taCenter;
    TPanelBevel m_bevelInner = bvNone;
    TPanelBevel m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    TBorderStyle m_borderStyle = bsNone;
    int m_borderWidth = 0;
};

class TPanel : public TCustomPanel
{
    VYN_CLASS(TPanel, TCustomPanel)
public:
    using TCustomPanel::TCustomPanel;
};

VYN_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
VYN_ENUM(TBevelStyle, bsLowered, bsRaised)

// A sunken or raised line or box.
class TBevel : public TControl
{
    VYN_CLASS(TBevel, TControl)
public:
    explicit TBevel(TComponent* AOwner);

    TBevelShape Shape() const { return m_shape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return m_style; }
    void SetStyle(TBevelStyle Value);

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::NoRole; }
    virtual void Paint(QPainter& Painter);

private:
    TBevelShape m_shape = bsBox;
    TBevelStyle m_style = bsLowered;
};

class TPicture;

// Shows a picture: at its top-left corner, centred, or stretched over the control.
class TImage : public TControl
{
    VYN_CLASS(TImage, TControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return m_picture.get(); }
    void SetPicture(TPicture* Value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool Value);
    bool Center() const { return m_center; }
    void SetCenter(bool Value);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool Value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool Value);
    // Drawing while a picture loads: pictures load at once here, so it is only kept.
    bool IncrementalDisplay() const { return m_incrementalDisplay; }
    void SetIncrementalDisplay(bool Value) { m_incrementalDisplay = Value; }

protected:
    QPalette::ColorRole ColorRole() const override { return QPalette::NoRole; }
    virtual void Paint(QPainter& Painter);

private:
    void PictureChanged();

    std::unique_ptr<TPicture> m_picture;
    bool m_autoSize = false;
    bool m_center = false;
    bool m_stretch = false;
    bool m_transparent = false;
    bool m_incrementalDisplay = false;
};

} // namespace vyn
