#include "picture_formats/jpeg_stream_managers.h"

#include <jerror.h>

#include <algorithm>

#include "picture_formats/jpeg_error.h"
#include "toolkit/core/streams.h"

namespace {

TJPEGStreamSource& SourceOf(j_decompress_ptr info) {
  return *reinterpret_cast<TJPEGStreamSource*>(info->src);
}

TJPEGStreamDestination& DestinationOf(j_compress_ptr info) {
  return *reinterpret_cast<TJPEGStreamDestination*>(info->dest);
}

// Takes the next piece: the rest of a memory stream's bytes where they are, else a read into the
// buffer. False when the stream raised (the exception is parked).
bool NextPiece(j_decompress_ptr info, TJPEGStreamSource& source, const JOCTET*& bytes,
               size_t& count) noexcept {
  bytes = source.Buffer.data();
  count = 0;
  if (source.Stream == nullptr) return true;
  try {
    if (TMemoryStream* memory = source.Memory) {
      const int64_t position = memory->Position(), size = memory->Size();
      if (position >= 0 && position < size) {
        bytes = memory->Bytes().data() + position;
        count = static_cast<size_t>(size - position);
        memory->SetPosition(size);
      }
      return true;
    }
    const int64_t read = source.Stream->Read(std::span<uint8_t>(source.Buffer));
    // A stream that claims more than it was asked for (or a negative count) is treated as ended.
    if (read > 0 && static_cast<uint64_t>(read) <= source.Buffer.size()) count = static_cast<size_t>(read);
    return true;
  } catch (...) {
    JPEGParkException(reinterpret_cast<j_common_ptr>(info));
    return false;
  }
}

void InitSource(j_decompress_ptr info) {
  SourceOf(info).StartOfFile = true;
}

// Hands the library the next piece of what was read.
void HandOver(TJPEGStreamSource& source) {
  const size_t count = std::min(source.PendingCount, JPEGCarefulPieceBytes);
  source.Pub.next_input_byte = source.Pending;
  source.Pub.bytes_in_buffer = count;
  source.Pending += count;
  source.PendingCount -= count;
}

boolean FillInputBuffer(j_decompress_ptr info) {
  TJPEGStreamSource& source = SourceOf(info);
  if (source.PendingCount == 0) {
    const JOCTET* bytes;
    size_t count;
    if (!NextPiece(info, source, bytes, count)) JPEGAbandon(reinterpret_cast<j_common_ptr>(info));
    if (count == 0) {
      if (source.StartOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
      source.EndedEarly = true;
      WARNMS(info, JWRN_JPEG_EOF);
      source.Buffer[0] = 0xFF;
      source.Buffer[1] = JPEG_EOI;
      source.Pub.next_input_byte = source.Buffer.data();
      source.Pub.bytes_in_buffer = 2;
      return TRUE;
    }
    source.Pending = bytes;
    source.PendingCount = count;
  }
  HandOver(source);
  source.StartOfFile = false;
  return TRUE;
}

// Skips what the library was handed, then what was read, then further pieces; a skip past the end of
// the stream leaves the end-of-image marker that finishes it.
void SkipInputData(j_decompress_ptr info, long byteCount) {
  if (byteCount <= 0) return;
  TJPEGStreamSource& source = SourceOf(info);
  size_t remaining = static_cast<size_t>(byteCount);
  while (remaining > source.Pub.bytes_in_buffer) {
    if (source.EndedEarly) return;
    remaining -= source.Pub.bytes_in_buffer;
    source.Pub.bytes_in_buffer = 0;
    const size_t pending = std::min(remaining, source.PendingCount);
    source.Pending += pending;
    source.PendingCount -= pending;
    remaining -= pending;
    // The library asks for the bytes after these when it needs them.
    if (remaining == 0) return;
    FillInputBuffer(info);
  }
  source.Pub.next_input_byte += remaining;
  source.Pub.bytes_in_buffer -= remaining;
}

void TermSource(j_decompress_ptr) {}

// Writes count bytes of the buffer; false when the stream raised (parked) or wrote less.
bool WritePiece(j_compress_ptr info, TJPEGStreamDestination& destination, size_t count,
                bool& complete) noexcept {
  complete = true;
  if (count == 0) return true;
  try {
    const int64_t written =
        destination.Stream->Write(std::span<const uint8_t>(destination.Buffer.data(), count));
    complete = written == static_cast<int64_t>(count);
    return true;
  } catch (...) {
    JPEGParkException(reinterpret_cast<j_common_ptr>(info));
    return false;
  }
}

void FlushDestination(j_compress_ptr info, size_t count) {
  TJPEGStreamDestination& destination = DestinationOf(info);
  bool complete;
  if (!WritePiece(info, destination, count, complete)) JPEGAbandon(reinterpret_cast<j_common_ptr>(info));
  if (!complete) ERREXIT(info, JERR_FILE_WRITE);
}

void InitDestination(j_compress_ptr info) {
  TJPEGStreamDestination& destination = DestinationOf(info);
  destination.Pub.next_output_byte = destination.Buffer.data();
  destination.Pub.free_in_buffer = destination.Buffer.size();
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
  FlushDestination(info, DestinationOf(info).Buffer.size());
  InitDestination(info);
  return TRUE;
}

void TermDestination(j_compress_ptr info) {
  TJPEGStreamDestination& destination = DestinationOf(info);
  FlushDestination(info, destination.Buffer.size() - destination.Pub.free_in_buffer);
}

}  // namespace

void JPEGStreamSource(j_decompress_ptr info, TJPEGStreamSource& source, TStream* stream) {
  source.Pub.init_source = InitSource;
  source.Pub.fill_input_buffer = FillInputBuffer;
  source.Pub.skip_input_data = SkipInputData;
  source.Pub.resync_to_restart = jpeg_resync_to_restart;
  source.Pub.term_source = TermSource;
  source.Pub.next_input_byte = nullptr;
  source.Pub.bytes_in_buffer = 0;
  source.Stream = stream;
  source.Memory = dynamic_cast<TMemoryStream*>(stream);
  source.Pending = nullptr;
  source.PendingCount = 0;
  source.StartOfFile = true;
  source.EndedEarly = false;
  info->src = &source.Pub;
}

uint64_t JPEGSourceBytesLeft(TJPEGStreamSource& source) {
  const int64_t rest = source.Stream != nullptr ? source.Stream->Size() - source.Stream->Position() : 0;
  return source.Pub.bytes_in_buffer + source.PendingCount + static_cast<uint64_t>(std::max<int64_t>(rest, 0));
}

void JPEGStreamDestination(j_compress_ptr info, TJPEGStreamDestination& destination, TStream& stream) {
  destination.Pub.init_destination = InitDestination;
  destination.Pub.empty_output_buffer = EmptyOutputBuffer;
  destination.Pub.term_destination = TermDestination;
  destination.Pub.next_output_byte = nullptr;
  destination.Pub.free_in_buffer = 0;
  destination.Stream = &stream;
  info->dest = &destination.Pub;
}
