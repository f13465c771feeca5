#pragma once
// Whether the scans of a JPEG frame coded its whole picture. Each scan codes some of the frame's
// components (and, progressive, some bits of some of their coefficients), and a file may end after any
// scan, whole as far as each scan goes: a writer that died after its first scans, or a tool that closes a
// cut file, leaves just that. libjpeg fills in what no scan coded (a flat component, coefficients
// without their low bits) without a word.

#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

struct TJPEGScanRecord {
  uint32_t Components;  // bit c: the component of index c was in some scan
};

// Notes the components of the scan libjpeg is reading. libjpeg calls its progress monitor before each
// step of reading a multi-scan file (in jpeg_start_decompress), so a monitor that notes the scan sees
// every scan; a caller that drives the reading itself (jpeg_consume_input) notes after each step.
void JPEGNoteScan(const jpeg_decompress_struct& info, TJPEGScanRecord& record);

// Whether the scans read coded the whole frame: a sequential frame's scans held every component between
// them (one scan that holds them all is the common case); a progressive frame's coded every coefficient of
// every component down to its last bit (libjpeg's own record of the bits coded, coef_bits, which no real
// encoder leaves short). Call it once every scan was read, before jpeg_finish_decompress or jpeg_abort
// free libjpeg's record.
bool JPEGScansCodedWholeFrame(const jpeg_decompress_struct& info, const TJPEGScanRecord& record);
