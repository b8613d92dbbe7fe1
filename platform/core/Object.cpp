#include "platform/core/Object.h"

#include "platform/core/Component.h"
#include "platform/core/Exception.h"
#include "platform/core/TypInfo.h"

#include <QHash>
#include <QMutex>
#include <QSet>

namespace vyn {

TEnumInfo::TEnumInfo(const char* typeName, const char* memberList)
    : m_typeName(QString::fromLatin1(typeName))
{
    for (const QString& part : QString::fromLatin1(memberList).split(QLatin1Char(',')))
        m_names.append(part.trimmed());
}

int TEnumInfo::ValueOf(const QString& name) const
{
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString PropKindName(TPropKind kind)
{
    switch (kind) {
    case TPropKind::String:
        return QStringLiteral("string");
    case TPropKind::Integer:
        return QStringLiteral("integer");
    case TPropKind::Float:
        return QStringLiteral("float");
    case TPropKind::Boolean:
        return QStringLiteral("boolean");
    case TPropKind::Enumeration:
        return QStringLiteral("enumeration");
    case TPropKind::Set:
        return QStringLiteral("set");
    case TPropKind::Object:
        return QStringLiteral("component reference");
    case TPropKind::Method:
        return QStringLiteral("event");
    case TPropKind::StringList:
        return QStringLiteral("string list");
    case TPropKind::Persistent:
        return QStringLiteral("nested object");
    case TPropKind::Bytes:
        return QStringLiteral("binary data");
    }
    return {};
}

bool TPropInfo::IsWritable() const
{
    switch (Kind) {
    case TPropKind::String:
        return static_cast<bool>(SetString);
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Enumeration:
    case TPropKind::Set:
        return static_cast<bool>(SetOrdinal);
    case TPropKind::Float:
        return static_cast<bool>(SetFloat);
    case TPropKind::Object:
    case TPropKind::StringList:
    case TPropKind::Persistent:
        return static_cast<bool>(SetObject);
    case TPropKind::Method:
        return static_cast<bool>(SetMethod);
    case TPropKind::Bytes:
        return static_cast<bool>(SetBytes);
    }
    return false;
}

// ---------------------------------------------------------------------------------------------

TClassInfo::TClassInfo(QString name, const TClassInfo* parent)
    : m_name(std::move(name)), m_parent(parent)
{}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const
{
    for (const TClassInfo* c = this; c; c = c->m_parent)
        if (c == other)
            return true;
    return false;
}

TComponent* TClassInfo::Create(TComponent* owner) const
{
    if (!m_factory)
        throw EClassNotFound(QStringLiteral("Class %1 cannot be created by name").arg(m_name));
    return m_factory(owner);
}

namespace {

template <class T>
const T* FindByName(const TClassInfo* cls, const QString& name, std::vector<T> TClassInfo::*list)
{
    for (const TClassInfo* c = cls; c; c = c->ClassParent())
        for (const T& item : c->*list)
            if (item.Name.compare(name, Qt::CaseInsensitive) == 0)
                return &item;
    return nullptr;
}

} // namespace

const TPropInfo* TClassInfo::FindProperty(const QString& name) const
{
    return FindByName(this, name, &TClassInfo::OwnProperties);
}

const TFieldInfo* TClassInfo::FindField(const QString& name) const
{
    return FindByName(this, name, &TClassInfo::OwnFields);
}

const TMethodInfo* TClassInfo::FindMethod(const QString& name) const
{
    return FindByName(this, name, &TClassInfo::OwnMethods);
}

std::vector<const TPropInfo*> TClassInfo::Properties() const
{
    std::vector<const TPropInfo*> result;
    QSet<QString> seen;
    for (const TClassInfo* c = this; c; c = c->m_parent)
        for (const TPropInfo& p : c->OwnProperties) {
            const QString key = p.Name.toLower();
            if (!seen.contains(key)) {
                seen.insert(key);
                result.push_back(&p);
            }
        }
    return result;
}

// ---------------------------------------------------------------------------------------------

namespace {

struct ClassRegistry
{
    QMutex lock;
    QHash<QString, const TClassInfo*> byName; // lower-case names
};

ClassRegistry& Registry()
{
    static ClassRegistry registry;
    return registry;
}

} // namespace

bool RegisterClass(const TClassInfo& info)
{
    ClassRegistry& r = Registry();
    QMutexLocker guard(&r.lock);
    const QString key = info.ClassName().toLower();
    auto it = r.byName.find(key);
    if (it != r.byName.end())
        return it.value() == &info;
    r.byName.insert(key, &info);
    return true;
}

const TClassInfo* GetClass(const QString& name)
{
    ClassRegistry& r = Registry();
    QMutexLocker guard(&r.lock);
    return r.byName.value(name.toLower(), nullptr);
}

const TClassInfo& FindClass(const QString& name)
{
    if (const TClassInfo* c = GetClass(name))
        return *c;
    throw EClassNotFound(QStringLiteral("Class %1 not found").arg(name));
}

// ---------------------------------------------------------------------------------------------

TObject::~TObject() = default;

const TClassInfo& TObject::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TObject>("TObject").Build();
    return info;
}

const TClassInfo& TPersistent::StaticClassInfo()
{
    static const TClassInfo info = TClassBuilder<TPersistent>("TPersistent").Build();
    return info;
}

void TPersistent::Assign(TPersistent* Source)
{
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source)
{
    const QString from = Source ? Source->ClassName() : QStringLiteral("nil");
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(from, ClassName()));
}

VYN_REGISTER_CLASS(TObject)
VYN_REGISTER_CLASS(TPersistent)

} // namespace vyn
