#pragma once

// Published members: declaring them (TClassBuilder) and reaching them by name at run time.

#include "platform/core/Component.h"
#include "platform/core/Event.h"
#include "platform/core/Exception.h"
#include "platform/core/Object.h"
#include "platform/core/Set.h"
#include "platform/core/Strings.h"

#include <QByteArray>
#include <any>
#include <functional>
#include <limits>
#include <type_traits>

namespace vyn {

namespace detail {

template <class T> struct IsSet : std::false_type
{
};
template <class E> struct IsSet<Set<E>> : std::true_type
{
    using Enum = E;
};

template <class T> struct IsEvent : std::false_type
{
};
template <class Sig> struct IsEvent<Event<Sig>> : std::true_type
{
};

template <class T> constexpr TPropKind KindOf()
{
    if constexpr (std::is_same_v<T, QString>)
        return TPropKind::String;
    else if constexpr (std::is_same_v<T, bool>)
        return TPropKind::Boolean;
    else if constexpr (std::is_integral_v<T>)
        return TPropKind::Integer;
    else if constexpr (std::is_floating_point_v<T>)
        return TPropKind::Float;
    else if constexpr (NamedEnum<T>)
        return TPropKind::Enumeration;
    else if constexpr (IsSet<T>::value)
        return TPropKind::Set;
    else if constexpr (std::is_same_v<T, QByteArray>)
        return TPropKind::Bytes;
    else if constexpr (IsEvent<T>::value)
        return TPropKind::Method;
    else if constexpr (std::is_pointer_v<T>) {
        using P = std::remove_cv_t<std::remove_pointer_t<T>>;
        if constexpr (std::is_base_of_v<TStrings, P>)
            return TPropKind::StringList;
        else if constexpr (std::is_base_of_v<TComponent, P>)
            return TPropKind::Object;
        else {
            static_assert(std::is_base_of_v<TPersistent, P>, "unsupported published type");
            return TPropKind::Persistent;
        }
    } else {
        static_assert(sizeof(T) == 0, "unsupported published type");
    }
}

// Calls a setter that may be a member function, a member object or a callable.
template <class C, class S, class V> void CallSetter(const S& set, C* obj, V&& value)
{
    if constexpr (std::is_member_object_pointer_v<S>)
        obj->*set = std::forward<V>(value);
    else
        std::invoke(set, obj, std::forward<V>(value));
}

} // namespace detail

// Builds the run-time information of class C. Getters and setters may be member functions,
// member objects or callables taking C*.
template <class C> class TClassBuilder
{
public:
    explicit TClassBuilder(const char* name) : m_info(QString::fromLatin1(name), ParentInfo())
    {
        if constexpr (std::is_base_of_v<TComponent, C> && !std::is_abstract_v<C> &&
                      std::is_constructible_v<C, TComponent*>)
            m_info.m_factory = [](TComponent* owner) -> TComponent* { return new C(owner); };
    }

    // A property readable and writable.
    template <class G, class S> TClassBuilder& Property(const char* name, G get, S set)
    {
        AddProperty(name, get, set);
        return *this;
    }
    // A read-only property.
    template <class G> TClassBuilder& Property(const char* name, G get)
    {
        AddProperty(name, get, nullptr);
        return *this;
    }
    // An event or a value held in a public member.
    template <class T> TClassBuilder& Member(const char* name, T C::*member)
    {
        return Property(name, member, member);
    }
    // Identifier constants accepted by the last integer property.
    TClassBuilder& Idents(const TIdentMap* idents)
    {
        m_info.OwnProperties.back().Idents = idents;
        return *this;
    }

    // A published field: a component of a form, set by the layout reader.
    template <class T> TClassBuilder& Field(const char* name, T* C::*member)
    {
        static_assert(std::is_base_of_v<TComponent, T>);
        TFieldInfo f;
        f.Name = QString::fromLatin1(name);
        f.FieldClassOf = &T::StaticClassInfo;
        f.Get = [member](TObject* o) -> TComponent* { return static_cast<C*>(o)->*member; };
        f.Set = [member](TObject* o, TComponent* v) {
            static_cast<C*>(o)->*member = dynamic_cast<T*>(v);
        };
        m_info.OwnFields.push_back(std::move(f));
        return *this;
    }

    // A published method: an event handler that layouts bind by name.
    template <class R, class M, class... A>
    TClassBuilder& Method(const char* name, R (M::*method)(A...))
    {
        static_assert(std::is_base_of_v<M, C>);
        using E = Event<R(A...)>;
        TMethodInfo m;
        m.Name = QString::fromLatin1(name);
        m.EventType = typeid(E);
        m.Bind = [method](TObject* o) -> std::any { return E(static_cast<C*>(o), method); };
        m_info.OwnMethods.push_back(std::move(m));
        return *this;
    }

    TClassInfo Build() { return std::move(m_info); }

private:
    static const TClassInfo* ParentInfo()
    {
        if constexpr (std::is_same_v<C, TObject>)
            return nullptr;
        else
            return &C::inherited::StaticClassInfo();
    }

    template <class G, class S> void AddProperty(const char* name, G get, S set)
    {
        using T = std::remove_cvref_t<std::invoke_result_t<G, C*>>;
        constexpr TPropKind kind = detail::KindOf<T>();
        TPropInfo p;
        p.Name = QString::fromLatin1(name);
        p.Kind = kind;
        constexpr bool writable = !std::is_same_v<S, std::nullptr_t>;
        auto self = [](TObject* o) { return static_cast<C*>(o); };

        if constexpr (kind == TPropKind::String) {
            p.GetString = [get, self](TObject* o) { return QString(std::invoke(get, self(o))); };
            if constexpr (writable)
                p.SetString = [s = set, self](TObject* o, const QString& v) {
                    detail::CallSetter(s, self(o), v);
                };
        } else if constexpr (kind == TPropKind::Integer || kind == TPropKind::Boolean ||
                             kind == TPropKind::Enumeration) {
            if constexpr (kind == TPropKind::Enumeration)
                p.Enum = &EnumInfo<T>();
            if constexpr (kind == TPropKind::Integer) {
                p.MinValue = std::int64_t(std::numeric_limits<T>::min());
                if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t))
                    p.MaxValue = std::numeric_limits<std::int64_t>::max();
                else
                    p.MaxValue = std::int64_t(std::numeric_limits<T>::max());
            }
            p.GetOrdinal = [get, self](TObject* o) {
                return static_cast<std::int64_t>(std::invoke(get, self(o)));
            };
            if constexpr (writable)
                p.SetOrdinal = [s = set, self](TObject* o, std::int64_t v) {
                    detail::CallSetter(s, self(o), static_cast<T>(v));
                };
        } else if constexpr (kind == TPropKind::Set) {
            p.Enum = &EnumInfo<typename detail::IsSet<T>::Enum>();
            p.GetOrdinal = [get, self](TObject* o) {
                return static_cast<std::int64_t>(std::invoke(get, self(o)).Ordinal());
            };
            if constexpr (writable)
                p.SetOrdinal = [s = set, self](TObject* o, std::int64_t v) {
                    detail::CallSetter(s, self(o), T::FromOrdinal(static_cast<std::uint64_t>(v)));
                };
        } else if constexpr (kind == TPropKind::Float) {
            p.GetFloat = [get, self](TObject* o) { return double(std::invoke(get, self(o))); };
            if constexpr (writable)
                p.SetFloat = [s = set, self](TObject* o, double v) {
                    detail::CallSetter(s, self(o), static_cast<T>(v));
                };
        } else if constexpr (kind == TPropKind::Bytes) {
            p.GetBytes = [get, self](TObject* o) { return QByteArray(std::invoke(get, self(o))); };
            if constexpr (writable)
                p.SetBytes = [s = set, self](TObject* o, const QByteArray& v) {
                    detail::CallSetter(s, self(o), v);
                };
        } else if constexpr (kind == TPropKind::Method) {
            p.EventType = typeid(T);
            p.GetMethod = [get, self](TObject* o) -> std::any {
                return T(std::invoke(get, self(o)));
            };
            if constexpr (writable)
                p.SetMethod = [s = set, self](TObject* o, const std::any& v) {
                    // An empty value clears the event.
                    detail::CallSetter(s, self(o),
                                       v.has_value() ? std::any_cast<const T&>(v) : T());
                };
        } else {
            using P = std::remove_cv_t<std::remove_pointer_t<T>>;
            p.ObjectClassOf = &P::StaticClassInfo;
            p.GetObject = [get, self](TObject* o) -> TObject* {
                return const_cast<P*>(std::invoke(get, self(o)));
            };
            if constexpr (writable)
                p.SetObject = [s = set, self](TObject* o, TObject* v) {
                    detail::CallSetter(s, self(o), static_cast<P*>(dynamic_cast<P*>(v)));
                };
        }
        m_info.OwnProperties.push_back(std::move(p));
    }

    TClassInfo m_info;
};

