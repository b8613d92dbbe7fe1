#include "platform/db/Fields.h"

#include "platform/core/Stream.h"
#include "platform/core/TypInfo.h"
#include "platform/db/DataSet.h"

#include "platform/core/ScopeGuard.h"

#include <QRegularExpression>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <limits>

namespace vyn {

void DatabaseError(const QString& Message, const TComponent* Component)
{
    if (Component && !Component->Name().isEmpty())
        throw EDatabaseError(QStringLiteral("%1: %2").arg(Component->Name(), Message));
    throw EDatabaseError(Message);
}

QString FieldTypeName(TFieldType Type)
{
    return EnumInfo<TFieldType>().Name(int(Type));
}

// ---------------------------------------------------------------------------------------------

TFieldDef& TFieldDefs::Add(const QString& Name, TFieldType DataType, int Size, bool Required)
{
    if (Name.trimmed().isEmpty())
        DatabaseError(QStringLiteral("A field needs a name"));
    if (IndexOf(Name) >= 0)
        DatabaseError(QStringLiteral("Duplicate field name '%1'").arg(Name));
    if (DataType == ftString && Size <= 0)
        DatabaseError(QStringLiteral("String field '%1' needs a size").arg(Name));
    m_defs.emplace_back(Name, DataType, Size, Required);
    m_defs.back().FieldNo = int(m_defs.size());
    return m_defs.back();
}

int TFieldDefs::IndexOf(const QString& Name) const
{
    for (size_t i = 0; i < m_defs.size(); ++i)
        if (m_defs[i].Name.compare(Name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const TFieldDef* TFieldDefs::Find(const QString& Name) const
{
    const int i = IndexOf(Name);
    return i < 0 ? nullptr : &m_defs[size_t(i)];
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TField::StaticClassInfo()
{
    using C = TField;
    static const TClassInfo info =
        TClassBuilder<C>("TField")
            .Property("FieldName", &C::FieldName, &C::SetFieldName)
            .Property("DisplayLabel", &C::DisplayLabel, &C::SetDisplayLabel)
            .Property("DisplayWidth", &C::DisplayWidth, &C::SetDisplayWidth)
            .Property("Visible", &C::Visible, &C::SetVisible)
            .Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly)
            .Property("Required", &C::Required, &C::SetRequired)
            .Property("Alignment", &C::Alignment, &C::SetAlignment)
            .Property("FieldKind", &C::FieldKind, &C::SetFieldKind)
            .Property("DataSet", &C::DataSet, &C::SetDataSet)
            .Property("LookupDataSet", &C::LookupDataSet, &C::SetLookupDataSet)
            .Property("KeyFields", &C::KeyFields, &C::SetKeyFields)
            .Property("LookupKeyFields", &C::LookupKeyFields, &C::SetLookupKeyFields)
            .Property("LookupResultField", &C::LookupResultField, &C::SetLookupResultField)
            .Member("OnChange", &C::OnChange)
            .Member("OnValidate", &C::OnValidate)
            .Member("OnGetText", &C::OnGetText)
            .Member("OnSetText", &C::OnSetText)
            .Build();
    return info;
}

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField()
{
    if (m_dataSet)
        m_dataSet->RemoveField(this);
}

void TField::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_dataSet)
        m_dataSet = nullptr;
    if (Operation == opRemove && AComponent == m_lookupDataSet)
        m_lookupDataSet = nullptr;
}

void TField::SetLookupDataSet(TDataSet* Value)
{
    if (Value == m_lookupDataSet)
        return;
    if (Value == m_dataSet && Value)
        DatabaseError(QStringLiteral("Field '%1' cannot look itself up in its own dataset")
                          .arg(DisplayName()));
    ChangeReference(m_lookupDataSet, Value);
    m_lookupDataSet = Value;
}

void TField::SetDataSet(TDataSet* Value)
{
    if (Value == m_dataSet)
        return;
    if (m_dataSet)
        m_dataSet->CheckInactive();
    if (Value)
        Value->CheckInactive();
    if (m_dataSet)
        m_dataSet->RemoveField(this);
    if (Value)
        Value->AddField(this);
}

void TField::SetFieldName(const QString& Value)
{
    if (m_dataSet)
        m_dataSet->CheckInactive();
    m_fieldName = Value;
}

int TField::Index() const
{
    return m_dataSet ? m_dataSet->IndexOfField(this) : -1;
}

void TField::SetSize(int Value)
{
    if (m_dataSet)
        m_dataSet->CheckInactive();
    m_size = Value;
}

void TField::SetFieldKind(TFieldKind Value)
{
    if (m_dataSet)
        m_dataSet->CheckInactive();
    m_fieldKind = Value;
}

void TField::SetDisplayLabel(const QString& Value)
{
    m_displayLabel = Value == m_fieldName ? QString() : Value;
    if (m_dataSet)
        m_dataSet->DataEvent(deLayoutChange, 0);
}

int TField::DisplayWidth() const
{
    return m_displayWidth > 0 ? m_displayWidth : DefaultDisplayWidth();
}

void TField::SetDisplayWidth(int Value)
{
    m_displayWidth = Value;
    if (m_dataSet)
        m_dataSet->DataEvent(deLayoutChange, 0);
}

void TField::SetVisible(bool Value)
{
    m_visible = Value;
    if (m_dataSet)
        m_dataSet->DataEvent(deLayoutChange, 0);
}

void TField::SetReadOnly(bool Value)
{
    m_readOnly = Value;
    if (m_dataSet)
        m_dataSet->DataEvent(deLayoutChange, 0);
}

void TField::SetAlignment(TAlignment Value)
{
    m_alignment = Value;
    if (m_dataSet)
        m_dataSet->DataEvent(deLayoutChange, 0);
}

bool TField::GetValueRaw(Variant& Value) const
{
    if (!m_dataSet) {
        Value = Variant(Null);
        return false;
    }
    return m_dataSet->GetFieldValue(this, Value);
}

void TField::SetValueRaw(const Variant& Value)
{
    if (!m_dataSet)
        DatabaseError(QStringLiteral("Field '%1' has no dataset").arg(DisplayName()));
    m_dataSet->SetFieldValue(this, Value.IsEmpty() ? Variant(Null) : Normalize(Value));
}

bool TField::IsNull() const
{
    Variant v;
    return !GetValueRaw(v);
}

Variant TField::GetAsVariant() const
{
    Variant v;
    GetValueRaw(v);
    return v;
}

QString TField::GetAsString() const
{
    return GetAsVariant().ToString();
}

void TField::ConvertError(const QString& TypeName) const
{
    DatabaseError(
        QStringLiteral("Cannot access field '%1' as type %2").arg(DisplayName(), TypeName));
}

void TField::InvalidValue() const
{
    DatabaseError(QStringLiteral("Invalid value for field '%1'").arg(DisplayName()));
}

int TField::GetAsInteger() const
{
    try {
        return GetAsVariant().ToInt();
    } catch (const EVariantError&) {
        ConvertError(QStringLiteral("Integer"));
    }
}

std::int64_t TField::AsLargeInt() const
{
    try {
        return GetAsVariant().ToInt64();
    } catch (const EVariantError&) {
        ConvertError(QStringLiteral("Integer"));
    }
}

double TField::GetAsFloat() const
{
    try {
        return GetAsVariant().ToDouble();
    } catch (const EVariantError&) {
        ConvertError(QStringLiteral("Float"));
    }
}

bool TField::GetAsBoolean() const
{
    try {
        return GetAsVariant().ToBool();
    } catch (const EVariantError&) {
        ConvertError(QStringLiteral("Boolean"));
    }
}

QDateTime TField::GetAsDateTime() const
{
    try {
        return GetAsVariant().ToDateTime();
    } catch (const EVariantError&) {
        ConvertError(QStringLiteral("DateTime"));
    }
}

QByteArray TField::AsBytes() const
{
    return GetAsVariant().ToBytes();
}

void TField::SetAsVariant(const Variant& Value)
{
    if (Value.IsEmpty()) {
        Clear();
        return;
    }
    try {
        SetValueRaw(Value);
    } catch (const EVariantError&) {
        InvalidValue();
    }
}

void TField::SetAsString(const QString& Value)
{
    SetAsVariant(Variant(Value));
}

void TField::SetAsInteger(int Value)
{
    SetAsVariant(Variant(Value));
}

void TField::SetAsFloat(double Value)
{
    SetAsVariant(Variant(Value));
}

void TField::SetAsBoolean(bool Value)
{
    SetAsVariant(Variant(Value));
}

void TField::SetAsDateTime(const QDateTime& Value)
{
    SetAsVariant(Variant(Value));
}

void TField::GetText(QString& Text, bool) const
{
    Text = GetAsString();
}

QString TField::Text() const
{
    QString t;
    if (OnGetText.Assigned())
        OnGetText(const_cast<TField*>(this), t, false);
    else
        GetText(t, false);
    return t;
}

QString TField::DisplayText() const
{
    QString t;
    if (OnGetText.Assigned())
        OnGetText(const_cast<TField*>(this), t, true);
    else
        GetText(t, true);
    return t;
}

void TField::SetText(const QString& Value)
{
    if (OnSetText.Assigned())
        OnSetText(this, Value);
    else
        SetTextValue(Value);
}

void TField::SetTextValue(const QString& Value)
{
    SetAsString(Value);
}

bool TField::IsValidChar(QChar Ch) const
{
    return !Ch.isNull();
}

bool TField::CanModify() const
{
    if (m_readOnly || m_fieldNo <= 0 || m_fieldKind != fkData)
        return false;
    return !m_dataSet || m_dataSet->CanModify();
}

QByteArray TField::ToNative(const Variant& Value) const
{
    return Value.ToBytes();
}

Variant TField::FromNative(const QByteArray& Bytes) const
{
    return Variant(Bytes);
}

bool TField::GetData(void* Buffer) const
{
    Variant v;
    if (!GetValueRaw(v))
        return false;
    if (Buffer) {
        QByteArray bytes = ToNative(v);
        const int size = DataSize();
        bytes.resize(size, '\0');
        std::memcpy(Buffer, bytes.constData(), size_t(size));
    }
    return true;
}

void TField::SetData(const void* Buffer)
{
    if (!Buffer) {
        SetValueRaw(Variant(Null));
        return;
    }
    SetValueRaw(FromNative(QByteArray(static_cast<const char*>(Buffer), DataSize())));
}

void TField::DataChanged()
{
    if (m_dataSet)
        m_dataSet->DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(this));
}

void TField::FocusControl()
{
    if (m_dataSet)
        m_dataSet->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(this));
}

