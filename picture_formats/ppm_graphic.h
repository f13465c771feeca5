#pragma once
// Portable maps (pbm, pgm, ppm): bitmaps, gray maps and pixel maps, each as text (P1, P2, P3) or binary
// (P4, P5, P6). Bitmaps become 1-bit pictures (0 white, 1 black), gray maps 8-bit pictures with an
// ascending gray palette, pixel maps 24-bit pictures. Samples are scaled from the file's maximum value
// to 0..255; a maximum above 255 means two bytes per binary sample, high byte first.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "picture_formats/format_graphic.h"

class TPPMGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TPPMGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TPPMGraphic)

 public:
  // The header: "P" and a kind digit, then width, height and (but for bitmaps) the maximum value, as
  // decimal numbers separated by anything but digits, "#" starting a comment to the end of its line.
  struct THeader {
    uint8_t Kind = 0;  // 1 to 6
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t MaxValue = 1;  // 1 for bitmaps
  };

  // Reads the header at the stream's position; false for anything but P1 to P6, for a width or height of
  // 0 and for a maximum value of 0 or above 65535. Leaves the stream and the text buffer just after the
  // header.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Reads the picture at the stream's position. Data that end early raise "Stream read error in PPM
  // file."; a sample above the maximum value raises ERangeError.
  void LoadFromStream(TStream& stream) override;

 private:
  static constexpr size_t kBufferSize = 4096;

  // The next byte of the text buffer, refilled from the stream when used up.
  uint8_t GetChar();
  // The next byte without consuming it; 0 when the buffer is used up (it is not refilled for this).
  uint8_t PeekChar() const;
  // The rest of the current line (to LF, CR or CR LF, which are consumed), cut before its first "#".
  std::string ReadLine();
  // The next digit character: bytes before it are skipped, "#" comments included.
  uint8_t GetDigit();
  // The next decimal number: bytes before it are skipped ("#" comments included); the byte after its
  // last digit is consumed. A number beyond the 32-bit range raises EIntOverflow.
  uint32_t GetNumber();
  // The next '0' or '1' character of a text bitmap as 0 or 1 (other digits give their lowest bit).
  uint8_t GetBit();
  // Fills `target` with the next bytes, buffered ones first.
  void ReadData(uint8_t* target, size_t count);
  // Bytes the buffer and the stream still hold.
  int64_t DataLeft();

  void ReadBitmapRows(bool text);
  void ReadSampleRows(bool text, size_t samplesPerPixel);

  THeader FHeader;
  std::array<uint8_t, kBufferSize> FBuffer{};
  size_t FIndex = 0;  // next byte to deliver
  size_t FCount = 0;  // bytes the last refill read
};
