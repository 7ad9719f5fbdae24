// Callbacks registered on a dialog: a member function bound to its object.
#ifndef NXOPEN_CALLBACK_HXX_INCLUDED
#define NXOPEN_CALLBACK_HXX_INCLUDED
#include <functional>
#include <utility>

namespace NXOpen {
template <class R>
class Callback0 {
public:
    Callback0() = default;
    explicit Callback0(std::function<R()> fn) : m_fn(std::move(fn)) {}
    R operator()() const { return m_fn(); }
    explicit operator bool() const { return static_cast<bool>(m_fn); }

private:
    std::function<R()> m_fn;
};

template <class R, class A>
class Callback1 {
public:
    Callback1() = default;
    explicit Callback1(std::function<R(A)> fn) : m_fn(std::move(fn)) {}
    R operator()(A a) const { return m_fn(a); }
    explicit operator bool() const { return static_cast<bool>(m_fn); }

private:
    std::function<R(A)> m_fn;
};

template <class R, class A, class B>
class Callback2 {
public:
    Callback2() = default;
    explicit Callback2(std::function<R(A, B)> fn) : m_fn(std::move(fn)) {}
    R operator()(A a, B b) const { return m_fn(a, b); }
    explicit operator bool() const { return static_cast<bool>(m_fn); }

private:
    std::function<R(A, B)> m_fn;
};

template <class T, class R>
Callback0<R> make_callback(T *object, R (T::*method)()) {
    return Callback0<R>([object, method]() { return (object->*method)(); });
}

template <class T, class R, class A>
Callback1<R, A> make_callback(T *object, R (T::*method)(A)) {
    return Callback1<R, A>([object, method](A a) { return (object->*method)(a); });
}

template <class T, class R, class A, class B>
Callback2<R, A, B> make_callback(T *object, R (T::*method)(A, B)) {
    return Callback2<R, A, B>([object, method](A a, B b) { return (object->*method)(a, b); });
}
}  // namespace NXOpen
#endif