// ---------------------------------------------------------------------------------------------
// Reaching published properties by name. The names ignore case. The accessors raise
// EPropertyError when the property does not exist, has another kind, or is read-only.

const TPropInfo* GetPropInfo(const TObject* Instance, const QString& PropName);
bool IsPublishedProp(const TObject* Instance, const QString& PropName);

QString GetStrProp(TObject* Instance, const QString& PropName);
void SetStrProp(TObject* Instance, const QString& PropName, const QString& Value);
// Integer, boolean, enumeration (its position) and set (its ordinal: member n is bit 2^n).
std::int64_t GetOrdProp(TObject* Instance, const QString& PropName);
void SetOrdProp(TObject* Instance, const QString& PropName, std::int64_t Value);
double GetFloatProp(TObject* Instance, const QString& PropName);
void SetFloatProp(TObject* Instance, const QString& PropName, double Value);
QString GetEnumProp(TObject* Instance, const QString& PropName);
void SetEnumProp(TObject* Instance, const QString& PropName, const QString& Value);
// A set as its members' names: "[a,b]".
QString GetSetProp(TObject* Instance, const QString& PropName);
void SetSetProp(TObject* Instance, const QString& PropName, const QString& Value);
// Object, string list and nested persistent properties.
TObject* GetObjectProp(TObject* Instance, const QString& PropName);
void SetObjectProp(TObject* Instance, const QString& PropName, TObject* Value);
QByteArray GetBytesProp(TObject* Instance, const QString& PropName);
void SetBytesProp(TObject* Instance, const QString& PropName, const QByteArray& Value);

