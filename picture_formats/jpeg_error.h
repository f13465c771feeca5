#pragma once
// The libjpeg error manager of the JPEG picture class. libjpeg is C: a fatal library error must not unwind
// through its frames as a C++ exception. The error manager therefore leaves the library by longjmp to the
// landing point that JPEGProtected set, and the exception (EJPEG, or whatever C++ exception a callback
// caught) is raised only there, once every library frame is gone.
//
// Rules for code that runs inside libjpeg (error, progress, source and destination callbacks): catch
// every exception and park it with JPEGParkException, then leave with JPEGAbandon from a frame that
// holds no object with a destructor.

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <string>
#include <type_traits>

#include <jpeglib.h>

#include "picture_formats/jpeg_exception.h"

// The library's error manager extended with the landing point of the protected call in progress.
struct TJPEGErrorManager {
  jpeg_error_mgr Pub;          // first member: the library only sees this part
  std::jmp_buf Landing;        // valid while Armed
  bool Armed;                  // a protected call is running
  std::exception_ptr Pending;  // a C++ exception caught inside the library, raised after leaving it
  // libjpeg reported entropy-coded data lost or garbled (see JPEGErrorManager for the warnings that
  // count): some blocks of the picture are its filling, not the file's.
  bool DataCorrupt;
};
static_assert(std::is_standard_layout_v<TJPEGErrorManager>);

// Fills the manager from the template: fatal errors leave the library, warnings and traces are dropped,
// all but those that say the picture's data were lost or garbled, which set DataCorrupt.
// Returns the library part, for the object's err pointer.
jpeg_error_mgr* JPEGErrorManager(TJPEGErrorManager& manager);

// The library's own text of the message the manager holds (its code and parameters), as libjpeg's
// standard error manager formats it: "Not a JPEG file: starts with 0x89 0x50".
std::string JPEGMessageText(const jpeg_error_mgr& message);

// Parks the exception being handled (call from inside a catch block) so the protected call raises it.
void JPEGParkException(j_common_ptr info) noexcept;
// Leaves the library for the landing point of the current protected call. Call it only from a frame
// whose objects with destructors are all gone.
[[noreturn]] void JPEGAbandon(j_common_ptr info) noexcept;

namespace jpeg_detail {
// Runs call(argument) with a landing point; false when the library left by longjmp.
bool RunWithLanding(TJPEGErrorManager& manager, void (*call)(void*), void* argument);
// Raises the parked exception, or EJPEG with the library's message code.
[[noreturn]] void RaiseLibraryFailure(TJPEGErrorManager& manager);

template <class Fn>
void Trampoline(void* function) {
  (*static_cast<Fn*>(function))();
}
}  // namespace jpeg_detail

// Runs fn, which calls libjpeg, so that a fatal library error (or an exception parked by a callback)
// is raised here as a C++ exception. fn itself must hold only trivially destructible locals.
template <class Fn>
void JPEGProtected(TJPEGErrorManager& manager, Fn&& fn) {
  using Function = std::remove_reference_t<Fn>;
  void* function = const_cast<void*>(static_cast<const void*>(&fn));
  if (!jpeg_detail::RunWithLanding(manager, &jpeg_detail::Trampoline<Function>, function))
    jpeg_detail::RaiseLibraryFailure(manager);
}
