#pragma once
// The batch operations' arithmetic: the record that carries the parameters of one batch, search or crop
// run, the byte operations that combine a picture's byte with a reference picture's (dark subtraction,
// addition, flat division, multiplication) or raise it to a power, the routine that applies one of
// them to whole bitmaps, and the picture operations the list driver calls with the record.

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/graphics/bitmap.h"
#include "workbench/image_op.h"

// A statistics block the batch commands clear; nothing fills or reads it yet.
struct TChannelStats {
  int32_t Totals[2];
  int32_t Channels[4][5];     // four values per channel, channels 0 to 4
  int32_t Histogram[5][256];  // per channel, per level
};

void ClearHistogram(TChannelStats& Stats);
void InitProcessStats(TChannelStats& Stats);

// The parameters of one batch, search or crop run; the command that starts the run owns it and hands
// its address to the driver as the operation's parameter.
struct TProcessRec {
  std::unique_ptr<TBitmap> Reference;  // the reference picture (batch operations)
  TChannelStats Stats{};
  int32_t Factor = 0;       // batch: the factor; search: the minimum number of bright pixels
  int32_t Offset = 0;       // batch: added to every result; search: the luminance level
  int32_t FactorRange = 0;  // the operation's default factor
  int32_t MarginLeft = 0;
  int32_t MarginRight = 0;
  int32_t MarginTop = 0;
  int32_t MarginBottom = 0;
  int32_t WindowWidth = 0;  // crop or mark window
  int32_t WindowHeight = 0;
};

// ---- Byte operations: the picture's byte A and the reference's byte B give the new byte, clamped to
// 0..255. The arithmetic is checked 32-bit arithmetic: a factor or offset far outside the batch
// window's ranges raises the integer-overflow error rather than wrap.
using TRefByteOp = uint8_t (*)(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset);

// A + Offset - (B * k) div 256, k = Factor + 256 (1 when that is 0): Factor 0 subtracts the whole
// reference.
uint8_t SubByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset);
// A + Offset + (B * k) div 256, k as for SubByte.
uint8_t AddByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset);
// (A * d) div B + Offset, d = Factor (1 when 0), signed; a reference byte of 0 gives Offset + 255.
uint8_t DivByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset);
// (A * B) div d + Offset, d as for DivByte but divided as unsigned (a negative factor gives Offset).
uint8_t MulByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset);
// (A * A) div d + Offset and (A * A * A) div d + Offset, unsigned as MulByte; B is not used.
uint8_t SquareByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset);
uint8_t CubeByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset);

// Every byte of Target := Op(Source byte, Reference byte, Factor, Offset); the Target's old pixels are
// not read, and Source may be the Target itself. False, with nothing written, when the Target is not
// 24-bit, the Source is empty or not the Target's size, or the Reference is empty or neither the
// Target's size nor 1 x 1. A 1 x 1 Reference of another size than the Target becomes a black 24-bit
// one of the Target's size (and stays so for the following pictures); Source and Reference are left
// 24-bit.
bool ApplyImageOperation(TBitmap& Source, TBitmap& Target, TBitmap& Reference, int32_t Factor, int32_t Offset,
                         TRefByteOp Op);

// ---- Picture operations (Param: the address of a TProcessRec): ApplyImageOperation of the picture
// into the result with the record's reference, factor and offset. False when Param is 0. Each has a
// row form too (band_merge.h), registered at start-up, so that a list run puts JPEG pictures through
// it while they are decoded.
bool SubImage(TBitmap& Picture, TBitmap& Result, intptr_t Param);
bool AddImage(TBitmap& Picture, TBitmap& Result, intptr_t Param);
bool DivImage(TBitmap& Picture, TBitmap& Result, intptr_t Param);
bool MulImage(TBitmap& Picture, TBitmap& Result, intptr_t Param);
bool SquareImage(TBitmap& Picture, TBitmap& Result, intptr_t Param);
bool CubeImage(TBitmap& Picture, TBitmap& Result, intptr_t Param);

// Why the operation refuses a picture of that size because of its record's reference (both sizes);
// empty when the operation is none of the six above or its reference serves the picture.
std::string ReferenceMismatchReason(TImageOp Op, intptr_t Param, const TBitmap& Picture);
