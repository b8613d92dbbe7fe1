#pragma once

#include <QString>
#include <QStringList>
#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <vector>

namespace vyn {

class TObject;
class TComponent;
class TClassInfo;

// ---------------------------------------------------------------------------------------------
// Enumerations with names. VYN_ENUM declares an unscoped enumeration of consecutive members and
// records their names, so layouts and published properties can use them by name.

class TEnumInfo
{
public:
    TEnumInfo(const char* typeName, const char* memberList);
    const QString& TypeName() const { return m_typeName; }
    int Count() const { return int(m_names.size()); }
    const QString& Name(int ordinal) const { return m_names.at(ordinal); }
    // Ordinal of a member name (case-insensitive), or -1.
    int ValueOf(const QString& name) const;

private:
    QString m_typeName;
    QStringList m_names;
};

#define VYN_ENUM(Name, ...)                                                                        \
    enum Name : int { __VA_ARGS__ };                                                               \
    inline const ::vyn::TEnumInfo& VynEnumInfo(Name*)                                              \
    {                                                                                              \
        static const ::vyn::TEnumInfo info(#Name, #__VA_ARGS__);                                   \
        return info;                                                                               \
    }

template <class E>
concept NamedEnum = std::is_enum_v<E> && requires(E* p)
{
    VynEnumInfo(p);
};

template <NamedEnum E> const TEnumInfo& EnumInfo()
{
    return VynEnumInfo(static_cast<E*>(nullptr));
}

// Identifier constants an integer property accepts in a layout (colours, cursors, ...).
using TIdentMap = std::vector<std::pair<QString, std::int64_t>>;

// ---------------------------------------------------------------------------------------------
// Published members.

enum class TPropKind {
    String,
    Integer,
    Float,
    Boolean,
    Enumeration,
    Set,
    Object,     // a reference to a component
    Method,     // an event
    StringList, // a TStrings owned by the object
    Persistent, // a nested persistent owned by the object (a font)
    Bytes,      // binary data
};

QString PropKindName(TPropKind kind);

struct TPropInfo
{
    QString Name;
    TPropKind Kind = TPropKind::Integer;
    const TEnumInfo* Enum = nullptr; // Enumeration and Set
    // Object, StringList, Persistent: the declared class. A function, since a class may
    // publish a reference to its own kind while its information is being built.
    const TClassInfo& (*ObjectClassOf)() = nullptr;
    const TClassInfo* ObjectClass() const { return ObjectClassOf ? &ObjectClassOf() : nullptr; }
    std::type_index EventType = typeid(void); // Method
    const TIdentMap* Idents = nullptr;        // Integer
    std::int64_t MinValue = 0, MaxValue = 0;  // Integer: the range of its type

    std::function<QString(TObject*)> GetString;
    std::function<void(TObject*, const QString&)> SetString;
    std::function<std::int64_t(TObject*)> GetOrdinal; // Integer, Boolean, Enumeration, Set
    std::function<void(TObject*, std::int64_t)> SetOrdinal;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<TObject*(TObject*)> GetObject; // Object, StringList, Persistent
    std::function<void(TObject*, TObject*)> SetObject;
    std::function<std::any(TObject*)> GetMethod; // the Event<...> value
    std::function<void(TObject*, const std::any&)> SetMethod;
    std::function<QByteArray(TObject*)> GetBytes;
    std::function<void(TObject*, const QByteArray&)> SetBytes;

    bool IsWritable() const;
};

// A published field: a component of a form, reached by its name.
struct TFieldInfo
{
    QString Name;
    const TClassInfo& (*FieldClassOf)() = nullptr;
    const TClassInfo* FieldClass() const { return &FieldClassOf(); }
    std::function<TComponent*(TObject*)> Get;
    std::function<void(TObject*, TComponent*)> Set;
};

// A published method: an event handler, bound to an object as an Event<...> value.
struct TMethodInfo
{
    QString Name;
    std::type_index EventType = typeid(void);
    std::function<std::any(TObject*)> Bind;
};

// The run-time class information of one class: its name, its parent and what it publishes.
class TClassInfo
{
public:
    using Factory = std::function<TComponent*(TComponent* owner)>;

    TClassInfo(QString name, const TClassInfo* parent);
    TClassInfo(TClassInfo&&) = default;

    const QString& ClassName() const { return m_name; }
    const TClassInfo* ClassParent() const { return m_parent; }
    bool InheritsFrom(const TClassInfo* other) const;
    // True when components of this class can be created by name (from a layout).
    bool IsCreatable() const { return static_cast<bool>(m_factory); }
    TComponent* Create(TComponent* owner) const;

    // Look-ups walk the class chain from this class up; the nearest declaration wins, so a
    // descendant can publish a property again with another kind.
    const TPropInfo* FindProperty(const QString& name) const;
    const TFieldInfo* FindField(const QString& name) const;
    const TMethodInfo* FindMethod(const QString& name) const;
    // Every published property, nearest declarations first, each name once.
    std::vector<const TPropInfo*> Properties() const;

    // Own declarations (used by the builder).
    std::vector<TPropInfo> OwnProperties;
    std::vector<TFieldInfo> OwnFields;
    std::vector<TMethodInfo> OwnMethods;
    Factory m_factory;

private:
    QString m_name;
    const TClassInfo* m_parent;
};

// Registry of classes by name, for layouts.
bool RegisterClass(const TClassInfo& info);
const TClassInfo* GetClass(const QString& name);  // null when unknown
const TClassInfo& FindClass(const QString& name); // raises EClassNotFound

// Declares a class's run-time information. Put it first in the class body; define
// StaticClassInfo() in the class's source file with a TClassBuilder.
#define VYN_CLASS(Class, Parent)                                                                   \
public:                                                                                            \
    using inherited = Parent;                                                                      \
    static const ::vyn::TClassInfo& StaticClassInfo();                                             \
    const ::vyn::TClassInfo& ClassInfo() const override                                            \
    {                                                                                              \
        return StaticClassInfo();                                                                  \
    }                                                                                              \
                                                                                                   \
private:

// Makes a class findable by name from layouts.
#define VYN_REGISTER_CLASS(Class)                                                                  \
    namespace {                                                                                    \
    [[maybe_unused]] const bool vynRegistered_##Class =                                            \
        ::vyn::RegisterClass(Class::StaticClassInfo());                                            \
    }

// ---------------------------------------------------------------------------------------------

class TObject
{
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
    QString ClassName() const { return ClassInfo().ClassName(); }
    bool InheritsFrom(const TClassInfo& cls) const { return ClassInfo().InheritsFrom(&cls); }
};

// An object that can copy its state from another with Assign.
class TPersistent : public TObject
{
    VYN_CLASS(TPersistent, TObject)
public:
    // Copies Source's state. The default asks Source to AssignTo this object, and fails with
    // EConvertError when neither side knows the other.
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
};

} // namespace vyn
