#include "workbench/reference_ops.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "toolkit/core/checked.h"
#include "toolkit/core/format.h"
#include "workbench/band_merge.h"
#include "workbench/vector_clones.h"
#include "workbench/working_bitmap.h"

void ClearHistogram(TChannelStats& Stats) {
  std::memset(Stats.Histogram, 0, sizeof Stats.Histogram);
}

void InitProcessStats(TChannelStats& Stats) {
  std::memset(Stats.Totals, 0, sizeof Stats.Totals);
  std::memset(Stats.Channels, 0, sizeof Stats.Channels);
  ClearHistogram(Stats);
}

// ---- Byte operations

namespace {

uint8_t Clamped(int32_t value) {
  return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

int32_t ReferenceScale(int32_t Factor) {
  const int32_t k = CheckedAdd(Factor, 256);
  return k == 0 ? 1 : k;
}

uint32_t UnsignedDivisor(int32_t Factor) {
  return static_cast<uint32_t>(Factor == 0 ? 1 : Factor);
}

// The unsigned quotient plus the signed offset.
uint8_t QuotientPlusOffset(uint32_t dividend, int32_t Factor, int32_t Offset) {
  const auto quotient = static_cast<int32_t>(dividend / UnsignedDivisor(Factor));  // at most 255^3
  return Clamped(CheckedAdd(quotient, Offset));
}

}  // namespace

uint8_t SubByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset) {
  return Clamped(
      CheckedSub(CheckedAdd<int32_t>(A, Offset), CheckedMul<int32_t>(B, ReferenceScale(Factor)) / 256));
}

uint8_t AddByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset) {
  return Clamped(
      CheckedAdd(CheckedAdd<int32_t>(A, Offset), CheckedMul<int32_t>(B, ReferenceScale(Factor)) / 256));
}

uint8_t DivByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset) {
  if (B == 0) return Clamped(CheckedAdd(Offset, 255));
  const int32_t d = Factor == 0 ? 1 : Factor;
  return Clamped(CheckedAdd(CheckedMul<int32_t>(A, d) / B, Offset));
}

uint8_t MulByte(uint8_t A, uint8_t B, int32_t Factor, int32_t Offset) {
  return QuotientPlusOffset(uint32_t{A} * B, Factor, Offset);
}

uint8_t SquareByte(uint8_t A, uint8_t, int32_t Factor, int32_t Offset) {
  return QuotientPlusOffset(uint32_t{A} * A, Factor, Offset);
}

uint8_t CubeByte(uint8_t A, uint8_t, int32_t Factor, int32_t Offset) {
  return QuotientPlusOffset(uint32_t{A} * A * A, Factor, Offset);
}

// ---- Whole bitmaps

namespace {

// Factors and offsets within these bounds cannot overflow any byte operation, so the operation's
// value for every pair of bytes may be computed ahead.
constexpr int32_t kTabulatedFactor = 1 << 22;
constexpr int32_t kTabulatedOffset = 1 << 29;

// Subtraction and addition with a scale k of 1 to 512 and an offset of at most 16384 either way stay
// within 16 bits: (B * k) div 256 is the high half of (B * 256) * k, and the sum before clamping lies
// between -17000 and 17000.
constexpr int32_t kVectorScale = 512;
constexpr int32_t kVectorOffset = 16384;

template <int Sign>
inline void ScaledReferenceRow(const uint8_t* a, const uint8_t* b, uint8_t* out, ptrdiff_t count, uint16_t k,
                               int16_t offset) {
  for (ptrdiff_t i = 0; i < count; ++i) {
    const auto shifted = static_cast<uint16_t>(b[i] << 8);
    const auto scaled = static_cast<int16_t>((static_cast<uint32_t>(shifted) * k) >> 16);
    auto value = static_cast<int16_t>(a[i] + offset + Sign * scaled);
    value = std::max<int16_t>(value, 0);
    value = std::min<int16_t>(value, 255);
    out[i] = static_cast<uint8_t>(value);
  }
}

// Rows never overlap unless they are the same row (a picture put through the operation in place),
// which an element-wise loop allows; so no restrict promise is made.
ORVANTA_VECTOR_CLONES void SubtractRow(const uint8_t* a, const uint8_t* b, uint8_t* out, ptrdiff_t count,
                                       uint16_t k, int16_t offset) {
  ScaledReferenceRow<-1>(a, b, out, count, k, offset);
}

ORVANTA_VECTOR_CLONES void AddRow(const uint8_t* a, const uint8_t* b, uint8_t* out, ptrdiff_t count,
                                  uint16_t k, int16_t offset) {
  ScaledReferenceRow<1>(a, b, out, count, k, offset);
}

void PairTableRow(const uint8_t* a, const uint8_t* b, uint8_t* out, ptrdiff_t count, const uint8_t* table) {
  for (ptrdiff_t i = 0; i < count; ++i) out[i] = table[a[i] << 8 | b[i]];
}

// B is not read: the values of row A = any reference byte serve (B = 0).
void ByteTableRow(const uint8_t* a, uint8_t* out, ptrdiff_t count, const uint8_t* table) {
  for (ptrdiff_t i = 0; i < count; ++i) out[i] = table[a[i] << 8];
}

// The values of one operation for every pair (A, B), kept for the next picture of the run. The
// workbench runs its operations on one thread.
struct TOperationTable {
  TRefByteOp Op = nullptr;
  int32_t Factor = 0;
  int32_t Offset = 0;
  std::array<uint8_t, 256 * 256> Values;
};

const uint8_t* TabulatedValues(TRefByteOp Op, int32_t Factor, int32_t Offset) {
  static TOperationTable table;
  if (table.Op != Op || table.Factor != Factor || table.Offset != Offset) {
    table.Op = nullptr;
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b)
        table.Values[static_cast<size_t>(a << 8 | b)] =
            Op(static_cast<uint8_t>(a), static_cast<uint8_t>(b), Factor, Offset);
    table.Op = Op;
    table.Factor = Factor;
    table.Offset = Offset;
  }
  return table.Values.data();
}

