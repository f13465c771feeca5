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

// Whether `skipped` bytes of entropy-coded data before `marker` were data the decoder should have used.
// An encoder leaves nothing between a restart interval's last bits and the next restart marker, and an
// arithmetic coder nothing at a scan's end either (it drops even its trailing zero bytes): bytes left
// over there mean the decoder's reading went astray inside the data. Huffman-coded scans may end in
// padding that some cameras write before the end-of-image marker; those bytes hold no pixel.
bool SkippedScanData(j_common_ptr info, int marker) {
  if (marker >= JPEG_RST0 && marker <= JPEG_RST0 + 7) return true;
  if (!info->is_decompressor) return false;
  const auto* decompress = reinterpret_cast<const jpeg_decompress_struct*>(info);
  return decompress->arith_code && decompress->input_scan_number > 0;
}

// Warnings and trace messages are not shown: a damaged file either fails with its message code or is
// told apart by the warnings that say pixels were lost or garbled, which mark its data corrupt:
//   JWRN_HIT_MARKER         premature end of a data segment: a Huffman decoder needed bits past the
//                           segment's end (the data were cut, or went astray); the rest of the segment
//                           decodes as flat blocks.
//   JWRN_HUFF_BAD_CODE,     a code no table holds: the data are garbled from there, and the decoder goes
//   JWRN_ARITH_BAD_CODE     on reading the bits as whatever they happen to decode to (Huffman) or leaves
//                           the rest of the restart interval flat (arithmetic).
//   JWRN_MUST_RESYNC        another marker where the next restart marker belongs: restart intervals were
//                           lost or damaged, and resynchronising skips or pads whole intervals.
//   JWRN_BOGUS_PROGRESSION  a progressive scan refines coefficient bits that no scan before it coded, or
//                           codes them again: its bits land on the wrong coefficients.
//   JWRN_EXTRANEOUS_DATA    only for data left over inside a scan (SkippedScanData).
// The premature end of the file (JWRN_JPEG_EOF) is the stream source's to judge, since a file that lacks
// no more than its end marker is whole. Warnings that lose no pixel keep the picture: extraneous bytes
// between segments or before the end marker of Huffman-coded data, invalid but ignored sequential scan
// parameters, unknown JFIF revisions and Adobe transforms, damaged ICC chunks.
void JPEGEmitMessage(j_common_ptr info, int level) {
  if (level >= 0) return;
  switch (info->err->msg_code) {
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
      ManagerOf(info).DataCorrupt = true;
      break;
    case JWRN_EXTRANEOUS_DATA:
      if (SkippedScanData(info, info->err->msg_parm.i[1])) ManagerOf(info).DataCorrupt = true;
      break;
    default:
      break;
  }
}
void JPEGOutputMessage(j_common_ptr) {}
void JPEGFormatMessage(j_common_ptr, char*) {}

void JPEGResetErrorMgr(j_common_ptr info) {
  info->err->num_warnings = 0;
  info->err->msg_code = 0;
  ManagerOf(info).DataCorrupt = false;
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
  manager.DataCorrupt = false;
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
