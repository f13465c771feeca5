#pragma once
// Inside the drawing layer: what a WMF or EMF record must hold before anything reads it. libUEMF's
// readers trust the fixed part of a record and many of the counts and offsets inside it, so every
// record is measured here against the layouts the WMF and EMF documents give (fixed part, then the
// points, strings, regions and bitmaps it announces) and handed to libUEMF only as a padded copy.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// The bytes a WMF record of this function (its full 16-bit number) holds at least.
size_t WmfFixedSize(uint16_t function);
// Whether the record (its size already checked against the file) holds its fixed part and everything
// its fields announce, for the records that are read.
bool WmfRecordFits(std::span<const uint8_t> record);

// The bytes an EMF record of this type holds at least.
size_t EmfFixedSize(uint32_t type);
// Whether the EMF record holds its fixed part and the counts, regions and bitmap headers it announces.
bool EmfRecordFits(std::span<const uint8_t> record);
// Whether libUEMF's own checks may be run on the EMF record (already measured by EmfRecordFits): it
// knows the kind, and reads it as the published layout has it.
bool EmfLibraryChecks(std::span<const uint8_t> record);

// Whether a DIB of available bytes holds its header (at least a BITMAPINFOHEADER's 40 bytes, which
// libUEMF reads whatever the kind), its colour masks and table and, uncompressed, rows lines of pixels
// (all of its lines when rows is negative).
bool PackedDibFits(const uint8_t* dib, size_t available, int64_t rows = -1);

// Bytes of a DIB's header, colour masks and colour table; 0 when they do not fit in size.
size_t DibInfoSize(const uint8_t* dib, size_t size);

// The pixels of a DIB once decoded, as its header gives its width and height (0 for a header too short
// to say).
uint64_t DibPixels(const uint8_t* dib, size_t size);

// A record copied for libUEMF, followed by zeros: a read of the library's that goes past the record
// stays in memory owned here and finds nothing. Under valgrind and AddressSanitizer the zeros are
// marked unreadable, so that the tests and the fuzz runs report any such read.
class TPaddedRecord {
 public:
  static constexpr size_t kPadding = 256;

  TPaddedRecord() = default;
  TPaddedRecord(const TPaddedRecord&) = delete;
  TPaddedRecord& operator=(const TPaddedRecord&) = delete;
  ~TPaddedRecord();

  // Copies the record; the copy stays valid until the next call.
  const uint8_t* Hold(std::span<const uint8_t> record);

 private:
  // Makes the bytes from..to readable or not for valgrind and AddressSanitizer.
  void Mark(size_t from, size_t to, bool readable);

  std::unique_ptr<uint8_t[]> FBuffer;
  size_t FCapacity = 0;
  size_t FSize = 0;
};