void TField::Validate()
{
    if (OnValidate.Assigned() && !m_validating) {
        m_validating = true;
        auto done = Finally([this] { m_validating = false; });
        OnValidate(this);
    }
}

void TField::Change()
{
    OnChange(this);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TStringField::StaticClassInfo()
{
    static const TClassInfo info =
        TClassBuilder<TStringField>("TStringField")
            .Property("Size", &TStringField::Size, &TStringField::SetSize)
            .Build();
    return info;
}

TStringField::TStringField(TComponent* AOwner) : TField(AOwner)
{
    SetDataType(ftString);
    SetSize(20);
}

Variant TStringField::Normalize(const Variant& Value) const
{
    QString s = Value.ToString();
    if (Size() > 0 && s.size() > Size())
        s.truncate(Size());
    return Variant(s);
}

QByteArray TStringField::ToNative(const Variant& Value) const
{
    return Value.ToString().toUtf8();
}

Variant TStringField::FromNative(const QByteArray& Bytes) const
{
    const qsizetype end = Bytes.indexOf('\0');
    return Variant(QString::fromUtf8(end < 0 ? Bytes : Bytes.left(end)));
}

// ---------------------------------------------------------------------------------------------

namespace {

// A small subset of the toolkit's number formats: 0 and # digit places, '.', ',' grouping,
// and a literal prefix or suffix.
QString FormatNumber(const QString& format, double value)
{
    int first = -1, last = -1;
    for (int i = 0; i < format.size(); ++i)
        if (QStringLiteral("0#.,").contains(format[i])) {
            if (first < 0)
                first = i;
            last = i;
        }
    if (first < 0)
        return format;
    const QString pattern = format.mid(first, last - first + 1);
    const int dot = pattern.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPart = dot < 0 ? QString() : pattern.mid(dot + 1);
    const int minFrac = int(fracPart.count(QLatin1Char('0')));
    const int maxFrac = int(fracPart.count(QLatin1Char('0')) + fracPart.count(QLatin1Char('#')));
    const int minInt = int(intPart.count(QLatin1Char('0')));
    const bool grouping = intPart.contains(QLatin1Char(','));

    QString digits = QString::number(std::fabs(value), 'f', maxFrac);
    QString whole = digits.section(QLatin1Char('.'), 0, 0);
    QString frac = digits.section(QLatin1Char('.'), 1);
    while (frac.size() > minFrac && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
    if (whole == QLatin1String("0") && minInt == 0)
        whole.clear();
    while (whole.size() < minInt)
        whole.prepend(QLatin1Char('0'));
    if (grouping)
        for (int i = int(whole.size()) - 3; i > 0; i -= 3)
            whole.insert(i, QLatin1Char(','));
    QString number = frac.isEmpty() ? whole : whole + QLatin1Char('.') + frac;
    if (value < 0 && number.contains(QRegularExpression(QStringLiteral("[1-9]"))))
        number.prepend(QLatin1Char('-'));
    return format.left(first) + number + format.mid(last + 1);
}

} // namespace

const TClassInfo& TNumericField::StaticClassInfo()
{
    using C = TNumericField;
    static const TClassInfo info =
        TClassBuilder<C>("TNumericField")
            .Property("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat)
            .Property("EditFormat", &C::EditFormat, &C::SetEditFormat)
            .Build();
    return info;
}

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner)
{
    SetAlignment(taRightJustify);
}

void TNumericField::SetDisplayFormat(const QString& Value)
{
    m_displayFormat = Value;
    if (DataSet())
        DataSet()->DataEvent(deLayoutChange, 0);
}

void TNumericField::SetEditFormat(const QString& Value)
{
    m_editFormat = Value;
    if (DataSet())
        DataSet()->DataEvent(deLayoutChange, 0);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TIntegerField::StaticClassInfo()
{
    using C = TIntegerField;
    static const TClassInfo info = TClassBuilder<C>("TIntegerField")
                                       .Property("MinValue", &C::MinValue, &C::SetMinValue)
                                       .Property("MaxValue", &C::MaxValue, &C::SetMaxValue)
                                       .Build();
    return info;
}

TIntegerField::TIntegerField(TComponent* AOwner) : TNumericField(AOwner)
{
    SetDataType(ftInteger);
}

void TIntegerField::CheckRange(std::int64_t Value) const
{
    std::int64_t lo = m_minValue, hi = m_maxValue;
    if (lo == 0 && hi == 0) {
        lo = TypeMin();
        hi = TypeMax();
    }
    if (Value < lo || Value > hi)
        DatabaseError(
            QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                .arg(QString::number(double(Value), 'g', 15), DisplayName(),
                     QString::number(double(lo), 'g', 15), QString::number(double(hi), 'g', 15)));
}

void TIntegerField::SetAsInteger(int Value)
{
    CheckRange(Value);
    SetValueRaw(Variant(Value));
}

void TIntegerField::SetAsFloat(double Value)
{
    if (!std::isfinite(Value) || std::fabs(Value) > 2147483647.0)
        CheckRange(Value < 0 ? std::numeric_limits<std::int64_t>::min() / 2
                             : std::numeric_limits<std::int64_t>::max() / 2);
    SetAsInteger(int(std::llround(Value)));
}

void TIntegerField::SetAsVariant(const Variant& Value)
{
    if (Value.IsEmpty()) {
        Clear();
        return;
    }
    std::int64_t n = 0;
    try {
        n = Value.Type() == TVarType::Float ? std::llround(Value.ToDouble()) : Value.ToInt64();
    } catch (const EVariantError&) {
        InvalidValue();
    }
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        CheckRange(n);
    SetAsInteger(int(n));
}

void TIntegerField::SetAsString(const QString& Value)
{
    if (Value.isEmpty()) {
        Clear();
        return;
    }
    bool ok = false;
    const qlonglong n = Value.trimmed().toLongLong(&ok);
    if (!ok)
        InvalidValue();
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        CheckRange(n);
    SetAsInteger(int(n));
}

bool TIntegerField::IsValidChar(QChar Ch) const
{
    return Ch == QLatin1Char('+') || Ch == QLatin1Char('-') ||
           (Ch >= QLatin1Char('0') && Ch <= QLatin1Char('9'));
}

Variant TIntegerField::Normalize(const Variant& Value) const
{
    return Variant(Value.ToInt64());
}

QByteArray TIntegerField::ToNative(const Variant& Value) const
{
    QByteArray b(4, '\0');
    qToLittleEndian<qint32>(qint32(Value.ToInt64()), b.data());
    return b;
}

Variant TIntegerField::FromNative(const QByteArray& Bytes) const
{
    return Variant(int(qFromLittleEndian<qint32>(Bytes.constData())));
}

void TIntegerField::GetText(QString& Text, bool DisplayText) const
{
    Variant v;
    if (!GetValueRaw(v)) {
        Text.clear();
        return;
    }
    const QString format = DisplayText || EditFormat().isEmpty() ? DisplayFormat() : EditFormat();
    Text =
        format.isEmpty() ? QString::number(v.ToInt64()) : FormatNumber(format, double(v.ToInt64()));
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TSmallintField::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TSmallintField>("TSmallintField").Build();
    return info;
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner)
{
    SetDataType(ftSmallint);
}

QByteArray TSmallintField::ToNative(const Variant& Value) const
{
    QByteArray b(2, '\0');
    qToLittleEndian<qint16>(qint16(Value.ToInt64()), b.data());
    return b;
}

Variant TSmallintField::FromNative(const QByteArray& Bytes) const
{
    return Variant(int(qFromLittleEndian<qint16>(Bytes.constData())));
}

const TClassInfo& TAutoIncField::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TAutoIncField>("TAutoIncField").Build();
    return info;
}

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner)
{
    SetDataType(ftAutoInc);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TFloatField::StaticClassInfo()
{
    using C = TFloatField;
    static const TClassInfo info = TClassBuilder<C>("TFloatField")
                                       .Property("Precision", &C::Precision, &C::SetPrecision)
                                       .Build();
    return info;
}

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner)
{
    SetDataType(ftFloat);
}

void TFloatField::SetAsFloat(double Value)
{
    if (!std::isfinite(Value))
        InvalidValue();
    SetValueRaw(Variant(Value));
}

void TFloatField::SetAsString(const QString& Value)
{
    if (Value.isEmpty()) {
        Clear();
        return;
    }
    bool ok = false;
    const double d = Value.trimmed().toDouble(&ok);
    if (!ok)
        InvalidValue();
    SetAsFloat(d);
}

bool TFloatField::IsValidChar(QChar Ch) const
{
    return Ch == QLatin1Char('+') || Ch == QLatin1Char('-') || Ch == QLatin1Char('.') ||
           Ch == QLatin1Char('e') || Ch == QLatin1Char('E') ||
           (Ch >= QLatin1Char('0') && Ch <= QLatin1Char('9'));
}

Variant TFloatField::Normalize(const Variant& Value) const
{
    const double d = Value.ToDouble();
    if (!std::isfinite(d))
        InvalidValue();
    return Variant(d);
}

QByteArray TFloatField::ToNative(const Variant& Value) const
{
    const double d = Value.ToDouble();
    return QByteArray(reinterpret_cast<const char*>(&d), sizeof d);
}

Variant TFloatField::FromNative(const QByteArray& Bytes) const
{
    double d = 0;
    std::memcpy(&d, Bytes.constData(), sizeof d);
    return Variant(d);
}

void TFloatField::GetText(QString& Text, bool DisplayText) const
{
    Variant v;
    if (!GetValueRaw(v)) {
        Text.clear();
        return;
    }
    const QString format = DisplayText || EditFormat().isEmpty() ? DisplayFormat() : EditFormat();
    Text = format.isEmpty() ? QString::number(v.ToDouble(), 'g', m_precision)
                            : FormatNumber(format, v.ToDouble());
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TBooleanField::StaticClassInfo()
{
    using C = TBooleanField;
    static const TClassInfo info =
        TClassBuilder<C>("TBooleanField")
            .Property("DisplayValues", &C::DisplayValues, &C::SetDisplayValues)
            .Build();
    return info;
}

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner)
{
    SetDataType(ftBoolean);
}

void TBooleanField::SetAsBoolean(bool Value)
{
    SetValueRaw(Variant(Value));
}

QString TBooleanField::GetAsString() const
{
    Variant v;
    if (!GetValueRaw(v))
        return QString();
    return m_displayValues.section(QLatin1Char(';'), v.ToBool() ? 0 : 1, v.ToBool() ? 0 : 1);
}

void TBooleanField::SetAsString(const QString& Value)
{
    if (Value.isEmpty()) {
        Clear();
        return;
    }
    const QString t = m_displayValues.section(QLatin1Char(';'), 0, 0);
    const QString f = m_displayValues.section(QLatin1Char(';'), 1, 1);
    if (Value.compare(t, Qt::CaseInsensitive) == 0 ||
        (!t.isEmpty() && t.startsWith(Value, Qt::CaseInsensitive)))
        SetAsBoolean(true);
    else if (Value.compare(f, Qt::CaseInsensitive) == 0 ||
             (!f.isEmpty() && f.startsWith(Value, Qt::CaseInsensitive)))
        SetAsBoolean(false);
    else
        DatabaseError(QStringLiteral("'%1' is not a valid boolean value for field '%2'")
                          .arg(Value, DisplayName()));
}

Variant TBooleanField::Normalize(const Variant& Value) const
{
    return Variant(Value.ToBool());
}

QByteArray TBooleanField::ToNative(const Variant& Value) const
{
    QByteArray b(2, '\0');
    qToLittleEndian<qint16>(Value.ToBool() ? 1 : 0, b.data());
    return b;
}

Variant TBooleanField::FromNative(const QByteArray& Bytes) const
{
    return Variant(qFromLittleEndian<qint16>(Bytes.constData()) != 0);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TDateTimeField::StaticClassInfo()
{
    using C = TDateTimeField;
    static const TClassInfo info =
        TClassBuilder<C>("TDateTimeField")
            .Property("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat)
            .Build();
    return info;
}

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner)
{
    SetDataType(ftDateTime);
}

void TDateTimeField::SetAsDateTime(const QDateTime& Value)
{
    if (!Value.isValid()) {
        Clear();
        return;
    }
    SetValueRaw(Variant(Value));
}

void TDateTimeField::SetAsString(const QString& Value)
{
    if (Value.trimmed().isEmpty()) {
        Clear();
        return;
    }
    const QString fmt = m_displayFormat.isEmpty() ? DefaultFormat() : m_displayFormat;
    QDateTime dt = QDateTime::fromString(Value.trimmed(), fmt);
    if (!dt.isValid())
        dt = QDateTime::fromString(Value.trimmed(), Qt::ISODate);
    if (!dt.isValid())
        DatabaseError(QStringLiteral("'%1' is not a valid date and time for field '%2'")
                          .arg(Value, DisplayName()));
    SetAsDateTime(dt);
}

QString TDateTimeField::GetAsString() const
{
    Variant v;
    if (!GetValueRaw(v))
        return QString();
    return v.ToDateTime().toString(m_displayFormat.isEmpty() ? DefaultFormat() : m_displayFormat);
}

Variant TDateTimeField::Normalize(const Variant& Value) const
{
    QDateTime dt = Value.ToDateTime();
    if (!dt.isValid())
        InvalidValue();
    dt.setTimeSpec(Qt::LocalTime);
    return Variant(dt);
}

QByteArray TDateTimeField::ToNative(const Variant& Value) const
{
    // Milliseconds since the epoch, local calendar time read as UTC so no zone shifts it.
    QDateTime dt = Value.ToDateTime();
    const qint64 ms = QDateTime(dt.date(), dt.time(), Qt::UTC).toMSecsSinceEpoch();
    QByteArray b(8, '\0');
    qToLittleEndian<qint64>(ms, b.data());
    return b;
}

Variant TDateTimeField::FromNative(const QByteArray& Bytes) const
{
    const QDateTime utc =
        QDateTime::fromMSecsSinceEpoch(qFromLittleEndian<qint64>(Bytes.constData()), Qt::UTC);
    return Variant(QDateTime(utc.date(), utc.time(), Qt::LocalTime));
}

const TClassInfo& TDateField::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TDateField>("TDateField").Build();
    return info;
}

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner)
{
    SetDataType(ftDate);
}

