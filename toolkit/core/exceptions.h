#pragma once
// The exception family every layer raises and catches. Messages are plain 8-bit text.

#include <exception>
#include <string>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const std::string& Message() const noexcept { return FMessage; }
  void SetMessage(std::string message) { FMessage = std::move(message); }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
};

// Declares an exception class that only differs from its parent by its type.
#define ORVANTA_EXCEPTION(name, parent) \
  class name : public parent {          \
   public:                              \
    using parent::parent;               \
  };

// A user's cancel: travels like any exception but is never shown.
class EAbort : public Exception {
 public:
  EAbort();
  using Exception::Exception;
};

ORVANTA_EXCEPTION(EConvertError, Exception)
ORVANTA_EXCEPTION(EListError, Exception)
ORVANTA_EXCEPTION(EStreamError, Exception)
ORVANTA_EXCEPTION(EReadError, EStreamError)
ORVANTA_EXCEPTION(EWriteError, EStreamError)
ORVANTA_EXCEPTION(EFileStreamError, EStreamError)
ORVANTA_EXCEPTION(EFOpenError, EFileStreamError)
ORVANTA_EXCEPTION(EFCreateError, EFileStreamError)
ORVANTA_EXCEPTION(EInvalidGraphic, Exception)
ORVANTA_EXCEPTION(EInvalidGraphicOperation, Exception)
ORVANTA_EXCEPTION(EOutOfResources, Exception)
ORVANTA_EXCEPTION(EInvalidOperation, Exception)
ORVANTA_EXCEPTION(EIntError, Exception)
ORVANTA_EXCEPTION(EIntOverflow, EIntError)
ORVANTA_EXCEPTION(ERangeError, EIntError)
ORVANTA_EXCEPTION(EDivByZero, EIntError)
ORVANTA_EXCEPTION(EMathError, Exception)
ORVANTA_EXCEPTION(EInvalidOp, EMathError)

// Raises the silent abort.
[[noreturn]] void Abort();
