#include "picture_formats/decoder.h"

#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"
#include "toolkit/core/format.h"

void CompressionError(const std::string& message) {
  throw EGraphicCompression(message);
}

size_t PackedBytesAvailable(const TSourceCursor& Source, int32_t PackedSize, const char* decoderName) {
  if (PackedSize <= 0) return 0;
  const auto packed = static_cast<size_t>(PackedSize);
  if (packed > Source.Remaining()) PackedDataEnded(decoderName);
  return packed;
}

size_t UnpackedRoomAvailable(const TTargetCursor& Dest, int32_t UnpackedSize, size_t unitSize,
                             const char* decoderName) {
  if (UnpackedSize <= 0) return 0;
  const size_t room = CheckedMul(static_cast<size_t>(UnpackedSize), unitSize);
  if (room > Dest.Remaining()) UnpackedRoomExceeded(decoderName);
  return room;
}

void PackedDataEnded(const char* decoderName) {
  throw EPackedDataEnded(Format(gesPackedDataEnded, {decoderName}));
}

void UnpackedRoomExceeded(const char* decoderName) {
  CompressionError(Format(gesUnpackedRoomExceeded, {decoderName}));
}
