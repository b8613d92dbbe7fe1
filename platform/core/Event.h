#pragma once

#include <array>
#include <cstring>
#include <functional>
#include <type_traits>
#include <utility>

namespace vyn {

class TObject;

// An event: a handler that can be assigned, tested ("assigned?"), copied and called.
// A handler bound to an object's method remembers the object and the method, so two events
// bound to the same method of the same object compare equal, as the toolkit's method pointers.
template <class Sig> class Event;

template <class R, class... A> class Event<R(A...)>
{
public:
    using Signature = R(A...);

    Event() = default;
    Event(std::nullptr_t) {}

    // Any callable: a lambda or a free function.
    template <class F, class = std::enable_if_t<std::is_invocable_r_v<R, F&, A...> &&
                                                !std::is_same_v<std::decay_t<F>, Event>>>
    Event(F f) : m_fn(std::move(f))
    {}

    // A method of an object.
    template <class C, class M> Event(C* object, R (M::*method)(A...)) : m_data(object)
    {
        static_assert(std::is_base_of_v<M, C>);
        m_fn = [object, method](A... args) -> R {
            return (object->*method)(std::forward<A>(args)...);
        };
        static_assert(sizeof(method) <= sizeof(m_code));
        std::memcpy(m_code.data(), &method, sizeof(method));
        m_isMethod = true;
    }

    bool Assigned() const { return static_cast<bool>(m_fn); }
    explicit operator bool() const { return Assigned(); }

    // Calling an unassigned event does nothing.
    R operator()(A... args) const
    {
        if (!m_fn) {
            if constexpr (std::is_void_v<R>)
                return;
            else
                return R{};
        }
        return m_fn(std::forward<A>(args)...);
    }

    // The object a method handler is bound to; null for other handlers.
    void* Data() const { return m_data; }

    bool operator==(const Event& o) const
    {
        if (!Assigned() || !o.Assigned())
            return Assigned() == o.Assigned();
        return m_isMethod && o.m_isMethod && m_data == o.m_data && m_code == o.m_code;
    }

private:
    std::function<R(A...)> m_fn;
    void* m_data = nullptr;
    std::array<unsigned char, 2 * sizeof(void*)> m_code{};
    bool m_isMethod = false;
};

using TNotifyEvent = Event<void(TObject* Sender)>;

} // namespace vyn