bool Within(int32_t value, int32_t bound) {
  return value >= -bound && value <= bound;
}

// How one byte operation, with its factor and offset, turns a row of picture bytes and a row of
// reference bytes into result bytes. Made afresh for each call (a tabulated operation refers to the
// one table there is).
class TRowArithmetic {
 public:
  TRowArithmetic(TRefByteOp Op, int32_t Factor, int32_t Offset) : FOp(Op), FFactor(Factor), FOffset(Offset) {
    const bool scaledReference = Op == SubByte || Op == AddByte;
    if (scaledReference && Within(Offset, kVectorOffset) && Factor >= -256 && Factor <= kVectorScale - 256) {
      FWay = Op == SubByte ? kSubtract : kAdd;
      FScale = static_cast<uint16_t>(ReferenceScale(Factor));
      FShift = static_cast<int16_t>(Offset);
    } else if (Within(Factor, kTabulatedFactor) && Within(Offset, kTabulatedOffset) &&
               (scaledReference || Op == DivByte || Op == MulByte || Op == SquareByte || Op == CubeByte)) {
      FWay = Op == SquareByte || Op == CubeByte ? kByteTable : kPairTable;
      FValues = TabulatedValues(Op, Factor, Offset);
    }
  }

  // Whether rows go byte by byte through the operation itself (an operation of another kind, or a
  // factor or offset far beyond the batch window's ranges): its checked arithmetic may then raise.
  bool ByteByByte() const { return FWay == kByteByByte; }

  void operator()(const uint8_t* a, const uint8_t* b, uint8_t* out, ptrdiff_t n) const {
    switch (FWay) {
      case kSubtract:
        SubtractRow(a, b, out, n, FScale, FShift);
        break;
      case kAdd:
        AddRow(a, b, out, n, FScale, FShift);
        break;
      case kPairTable:
        PairTableRow(a, b, out, n, FValues);
        break;
      case kByteTable:
        ByteTableRow(a, out, n, FValues);
        break;
      case kByteByByte:
        for (ptrdiff_t i = 0; i < n; ++i) out[i] = FOp(a[i], b[i], FFactor, FOffset);
        break;
    }
  }

 private:
  enum TWay { kSubtract, kAdd, kPairTable, kByteTable, kByteByByte };
  TWay FWay = kByteByByte;
  TRefByteOp FOp;
  int32_t FFactor;
  int32_t FOffset;
  uint16_t FScale = 0;
  int16_t FShift = 0;
  const uint8_t* FValues = nullptr;
};

// The checks on the reference, once the picture was found to fit the target (width x height, not
// empty): false when the reference is empty, or neither of the target's size nor 1 x 1.
bool ReferenceFits(const TBitmap& Reference, int width, int height) {
  if (Reference.Width() == 0 || Reference.Height() == 0) return false;
  return (Reference.Width() == width && Reference.Height() == height) ||
         (Reference.Width() == 1 && Reference.Height() == 1);
}

// A reference that fits made ready for the rows: 24-bit and of the target's size.
void ReadyReference(TBitmap& Reference, int width, int height) {
  if (Reference.Width() != width || Reference.Height() != height) {
    // The reference of a file that loaded as nothing: black, of the pictures' size, for the whole run.
    Reference.SetPixelFormat(pf24bit);
    Reference.SetSize(width, height);
    FillBitmap(Reference, clBlack);
  }
  if (Reference.PixelFormat() != pf24bit) Reference.SetPixelFormat(pf24bit);
}

}  // namespace

