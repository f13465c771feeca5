#include "picture_formats/jpeg_error.h"

#include <cstdlib>
#include <utility>

#include <jerror.h>

#include "toolkit/core/format.h"

EJPEG::EJPEG(int messageCode)
    : EInvalidGraphic(Format(SJPEGError, {messageCode})), FMessageCode(messageCode) {}

void JPEGInvalidOperation() {
  throw EInvalidGraphicOperation(SJPEGImageCanNotChangeSize);
}

namespace {

TJPEGErrorManager& ManagerOf(j_common_ptr info) {
  return *reinterpret_cast<TJPEGErrorManager*>(info->err);
}

void JPEGErrorExit(j_common_ptr info) {
  JPEGAbandon(info);
}

// Warnings and trace messages are of no use to the program: a damaged file either decodes as far as
// it goes or fails with its message code. Only one thing is noted: whether a scan's data ran short,
// which tells a file cut inside its picture from one that lacks no more than its end marker.
void JPEGEmitMessage(j_common_ptr info, int level) {
  if (level < 0 && (info->err->msg_code == JWRN_HIT_MARKER || info->err->msg_code == JWRN_MUST_RESYNC))
    ManagerOf(info).ScanDataShort = true;
}
void JPEGOutputMessage(j_common_ptr) {}
void JPEGFormatMessage(j_common_ptr, char*) {}

void JPEGResetErrorMgr(j_common_ptr info) {
  info->err->num_warnings = 0;
  info->err->msg_code = 0;
  ManagerOf(info).ScanDataShort = false;
}

}  // namespace

jpeg_error_mgr* JPEGErrorManager(TJPEGErrorManager& manager) {
  manager.Pub = jpeg_error_mgr{};
  manager.Pub.error_exit = JPEGErrorExit;
  manager.Pub.emit_message = JPEGEmitMessage;
  manager.Pub.output_message = JPEGOutputMessage;
  manager.Pub.format_message = JPEGFormatMessage;
  manager.Pub.reset_error_mgr = JPEGResetErrorMgr;
  manager.Armed = false;
  manager.Pending = nullptr;
  manager.ScanDataShort = false;
  return &manager.Pub;
}

void JPEGParkException(j_common_ptr info) noexcept {
  TJPEGErrorManager& manager = ManagerOf(info);
  // The first failure is the one worth reporting; a later one is a consequence.
  if (!manager.Pending) manager.Pending = std::current_exception();
}

void JPEGAbandon(j_common_ptr info) noexcept {
  TJPEGErrorManager& manager = ManagerOf(info);
  // A library call outside JPEGProtected has no landing point; going on would run the library in a
  // state it declared broken.
  if (!manager.Armed) std::abort();
  std::longjmp(manager.Landing, 1);
}

namespace jpeg_detail {

bool RunWithLanding(TJPEGErrorManager& manager, void (*call)(void*), void* argument) {
  // One landing point per manager: a protected call inside another would overwrite the outer one.
  if (manager.Armed) std::abort();
  if (setjmp(manager.Landing) != 0) {
    manager.Armed = false;
    return false;
  }
  manager.Armed = true;
  call(argument);
  manager.Armed = false;
  return true;
}

void RaiseLibraryFailure(TJPEGErrorManager& manager) {
  if (manager.Pending) std::rethrow_exception(std::exchange(manager.Pending, nullptr));
  throw EJPEG(manager.Pub.msg_code);
}

}  // namespace jpeg_detail
