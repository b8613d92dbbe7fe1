#include "platform/core/TypInfo.h"

namespace vyn {

const TPropInfo* GetPropInfo(const TObject* Instance, const QString& PropName)
{
    return Instance ? Instance->ClassInfo().FindProperty(PropName) : nullptr;
}

bool IsPublishedProp(const TObject* Instance, const QString& PropName)
{
    return GetPropInfo(Instance, PropName) != nullptr;
}

void PropertyError(const TObject* Instance, const QString& PropName, const QString& Problem)
{
    const QString cls = Instance ? Instance->ClassName() : QStringLiteral("nil");
    throw EPropertyError(QStringLiteral("Property %1.%2 %3").arg(cls, PropName, Problem));
}

namespace {

// The property, which must exist and be of one of the kinds given.
const TPropInfo& Need(const TObject* Instance, const QString& PropName,
                      std::initializer_list<TPropKind> kinds)
{
    const TPropInfo* p = GetPropInfo(Instance, PropName);
    if (!p)
        PropertyError(Instance, PropName, QStringLiteral("does not exist"));
    for (TPropKind k : kinds)
        if (p->Kind == k)
            return *p;
    PropertyError(Instance, PropName,
                  QStringLiteral("is of kind %1, not %2")
                      .arg(PropKindName(p->Kind), PropKindName(*kinds.begin())));
}

void NeedWritable(const TObject* Instance, const TPropInfo& p)
{
    if (!p.IsWritable())
        PropertyError(Instance, p.Name, QStringLiteral("is read-only"));
}

QStringList SetNames(const TPropInfo& p, std::uint64_t bits)
{
    QStringList names;
    for (int i = 0; i < p.Enum->Count() && i < 64; ++i)
        if (bits & (std::uint64_t(1) << i))
            names.append(p.Enum->Name(i));
    return names;
}

} // namespace

QString GetStrProp(TObject* Instance, const QString& PropName)
{
    return Need(Instance, PropName, {TPropKind::String}).GetString(Instance);
}

void SetStrProp(TObject* Instance, const QString& PropName, const QString& Value)
{
    const TPropInfo& p = Need(Instance, PropName, {TPropKind::String});
    NeedWritable(Instance, p);
    p.SetString(Instance, Value);
}

std::int64_t GetOrdProp(TObject* Instance, const QString& PropName)
{
    return Need(Instance, PropName,
                {TPropKind::Integer, TPropKind::Boolean, TPropKind::Enumeration, TPropKind::Set})
        .GetOrdinal(Instance);
}

void SetOrdValue(TObject* Instance, const TPropInfo& p, std::int64_t Value)
{
    NeedWritable(Instance, p);
    switch (p.Kind) {
    case TPropKind::Boolean:
        if (Value != 0 && Value != 1)
            PropertyError(Instance, p.Name, QStringLiteral("takes only True or False"));
        break;
    case TPropKind::Enumeration:
        if (Value < 0 || Value >= p.Enum->Count())
            PropertyError(
                Instance, p.Name,
                QStringLiteral("has no member %1 in %2").arg(Value).arg(p.Enum->TypeName()));
        break;
    case TPropKind::Set:
        if (p.Enum->Count() < 64 && (std::uint64_t(Value) >> p.Enum->Count()) != 0)
            PropertyError(Instance, p.Name,
                          QStringLiteral("has no such members in %1").arg(p.Enum->TypeName()));
        break;
    case TPropKind::Integer:
        if (Value < p.MinValue || Value > p.MaxValue)
            PropertyError(Instance, p.Name,
                          QStringLiteral("takes values from %1 to %2, not %3")
                              .arg(p.MinValue)
                              .arg(p.MaxValue)
                              .arg(Value));
        break;
    default:
        PropertyError(Instance, p.Name, QStringLiteral("is not an ordinal property"));
    }
    p.SetOrdinal(Instance, Value);
}

void SetOrdProp(TObject* Instance, const QString& PropName, std::int64_t Value)
{
    SetOrdValue(
        Instance,
        Need(Instance, PropName,
             {TPropKind::Integer, TPropKind::Boolean, TPropKind::Enumeration, TPropKind::Set}),
        Value);
}

double GetFloatProp(TObject* Instance, const QString& PropName)
{
    return Need(Instance, PropName, {TPropKind::Float}).GetFloat(Instance);
}

void SetFloatProp(TObject* Instance, const QString& PropName, double Value)
{
    const TPropInfo& p = Need(Instance, PropName, {TPropKind::Float});
    NeedWritable(Instance, p);
    p.SetFloat(Instance, Value);
}

QString GetEnumProp(TObject* Instance, const QString& PropName)
{
    const TPropInfo& p = Need(Instance, PropName, {TPropKind::Enumeration});
    const std::int64_t v = p.GetOrdinal(Instance);
    return v >= 0 && v < p.Enum->Count() ? p.Enum->Name(int(v)) : QString::number(v);
}

void SetEnumProp(TObject* Instance, const QString& PropName, const QString& Value)
{
    const TPropInfo& p = Need(Instance, PropName, {TPropKind::Enumeration});
    const int v = p.Enum->ValueOf(Value);
    if (v < 0)
        PropertyError(Instance, PropName,
                      QStringLiteral("has no member %1 in %2").arg(Value, p.Enum->TypeName()));
    SetOrdValue(Instance, p, v);
}

QString GetSetProp(TObject* Instance, const QString& PropName)
{
    const TPropInfo& p = Need(Instance, PropName, {TPropKind::Set});
    return QLatin1Char('[') +
           SetNames(p, std::uint64_t(p.GetOrdinal(Instance))).join(QLatin1Char(',')) +
           QLatin1Char(']');
}

std::uint64_t SetNamesToOrdinal(const TPropInfo& p, const QStringList& Names)
{
    std::uint64_t bits = 0;
    for (const QString& raw : Names) {
        const QString name = raw.trimmed();
        if (name.isEmpty())
            continue;
        const int v = p.Enum->ValueOf(name);
        if (v < 0 || v >= 64)
            throw EPropertyError(QStringLiteral("%1 is not a member of %2 (property %3)")
                                     .arg(name, p.Enum->TypeName(), p.Name));
        bits |= std::uint64_t(1) << v;
    }
    return bits;
}

void SetSetProp(TObject* Instance, const QString& PropName, const QString& Value)
{
    const TPropInfo& p = Need(Instance, PropName, {TPropKind::Set});
    QString inner = Value.trimmed();
    if (inner.startsWith(QLatin1Char('[')) && inner.endsWith(QLatin1Char(']')))
        inner = inner.mid(1, inner.size() - 2);
    SetOrdValue(Instance, p, std::int64_t(SetNamesToOrdinal(p, inner.split(QLatin1Char(',')))));
}

TObject* GetObjectProp(TObject* Instance, const QString& PropName)
{
    return Need(Instance, PropName,
                {TPropKind::Object, TPropKind::StringList, TPropKind::Persistent})
        .GetObject(Instance);
}

void SetObjectValue(TObject* Instance, const TPropInfo& p, TObject* Value)
{
    NeedWritable(Instance, p);
    if (Value && !Value->InheritsFrom(*p.ObjectClass()))
        PropertyError(Instance, p.Name,
                      QStringLiteral("takes a %1, not a %2")
                          .arg(p.ObjectClass()->ClassName(), Value->ClassName()));
    p.SetObject(Instance, Value);
}

void SetObjectProp(TObject* Instance, const QString& PropName, TObject* Value)
{
    SetObjectValue(
        Instance,
        Need(Instance, PropName, {TPropKind::Object, TPropKind::StringList, TPropKind::Persistent}),
        Value);
}

QByteArray GetBytesProp(TObject* Instance, const QString& PropName)
{
    return Need(Instance, PropName, {TPropKind::Bytes}).GetBytes(Instance);
}

void SetBytesProp(TObject* Instance, const QString& PropName, const QByteArray& Value)
{
    const TPropInfo& p = Need(Instance, PropName, {TPropKind::Bytes});
    NeedWritable(Instance, p);
    p.SetBytes(Instance, Value);
}

void SetMethodValue(TObject* Instance, const TPropInfo& p, const std::any& Value)
{
    NeedWritable(Instance, p);
    if (Value.has_value() && Value.type() != p.EventType)
        PropertyError(Instance, p.Name, QStringLiteral("takes a handler of another signature"));
    p.SetMethod(Instance, Value);
}

const TFieldInfo* FindPublishedField(const TObject* Instance, const QString& Name)
{
    return Instance ? Instance->ClassInfo().FindField(Name) : nullptr;
}

const TMethodInfo* FindPublishedMethod(const TObject* Instance, const QString& Name)
{
    return Instance ? Instance->ClassInfo().FindMethod(Name) : nullptr;
}

} // namespace vyn
