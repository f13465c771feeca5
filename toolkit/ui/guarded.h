#pragma once
// The one door through which the event loop enters the program's code. Every Qt signal, event
// override and hook that runs a handler goes through Guarded, so no exception ever crosses Qt's event
// loop: a silent abort is dropped, every other exception is shown by the application object.

#include <exception>
#include <utility>

#include <QObject>

// Shows the exception the way the application shows errors (implemented in application.cpp).
void HandleHandlerException(std::exception_ptr exception) noexcept;

template <class F>
void Guarded(F&& fn) noexcept {
  try {
    std::forward<F>(fn)();
  } catch (...) {
    HandleHandlerException(std::current_exception());
  }
}

// Connects a Qt signal to a member of a receiver, guarded. The member receives the signal's
// arguments. The connection ends when either object goes.
template <class Sender, class Signal, class Receiver, class Method>
QMetaObject::Connection Connect(Sender* sender, Signal signal, Receiver* receiver, Method method) {
  return QObject::connect(sender, signal, receiver, [receiver, method](auto&&... args) {
    Guarded([&] { (receiver->*method)(std::forward<decltype(args)>(args)...); });
  });
}
