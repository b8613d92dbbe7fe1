#pragma once

// Colours, cursors, fonts and pictures of the controls.

#include "platform/core/Event.h"
#include "platform/core/Object.h"
#include "platform/core/Set.h"

#include <QByteArray>
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QImage>
#include <cstdint>

namespace vyn {

// A colour: 0x00BBGGRR, or a system colour (0x80000000 plus the system colour's index).
using TColor = std::int32_t;

constexpr TColor clSystemColor = TColor(0x80000000u);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The colour names a layout may use.
const TIdentMap& ColorIdents();
// The colour on screen; system colours take the classic desktop scheme.
QColor ColorToQColor(TColor Color);

// A mouse cursor: crDefault, or one of the negative standard cursors.
using TCursor = std::int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

const TIdentMap& CursorIdents();
Qt::CursorShape CursorToQt(TCursor Cursor);

// Character sets a font names in a layout; kept, Qt picks glyphs by Unicode.
const TIdentMap& CharsetIdents();
constexpr int DEFAULT_CHARSET = 1;

// The classic family names of layouts map to the metric-compatible Liberation fonts.
QString FontFamilyFor(const QString& Name);

// a * b / c, rounded to the nearest integer (halves away from zero).
int MulDiv(int a, int b, int c);

VYN_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = Set<TFontStyle>;
VYN_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)

// A font as layouts describe it. Height < 0 is the character height in pixels at
// PixelsPerInch (Size in points is its counterpart); the point size is what Qt gets.
class TFont : public TPersistent
{
    VYN_CLASS(TFont, TPersistent)
public:
    TFont();

    QString Name() const { return m_name; }
    void SetName(const QString& Value);
    int Height() const { return m_height; }
    void SetHeight(int Value);
    int Size() const;
    void SetSize(int Value);
    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles Value);
    int Charset() const { return m_charset; }
    void SetCharset(int Value);
    TFontPitch Pitch() const { return m_pitch; }
    void SetPitch(TFontPitch Value);
    int PixelsPerInch() const { return m_pixelsPerInch; }

    void Assign(TPersistent* Source) override;
    bool Equals(const TFont& Other) const;

    QFont ToQFont() const;
    QColor QtColor() const { return ColorToQColor(m_color); }

    TNotifyEvent OnChange;

private:
    void Changed();

    QString m_name = QStringLiteral("MS Sans Serif");
    int m_height = -11;
    TColor m_color = clWindowText;
    TFontStyles m_style;
    int m_charset = DEFAULT_CHARSET;
    TFontPitch m_pitch = fpDefault;
    int m_pixelsPerInch = 96;
};

// A picture read from a layout's binary data: image file data, optionally after the classic
// header (a length-prefixed class name such as "TBitmap" and, for bitmaps, a 32-bit size).
class TPicture : public TPersistent
{
    VYN_CLASS(TPicture, TPersistent)
public:
    QByteArray Data() const { return m_data; }
    // Raises EConvertError when the data holds no readable image; nothing changes then.
    void SetData(const QByteArray& Value);
    const QImage& Image() const { return m_image; }
    void SetImage(const QImage& Value);
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    bool Empty() const { return m_image.isNull(); }

    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    QByteArray m_data;
    QImage m_image;
};

} // namespace vyn
