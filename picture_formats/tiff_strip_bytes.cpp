#include "picture_formats/tiff_strip_bytes.h"

#include <algorithm>

#include "picture_formats/bit_order.h"
#include "picture_formats/format_helpers.h"

std::vector<std::pair<uint64_t, uint64_t>> MergedRanges(std::vector<std::pair<uint64_t, uint64_t>> ranges) {
  std::sort(ranges.begin(), ranges.end());
  std::vector<std::pair<uint64_t, uint64_t>> merged;
  for (const auto& [begin, end] : ranges) {
    if (begin >= end) continue;
    if (!merged.empty() && begin <= merged.back().second)
      merged.back().second = std::max(merged.back().second, end);
    else
      merged.emplace_back(begin, end);
  }
  return merged;
}

TTIFFStripBytes::TTIFFStripBytes(TStream& stream, int64_t start, const std::vector<TTIFFStrip>& strips,
                                 bool reverseBits)
    : FStream(stream), FStart(start), FReverseBits(reverseBits) {
  std::vector<std::pair<uint64_t, uint64_t>> ranges;
  uint64_t total = 0;
  for (const TTIFFStrip& strip : strips) {
    ranges.emplace_back(strip.Offset, uint64_t{strip.Offset} + strip.Packed);
    total += strip.Packed;
  }
  std::vector<std::pair<uint64_t, uint64_t>> blocks = MergedRanges(std::move(ranges));
  uint64_t distinct = 0;
  for (const auto& [begin, end] : blocks) distinct += end - begin;
  // Strips of their own (as writers lay them out) are read one at a time; strips that would read the
  // same bytes again are read together, once.
  if (total <= distinct) return;
  FBlocks = std::move(blocks);
  FBytes = ZeroedBuffer(distinct);
  size_t position = 0;
  for (const auto& [begin, end] : FBlocks) {
    FBlockPositions.push_back(position);
    FStream.SetPosition(FStart + static_cast<int64_t>(begin));
    FStream.Read(FBytes.data() + position, static_cast<int64_t>(end - begin));
    position += end - begin;
  }
  if (FReverseBits) ReverseBitOrder(FBytes);
}

std::span<const uint8_t> TTIFFStripBytes::Of(const TTIFFStrip& strip) {
  if (!FBlocks.empty()) {
    // The block that holds the strip's range: the last one starting at or before it.
    const auto after = std::upper_bound(FBlocks.begin(), FBlocks.end(),
                                        std::pair<uint64_t, uint64_t>{strip.Offset, UINT64_MAX});
    if (strip.Packed == 0 || after == FBlocks.begin()) return {};
    const auto block = static_cast<size_t>(after - FBlocks.begin() - 1);
    const uint64_t from = FBlockPositions[block] + (strip.Offset - FBlocks[block].first);
    return std::span<const uint8_t>(FBytes).subspan(static_cast<size_t>(from), strip.Packed);
  }
  FBytes = ZeroedBuffer(strip.Packed);
  FStream.SetPosition(FStart + strip.Offset);
  FBytes.resize(static_cast<size_t>(FStream.Read(FBytes.data(), static_cast<int64_t>(FBytes.size()))));
  if (FReverseBits) ReverseBitOrder(FBytes);
  return FBytes;
}
