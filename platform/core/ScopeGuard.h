#pragma once

#include <exception>
#include <utility>

namespace vyn {

// Runs its action when the scope ends, however it ends: the "finally" block.
// An action that throws while another exception is already unwinding is silenced so the
// first error reaches the caller; otherwise its exception propagates.
template <class F> class ScopeGuard
{
public:
    explicit ScopeGuard(F action) : m_action(std::move(action)) {}
    ScopeGuard(ScopeGuard&& other) noexcept
        : m_action(std::move(other.m_action)), m_active(std::exchange(other.m_active, false))
    {}
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

    ~ScopeGuard() noexcept(false)
    {
        if (!m_active)
            return;
        if (std::uncaught_exceptions() > m_uncaught) {
            try {
                m_action();
            } catch (...) {
            }
        } else {
            m_action();
        }
    }

    void Dismiss() { m_active = false; }

private:
    F m_action;
    bool m_active = true;
    int m_uncaught = std::uncaught_exceptions();
};

template <class F> [[nodiscard]] ScopeGuard<F> Finally(F action)
{
    return ScopeGuard<F>(std::move(action));
}

} // namespace vyn
