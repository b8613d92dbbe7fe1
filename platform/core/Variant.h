#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <variant>

namespace vyn {

enum class TVarType { Unassigned, Null, Boolean, Integer, Float, String, DateTime, Bytes };

// The one type in which field values travel. It tells Null (a field with no value) apart from
// every value, and both from Unassigned (no value given at all).
class Variant
{
public:
    struct NullTag
    {
        bool operator==(const NullTag&) const = default;
    };
    struct UnassignedTag
    {
        bool operator==(const UnassignedTag&) const = default;
    };

    Variant() = default;
    Variant(NullTag) : m_value(NullTag{}) {}
    Variant(bool v) : m_value(v) {}
    Variant(int v) : m_value(std::int64_t(v)) {}
    Variant(unsigned v) : m_value(std::int64_t(v)) {}
    Variant(long v) : m_value(std::int64_t(v)) {}
    Variant(long long v) : m_value(std::int64_t(v)) {}
    Variant(double v) : m_value(v) {}
    Variant(const QString& v) : m_value(v) {}
    Variant(const char* v) : m_value(QString::fromUtf8(v)) {}
    Variant(const QDateTime& v) : m_value(v) {}
    Variant(const QByteArray& v) : m_value(v) {}

    static Variant Null() { return Variant(NullTag{}); }

    TVarType Type() const { return static_cast<TVarType>(m_value.index()); }
    bool IsNull() const { return Type() == TVarType::Null; }
    bool IsUnassigned() const { return Type() == TVarType::Unassigned; }
    // Null or unassigned: no value to show.
    bool IsEmpty() const { return IsNull() || IsUnassigned(); }

    // Conversions. An empty variant gives "", 0, false; a value that cannot be converted raises
    // EVariantError naming the value and the wanted type.
    QString ToString() const;
    std::int64_t ToInt64() const;
    int ToInt() const;
    double ToDouble() const;
    bool ToBool() const;
    QDateTime ToDateTime() const;
    QByteArray ToBytes() const;

    // Exact equality: same type and same value; Null equals Null.
    bool operator==(const Variant& o) const { return m_value == o.m_value; }

private:
    std::variant<UnassignedTag, NullTag, bool, std::int64_t, double, QString, QDateTime, QByteArray>
        m_value;
};

inline const Variant::NullTag Null{};

QString VarTypeName(TVarType type);
// The text of a variant, "" for Null and Unassigned.
inline QString VarToStr(const Variant& v)
{
    return v.ToString();
}

} // namespace vyn