Variant TDateField::Normalize(const Variant& Value) const
{
    QDateTime dt = TDateTimeField::Normalize(Value).ToDateTime();
    return Variant(QDateTime(dt.date(), QTime(0, 0), Qt::LocalTime));
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TBlobField::StaticClassInfo()
{
    using C = TBlobField;
    static const TClassInfo info = TClassBuilder<C>("TBlobField")
                                       .Property("BlobType", &C::BlobType, &C::SetBlobType)
                                       .Property("Size", &C::Size, &C::SetSize)
                                       .Build();
    return info;
}

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner)
{
    SetDataType(ftBlob);
}

void TBlobField::SetBlobType(TFieldType Value)
{
    if (Value != ftBlob && Value != ftMemo && Value != ftGraphic && Value != ftFmtMemo)
        DatabaseError(QStringLiteral("%1 is not a blob type").arg(FieldTypeName(Value)), this);
    SetDataType(Value);
}

Variant TBlobField::Normalize(const Variant& Value) const
{
    return Variant(Value.ToBytes());
}

void TBlobField::SaveToStream(TStream* Stream) const
{
    Stream->WriteBytes(AsBytes());
}

void TBlobField::LoadFromStream(TStream* Stream)
{
    Stream->SetPosition(0);
    SetValueRaw(Variant(Stream->ReadBytes()));
}

