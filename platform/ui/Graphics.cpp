#include "platform/ui/Graphics.h"

#include "platform/core/Exception.h"
#include "platform/core/TypInfo.h"

#include <QtEndian>
#include <cstdlib>

namespace vyn {

const TIdentMap& ColorIdents()
{
    static const TIdentMap idents = {
        {QStringLiteral("clBlack"), clBlack},
        {QStringLiteral("clMaroon"), clMaroon},
        {QStringLiteral("clGreen"), clGreen},
        {QStringLiteral("clOlive"), clOlive},
        {QStringLiteral("clNavy"), clNavy},
        {QStringLiteral("clPurple"), clPurple},
        {QStringLiteral("clTeal"), clTeal},
        {QStringLiteral("clGray"), clGray},
        {QStringLiteral("clSilver"), clSilver},
        {QStringLiteral("clRed"), clRed},
        {QStringLiteral("clLime"), clLime},
        {QStringLiteral("clYellow"), clYellow},
        {QStringLiteral("clBlue"), clBlue},
        {QStringLiteral("clFuchsia"), clFuchsia},
        {QStringLiteral("clAqua"), clAqua},
        {QStringLiteral("clLtGray"), clLtGray},
        {QStringLiteral("clDkGray"), clDkGray},
        {QStringLiteral("clWhite"), clWhite},
        {QStringLiteral("clNone"), clNone},
        {QStringLiteral("clDefault"), clDefault},
        {QStringLiteral("clScrollBar"), clScrollBar},
        {QStringLiteral("clBackground"), clBackground},
        {QStringLiteral("clActiveCaption"), clActiveCaption},
        {QStringLiteral("clInactiveCaption"), clInactiveCaption},
        {QStringLiteral("clMenu"), clMenu},
        {QStringLiteral("clWindow"), clWindow},
        {QStringLiteral("clWindowFrame"), clWindowFrame},
        {QStringLiteral("clMenuText"), clMenuText},
        {QStringLiteral("clWindowText"), clWindowText},
        {QStringLiteral("clCaptionText"), clCaptionText},
        {QStringLiteral("clActiveBorder"), clActiveBorder},
        {QStringLiteral("clInactiveBorder"), clInactiveBorder},
        {QStringLiteral("clAppWorkSpace"), clAppWorkSpace},
        {QStringLiteral("clHighlight"), clHighlight},
        {QStringLiteral("clHighlightText"), clHighlightText},
        {QStringLiteral("clBtnFace"), clBtnFace},
        {QStringLiteral("clBtnShadow"), clBtnShadow},
        {QStringLiteral("clGrayText"), clGrayText},
        {QStringLiteral("clBtnText"), clBtnText},
        {QStringLiteral("clInactiveCaptionText"), clInactiveCaptionText},
        {QStringLiteral("clBtnHighlight"), clBtnHighlight},
        {QStringLiteral("cl3DDkShadow"), cl3DDkShadow},
        {QStringLiteral("cl3DLight"), cl3DLight},
        {QStringLiteral("clInfoText"), clInfoText},
        {QStringLiteral("clInfoBk"), clInfoBk},
    };
    return idents;
}

QColor ColorToQColor(TColor Color)
{
    if ((Color & clSystemColor) != 0) {
        // The classic desktop scheme, so forms look the same on every machine.
        static const QRgb scheme[] = {
            qRgb(212, 208, 200), qRgb(58, 110, 165),  qRgb(10, 36, 106),   qRgb(128, 128, 128),
            qRgb(212, 208, 200), qRgb(255, 255, 255), qRgb(0, 0, 0),       qRgb(0, 0, 0),
            qRgb(0, 0, 0),       qRgb(255, 255, 255), qRgb(212, 208, 200), qRgb(212, 208, 200),
            qRgb(128, 128, 128), qRgb(10, 36, 106),   qRgb(255, 255, 255), qRgb(212, 208, 200),
            qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(0, 0, 0),       qRgb(212, 208, 200),
            qRgb(255, 255, 255), qRgb(64, 64, 64),    qRgb(212, 208, 200), qRgb(0, 0, 0),
            qRgb(255, 255, 225),
        };
        const unsigned index = unsigned(Color) & 0xFF;
        return index < std::size(scheme) ? QColor(scheme[index]) : QColor(Qt::black);
    }
    if (Color == clNone || Color == clDefault)
        return QColor(Qt::transparent);
    return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

const TIdentMap& CursorIdents()
{
    static const TIdentMap idents = {
        {QStringLiteral("crDefault"), crDefault},     {QStringLiteral("crNone"), crNone},
        {QStringLiteral("crArrow"), crArrow},         {QStringLiteral("crCross"), crCross},
        {QStringLiteral("crIBeam"), crIBeam},         {QStringLiteral("crSizeNESW"), crSizeNESW},
        {QStringLiteral("crSizeNS"), crSizeNS},       {QStringLiteral("crSizeNWSE"), crSizeNWSE},
        {QStringLiteral("crSizeWE"), crSizeWE},       {QStringLiteral("crUpArrow"), crUpArrow},
        {QStringLiteral("crHourGlass"), crHourGlass}, {QStringLiteral("crDrag"), crDrag},
        {QStringLiteral("crNoDrop"), crNoDrop},       {QStringLiteral("crHSplit"), crHSplit},
        {QStringLiteral("crVSplit"), crVSplit},       {QStringLiteral("crMultiDrag"), crMultiDrag},
        {QStringLiteral("crSQLWait"), crSQLWait},     {QStringLiteral("crNo"), crNo},
        {QStringLiteral("crAppStart"), crAppStart},   {QStringLiteral("crHelp"), crHelp},
        {QStringLiteral("crHandPoint"), crHandPoint}, {QStringLiteral("crSizeAll"), crSizeAll},
        {QStringLiteral("crSize"), crSizeAll},
    };
    return idents;
}

Qt::CursorShape CursorToQt(TCursor Cursor)
{
    switch (Cursor) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait:
        return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag:
        return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo:
        return Qt::ForbiddenCursor;
    case crHSplit:
        return Qt::SplitHCursor;
    case crVSplit:
        return Qt::SplitVCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crHelp:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

const TIdentMap& CharsetIdents()
{
    static const TIdentMap idents = {
        {QStringLiteral("ANSI_CHARSET"), 0},          {QStringLiteral("DEFAULT_CHARSET"), 1},
        {QStringLiteral("SYMBOL_CHARSET"), 2},        {QStringLiteral("MAC_CHARSET"), 77},
        {QStringLiteral("SHIFTJIS_CHARSET"), 128},    {QStringLiteral("HANGEUL_CHARSET"), 129},
        {QStringLiteral("JOHAB_CHARSET"), 130},       {QStringLiteral("GB2312_CHARSET"), 134},
        {QStringLiteral("CHINESEBIG5_CHARSET"), 136}, {QStringLiteral("GREEK_CHARSET"), 161},
        {QStringLiteral("TURKISH_CHARSET"), 162},     {QStringLiteral("VIETNAMESE_CHARSET"), 163},
        {QStringLiteral("HEBREW_CHARSET"), 177},      {QStringLiteral("ARABIC_CHARSET"), 178},
        {QStringLiteral("BALTIC_CHARSET"), 186},      {QStringLiteral("RUSSIAN_CHARSET"), 204},
        {QStringLiteral("THAI_CHARSET"), 222},        {QStringLiteral("EASTEUROPE_CHARSET"), 238},
        {QStringLiteral("OEM_CHARSET"), 255},
    };
    return idents;
}

QString FontFamilyFor(const QString& Name)
{
    static const std::pair<const char*, const char*> map[] = {
        {"MS Sans Serif", "Liberation Sans"},
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& [classic, liberation] : map)
        if (Name.compare(QLatin1String(classic), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(liberation);
    return Name;
}

int MulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    const long long q = (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);
    return int((p < 0) != (c < 0) ? -q : q);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TFont::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TFont>("TFont")
                                       .Property("Charset", &TFont::Charset, &TFont::SetCharset)
                                       .Idents(&CharsetIdents())
                                       .Property("Color", &TFont::Color, &TFont::SetColor)
                                       .Idents(&ColorIdents())
                                       .Property("Height", &TFont::Height, &TFont::SetHeight)
                                       .Property("Name", &TFont::Name, &TFont::SetName)
                                       .Property("Pitch", &TFont::Pitch, &TFont::SetPitch)
                                       .Property("Size", &TFont::Size, &TFont::SetSize)
                                       .Property("Style", &TFont::Style, &TFont::SetStyle)
                                       .Build();
    return info;
}

TFont::TFont() = default;

void TFont::Changed()
{
    OnChange(this);
}

void TFont::SetName(const QString& Value)
{
    if (Value.isEmpty() || m_name == Value)
        return;
    m_name = Value;
    Changed();
}

void TFont::SetHeight(int Value)
{
    if (m_height == Value)
        return;
    m_height = Value;
    Changed();
}

int TFont::Size() const
{
    return -MulDiv(m_height, 72, m_pixelsPerInch);
}

void TFont::SetSize(int Value)
{
    SetHeight(-MulDiv(Value, m_pixelsPerInch, 72));
}

void TFont::SetColor(TColor Value)
{
    if (m_color == Value)
        return;
    m_color = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value)
{
    if (m_style == Value)
        return;
    m_style = Value;
    Changed();
}

void TFont::SetCharset(int Value)
{
    if (m_charset == Value)
        return;
    m_charset = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value)
{
    if (m_pitch == Value)
        return;
    m_pitch = Value;
    Changed();
}

bool TFont::Equals(const TFont& o) const
{
    return m_name == o.m_name && m_height == o.m_height && m_color == o.m_color &&
           m_style == o.m_style && m_charset == o.m_charset && m_pitch == o.m_pitch;
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (Equals(*f))
            return;
        m_name = f->m_name;
        m_height = f->m_height;
        m_color = f->m_color;
        m_style = f->m_style;
        m_charset = f->m_charset;
        m_pitch = f->m_pitch;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

QFont TFont::ToQFont() const
{
    QFont f(FontFamilyFor(m_name));
    if (m_height < 0)
        f.setPointSizeF(-m_height * 72.0 / m_pixelsPerInch);
    else if (m_height > 0)
        f.setPixelSize(m_height);
    f.setBold(m_style.Contains(fsBold));
    f.setItalic(m_style.Contains(fsItalic));
    f.setUnderline(m_style.Contains(fsUnderline));
    f.setStrikeOut(m_style.Contains(fsStrikeOut));
    if (m_pitch == fpFixed)
        f.setFixedPitch(true);
    return f;
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TPicture::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TPicture>("TPicture")
                                       .Property("Data", &TPicture::Data, &TPicture::SetData)
                                       .Build();
    return info;
}

namespace {

// Strips the classic header: a length byte, a class name starting with 'T', and for a bitmap
// the 32-bit size of what follows.
QByteArray ImageBytes(const QByteArray& data)
{
    if (data.size() < 2)
        return data;
    const int n = static_cast<unsigned char>(data[0]);
    if (n < 2 || n > 63 || data.size() < 1 + n || data[1] != 'T')
        return data;
    const QByteArray cls = data.mid(1, n);
    for (char c : cls)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return data;
    QByteArray rest = data.mid(1 + n);
    if (cls == "TBitmap" && rest.size() >= 4) {
        const quint32 size = qFromLittleEndian<quint32>(rest.constData());
        if (size == quint32(rest.size() - 4))
            rest = rest.mid(4);
    }
    return rest;
}

} // namespace

void TPicture::SetData(const QByteArray& Value)
{
    QImage image;
    if (!Value.isEmpty() && !image.loadFromData(ImageBytes(Value)))
        throw EConvertError(QStringLiteral("Bitmap image is not valid"));
    m_data = Value;
    m_image = image;
    OnChange(this);
}

void TPicture::SetImage(const QImage& Value)
{
    m_image = Value;
    m_data.clear();
    OnChange(this);
}

void TPicture::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        m_data = p->m_data;
        m_image = p->m_image;
        OnChange(this);
        return;
    }
    if (!Source) {
        m_data.clear();
        m_image = QImage();
        OnChange(this);
        return;
    }
    TPersistent::Assign(Source);
}

} // namespace vyn
