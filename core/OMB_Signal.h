// Signals, slots and member-function delegates. Widgets and listeners connect
// through these: an OMB_Signal keeps its slots in connection order and calls
// them in that order. A slot is keyed by its receiver so that the receiver can
// disconnect itself before it dies (never from inside a call of the signal);
// the signal never owns receivers.
#pragma once

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

// A bound member function: object plus method, called like a function.
template <typename... Args>
class OMB_ClassFunc {
public:
    OMB_ClassFunc() = default;
    template <typename T>
    OMB_ClassFunc(T* object, void (T::*method)(Args...))
        : m_object(object), m_call([object, method](Args... args) { (object->*method)(args...); }) {}

    explicit operator bool() const { return static_cast<bool>(m_call); }
    void operator()(Args... args) const {
        if (m_call) m_call(args...);
    }
    const void* Object() const { return m_object; }

private:
    const void* m_object = nullptr;
    std::function<void(Args...)> m_call;
};

template <typename... Args>
class OMB_Signal {
public:
    template <typename T>
    void Connect(T* object, void (T::*method)(Args...)) {
        m_slots.emplace_back(object, method);
    }
    // Removes every slot bound to `object`.
    void Disconnect(const void* object) {
        m_slots.erase(std::remove_if(m_slots.begin(), m_slots.end(),
                                     [object](const Slot& s) { return s.Object() == object; }),
                      m_slots.end());
    }
    // Slots are called in connection order. A slot may connect new slots
    // (they are called too) but must not disconnect while the signal runs.
    void Emit(Args... args) const {
        for (size_t i = 0; i < m_slots.size(); ++i) m_slots[i](args...);
    }

private:
    using Slot = OMB_ClassFunc<Args...>;
    std::vector<Slot> m_slots;
};

template <typename A>
using OMB_Signal1 = OMB_Signal<A>;
template <typename A, typename B>
using OMB_Signal2 = OMB_Signal<A, B>;