void TBlobField::SaveToFile(const QString& FileName) const
{
    TMemoryStream m(AsBytes());
    m.SaveToFile(FileName);
}

void TBlobField::LoadFromFile(const QString& FileName)
{
    TMemoryStream m;
    m.LoadFromFile(FileName);
    LoadFromStream(&m);
}

QString TBlobField::GetAsString() const
{
    return QString::fromUtf8(AsBytes());
}

void TBlobField::SetAsString(const QString& Value)
{
    SetValueRaw(Variant(Value.toUtf8()));
}

void TBlobField::GetText(QString& Text, bool) const
{
    Text = IsNull() ? QStringLiteral("(blob)") : QStringLiteral("(BLOB)");
}

const TClassInfo& TMemoField::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TMemoField>("TMemoField").Build();
    return info;
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner)
{
    SetDataType(ftMemo);
}

void TMemoField::GetText(QString& Text, bool DisplayText) const
{
    if (DisplayText)
        Text = IsNull() ? QStringLiteral("(memo)") : QStringLiteral("(MEMO)");
    else
        Text = GetAsString();
}

const TClassInfo& DefaultFieldClass(TFieldType Type)
{
    switch (Type) {
    case ftString:
        return TStringField::StaticClassInfo();
    case ftSmallint:
        return TSmallintField::StaticClassInfo();
    case ftInteger:
    case ftWord:
        return TIntegerField::StaticClassInfo();
    case ftAutoInc:
        return TAutoIncField::StaticClassInfo();
    case ftBoolean:
        return TBooleanField::StaticClassInfo();
    case ftFloat:
    case ftCurrency:
    case ftBCD:
        return TFloatField::StaticClassInfo();
    case ftDate:
        return TDateField::StaticClassInfo();
    case ftTime:
    case ftDateTime:
        return TDateTimeField::StaticClassInfo();
    case ftMemo:
    case ftFmtMemo:
        return TMemoField::StaticClassInfo();
    case ftBlob:
    case ftGraphic:
    case ftBytes:
    case ftVarBytes:
        return TBlobField::StaticClassInfo();
    case ftUnknown:
        break;
    }
    DatabaseError(QStringLiteral("Field type %1 is not supported").arg(FieldTypeName(Type)));
}

VYN_REGISTER_CLASS(TField)
VYN_REGISTER_CLASS(TStringField)
VYN_REGISTER_CLASS(TIntegerField)
VYN_REGISTER_CLASS(TSmallintField)
VYN_REGISTER_CLASS(TAutoIncField)
VYN_REGISTER_CLASS(TFloatField)
VYN_REGISTER_CLASS(TBooleanField)
VYN_REGISTER_CLASS(TDateTimeField)
VYN_REGISTER_CLASS(TDateField)
VYN_REGISTER_CLASS(TBlobField)
VYN_REGISTER_CLASS(TMemoField)

} // namespace vyn