// The same on a property already found.
void SetOrdValue(TObject* Instance, const TPropInfo& Prop, std::int64_t Value);
void SetObjectValue(TObject* Instance, const TPropInfo& Prop, TObject* Value);
void SetMethodValue(TObject* Instance, const TPropInfo& Prop, const std::any& Value);
std::uint64_t SetNamesToOrdinal(const TPropInfo& Prop, const QStringList& Names);
[[noreturn]] void PropertyError(const TObject* Instance, const QString& PropName,
                                const QString& Problem);

// An event read by name: empty when the class publishes no event of that name or the event
// has another signature.
template <class E> E GetMethodProp(TObject* Instance, const QString& PropName)
{
    const TPropInfo* p = GetPropInfo(Instance, PropName);
    if (!p || p->Kind != TPropKind::Method || p->EventType != typeid(E))
        return E();
    return std::any_cast<E>(p->GetMethod(Instance));
}

template <class E> void SetMethodProp(TObject* Instance, const QString& PropName, const E& Value)
{
    const TPropInfo* p = GetPropInfo(Instance, PropName);
    if (!p || p->Kind != TPropKind::Method)
        PropertyError(Instance, PropName, QStringLiteral("is not a published event"));
    SetMethodValue(Instance, *p, std::any(Value));
}

// Published fields and methods.
const TFieldInfo* FindPublishedField(const TObject* Instance, const QString& Name);
const TMethodInfo* FindPublishedMethod(const TObject* Instance, const QString& Name);

// A published method of Instance bound to it, as an event of type E; empty when Instance's
// class publishes no such method or the method has another signature.
template <class E> E BindMethod(TObject* Instance, const QString& Name)
{
    const TMethodInfo* m = FindPublishedMethod(Instance, Name);
    if (!m || m->EventType != typeid(E))
        return E();
    return std::any_cast<E>(m->Bind(Instance));
}

} // namespace vyn
