#include "picture_formats/jpeg_error.h"

#include <cstdlib>
#include <utility>

#include <jerror.h>

#include "toolkit/core/format.h"

namespace {

std::string LibraryText(int messageCode) {
  jpeg_error_mgr message{};
  message.msg_code = messageCode;
  return JPEGMessageText(message);
}

}  // namespace

EJPEG::EJPEG(int messageCode) : EJPEG(messageCode, LibraryText(messageCode)) {}

EJPEG::EJPEG(int messageCode, const std::string& text)
    : EInvalidGraphic(text.empty() ? Format(SJPEGError, {messageCode})
                                   : Format(SJPEGErrorText, {messageCode, text})),
      FMessageCode(messageCode) {}

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

// Whether bytes skipped before `marker` were data the decoder should have used. Once the first scan
// began, bytes between the end of a scan's data and the next marker were never coded by an encoder: left
// over inside a scan (or before a restart marker), they mean its reading went astray; before a later
// scan's marker or tables, that data of the file were lost around them. The one place writers leave
// bytes is before the end-of-image marker (some cameras pad their files there), and that only after
// Huffman-coded data: an arithmetic coder drops even its trailing zero bytes. Bytes between the marker
// segments of the header are no pixel data.
bool SkippedScanData(j_common_ptr info, int marker) {
  if (marker >= JPEG_RST0 && marker <= JPEG_RST0 + 7) return true;
  if (!info->is_decompressor) return false;
  const auto* decompress = reinterpret_cast<const jpeg_decompress_struct*>(info);
  if (decompress->input_scan_number == 0) return false;
  return marker != JPEG_EOI || decompress->arith_code;
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
//   JWRN_EXTRANEOUS_DATA    only for bytes skipped after the first scan began, but for padding before the
//                           end marker (SkippedScanData).
// The premature end of the file (JWRN_JPEG_EOF) is the stream source's to judge, since a file that lacks
// no more than its end marker is whole. Warnings that lose no pixel keep the picture: extraneous bytes
// between the header's segments or before the end marker of Huffman-coded data, invalid but ignored
// sequential scan parameters, unknown JFIF revisions and Adobe transforms, damaged ICC chunks.
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

std::string JPEGMessageText(const jpeg_error_mgr& message) {
  // libjpeg's standard manager formats from its own message table; only the code and the parameters
  // are the message's.
  jpeg_error_mgr standard;
  jpeg_std_error(&standard);
  standard.msg_code = message.msg_code;
  standard.msg_parm = message.msg_parm;
  jpeg_common_struct owner{};
  owner.err = &standard;
  char text[JMSG_LENGTH_MAX] = {};
  standard.format_message(&owner, text);
  return text;
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
  throw EJPEG(manager.Pub.msg_code, JPEGMessageText(manager.Pub));
}

}  // namespace jpeg_detail
