#include "platform/core/Variant.h"

#include "platform/core/Exception.h"

#include <cmath>
#include <limits>

namespace vyn {

QString VarTypeName(TVarType type)
{
    switch (type) {
    case TVarType::Unassigned:
        return QStringLiteral("Unassigned");
    case TVarType::Null:
        return QStringLiteral("Null");
    case TVarType::Boolean:
        return QStringLiteral("Boolean");
    case TVarType::Integer:
        return QStringLiteral("Integer");
    case TVarType::Float:
        return QStringLiteral("Float");
    case TVarType::String:
        return QStringLiteral("String");
    case TVarType::DateTime:
        return QStringLiteral("DateTime");
    case TVarType::Bytes:
        return QStringLiteral("Bytes");
    }
    return {};
}

namespace {

[[noreturn]] void CannotConvert(const Variant& v, TVarType to)
{
    QString shown = v.Type() == TVarType::Bytes ? QStringLiteral("(bytes)") : v.ToString();
    throw EVariantError(QStringLiteral("Could not convert variant '%1' of type (%2) into type (%3)")
                            .arg(shown, VarTypeName(v.Type()), VarTypeName(to)));
}

} // namespace

QString Variant::ToString() const
{
    switch (Type()) {
    case TVarType::Unassigned:
    case TVarType::Null:
        return {};
    case TVarType::Boolean:
        return std::get<bool>(m_value) ? QStringLiteral("True") : QStringLiteral("False");
    case TVarType::Integer:
        return QString::number(std::get<std::int64_t>(m_value));
    case TVarType::Float:
        return QString::number(std::get<double>(m_value), 'g', 15);
    case TVarType::String:
        return std::get<QString>(m_value);
    case TVarType::DateTime:
        return std::get<QDateTime>(m_value).toString(Qt::ISODate);
    case TVarType::Bytes:
        return QString::fromUtf8(std::get<QByteArray>(m_value));
    }
    return {};
}

std::int64_t Variant::ToInt64() const
{
    switch (Type()) {
    case TVarType::Unassigned:
    case TVarType::Null:
        return 0;
    case TVarType::Boolean:
        return std::get<bool>(m_value) ? 1 : 0;
    case TVarType::Integer:
        return std::get<std::int64_t>(m_value);
    case TVarType::Float: {
        double d = std::get<double>(m_value);
        if (!std::isfinite(d) || d >= 9.2e18 || d <= -9.2e18)
            CannotConvert(*this, TVarType::Integer);
        return static_cast<std::int64_t>(std::llround(d));
    }
    case TVarType::String: {
        bool ok = false;
        std::int64_t n = std::get<QString>(m_value).trimmed().toLongLong(&ok);
        if (!ok)
            CannotConvert(*this, TVarType::Integer);
        return n;
    }
    default:
        CannotConvert(*this, TVarType::Integer);
    }
}

int Variant::ToInt() const
{
    std::int64_t n = ToInt64();
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        CannotConvert(*this, TVarType::Integer);
    return static_cast<int>(n);
}

double Variant::ToDouble() const
{
    switch (Type()) {
    case TVarType::Unassigned:
    case TVarType::Null:
        return 0;
    case TVarType::Boolean:
        return std::get<bool>(m_value) ? 1 : 0;
    case TVarType::Integer:
        return double(std::get<std::int64_t>(m_value));
    case TVarType::Float:
        return std::get<double>(m_value);
    case TVarType::String: {
        bool ok = false;
        double d = std::get<QString>(m_value).trimmed().toDouble(&ok);
        if (!ok)
            CannotConvert(*this, TVarType::Float);
        return d;
    }
    default:
        CannotConvert(*this, TVarType::Float);
    }
}

bool Variant::ToBool() const
{
    switch (Type()) {
    case TVarType::Unassigned:
    case TVarType::Null:
        return false;
    case TVarType::Boolean:
        return std::get<bool>(m_value);
    case TVarType::Integer:
        return std::get<std::int64_t>(m_value) != 0;
    case TVarType::Float:
        return std::get<double>(m_value) != 0;
    case TVarType::String: {
        const QString s = std::get<QString>(m_value).trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        std::int64_t n = s.toLongLong(&ok);
        if (!ok)
            CannotConvert(*this, TVarType::Boolean);
        return n != 0;
    }
    default:
        CannotConvert(*this, TVarType::Boolean);
    }
}

QDateTime Variant::ToDateTime() const
{
    switch (Type()) {
    case TVarType::Unassigned:
    case TVarType::Null:
        return {};
    case TVarType::DateTime:
        return std::get<QDateTime>(m_value);
    case TVarType::String: {
        QDateTime dt = QDateTime::fromString(std::get<QString>(m_value).trimmed(), Qt::ISODate);
        if (!dt.isValid())
            CannotConvert(*this, TVarType::DateTime);
        return dt;
    }
    default:
        CannotConvert(*this, TVarType::DateTime);
    }
}

QByteArray Variant::ToBytes() const
{
    switch (Type()) {
    case TVarType::Unassigned:
    case TVarType::Null:
        return {};
    case TVarType::Bytes:
        return std::get<QByteArray>(m_value);
    case TVarType::String:
        return std::get<QString>(m_value).toUtf8();
    default:
        CannotConvert(*this, TVarType::Bytes);
    }
}

} // namespace vyn