bool ApplyImageOperation(TBitmap& Source, TBitmap& Target, TBitmap& Reference, int32_t Factor, int32_t Offset,
                         TRefByteOp Op) {
  const int width = Target.Width();
  const int height = Target.Height();
  if (Target.PixelFormat() != pf24bit) return false;
  if (Source.Width() != width || Source.Height() != height) return false;
  if (Source.Width() == 0 || Source.Height() == 0) return false;
  if (!ReferenceFits(Reference, width, height)) return false;
  ReadyReference(Reference, width, height);
  if (Source.PixelFormat() != pf24bit) Source.SetPixelFormat(pf24bit);

  const TRowArithmetic arithmetic(Op, Factor, Offset);
  const TRowWalk source = WalkRows(Source);
  const TRowWalk reference = WalkRows(Reference);
  const TRowWalk target = WalkRows(Target);
  const ptrdiff_t bytes = static_cast<ptrdiff_t>(width) * 3;
  // Rows in the order they lie in memory (the bottom row first in a bottom-up bitmap): memory streams
  // forwards, which costs markedly less than walking it backwards. Byte by byte, where an overflow may
  // raise part of the way, the rows go top first as the operation's own order has it.
  const bool backwards = target.Step < 0 && !arithmetic.ByteByByte();
  for (int j = 0; j < height; ++j) {
    const int y = backwards ? height - 1 - j : j;
    arithmetic(source.Row0 + source.Step * y, reference.Row0 + reference.Step * y,
               target.Row0 + target.Step * y, bytes);
  }
  return true;
}

// ---- Picture operations

namespace {

TProcessRec* RecordOf(intptr_t Param) {
  return reinterpret_cast<TProcessRec*>(Param);
}

bool ApplyRecord(TBitmap& Picture, TBitmap& Result, intptr_t Param, TRefByteOp Op) {
  if (Param == 0) return false;
  TProcessRec& record = *RecordOf(Param);
  if (!record.Reference) return false;
  return ApplyImageOperation(Picture, Result, *record.Reference, record.Factor, record.Offset, Op);
}

}  // namespace

bool SubImage(TBitmap& Picture, TBitmap& Result, intptr_t Param) {
  return ApplyRecord(Picture, Result, Param, SubByte);
}

bool AddImage(TBitmap& Picture, TBitmap& Result, intptr_t Param) {
  return ApplyRecord(Picture, Result, Param, AddByte);
}

bool DivImage(TBitmap& Picture, TBitmap& Result, intptr_t Param) {
  return ApplyRecord(Picture, Result, Param, DivByte);
}

bool MulImage(TBitmap& Picture, TBitmap& Result, intptr_t Param) {
  return ApplyRecord(Picture, Result, Param, MulByte);
}

bool SquareImage(TBitmap& Picture, TBitmap& Result, intptr_t Param) {
  return ApplyRecord(Picture, Result, Param, SquareByte);
}

bool CubeImage(TBitmap& Picture, TBitmap& Result, intptr_t Param) {
  return ApplyRecord(Picture, Result, Param, CubeByte);
}

std::string ReferenceMismatchReason(TImageOp Op, intptr_t Param, const TBitmap& Picture) {
  const TImageOp operations[] = {SubImage, AddImage, DivImage, MulImage, SquareImage, CubeImage};
  if (Param == 0 || std::find(std::begin(operations), std::end(operations), Op) == std::end(operations))
    return {};
  const TBitmap* reference = RecordOf(Param)->Reference.get();
  if (!reference || ReferenceFits(*reference, Picture.Width(), Picture.Height())) return {};
  return Format("the reference is %d x %d pixels, the picture %d x %d",
                {reference->Width(), reference->Height(), Picture.Width(), Picture.Height()});
}

// ---- Row forms: a picture of a list run decoded band by band goes through the operation one row at a
// time. The checks and the reference's preparation are the whole operation's, made before the first row;
// an operation that may raise in its rows goes the whole road, where it raises as it always does.

namespace {

template <TRefByteOp Op>
TRowStart StartReferenceRows(TBitmap& Result, intptr_t Param) {
  if (Param == 0 || !RecordOf(Param)->Reference) return TRowStart::rsWhole;
  TProcessRec& record = *RecordOf(Param);
  if (TRowArithmetic(Op, record.Factor, record.Offset).ByteByByte()) return TRowStart::rsWhole;
  if (!ReferenceFits(*record.Reference, Result.Width(), Result.Height())) return TRowStart::rsWhole;
  ReadyReference(*record.Reference, Result.Width(), Result.Height());
  return TRowStart::rsMerge;
}

// The result's old pixels are not read: the output row is the picture's row put through the operation.
template <TRefByteOp Op>
void ReferenceRow(uint8_t* Out, const uint8_t*, const uint8_t* PictureRow, int Width, int Row,
                  intptr_t Param) {
  const TProcessRec& record = *RecordOf(Param);
  TRowArithmetic(Op, record.Factor, record.Offset)(PictureRow, record.Reference->ScanLine(Row), Out,
                                                   ptrdiff_t{Width} * 3);
}

template <TRefByteOp Op>
void RegisterReferenceRows(TImageOp operation) {
  RegisterRowForm(operation, ReferenceRow<Op>, StartReferenceRows<Op>);
}

const bool kRowFormsRegistered = [] {
  RegisterReferenceRows<SubByte>(SubImage);
  RegisterReferenceRows<AddByte>(AddImage);
  RegisterReferenceRows<DivByte>(DivImage);
  RegisterReferenceRows<MulByte>(MulImage);
  RegisterReferenceRows<SquareByte>(SquareImage);
  RegisterReferenceRows<CubeByte>(CubeImage);
  return true;
}();

}  // namespace
