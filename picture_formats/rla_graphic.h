#pragma once
// Alias/Wavefront run-length pictures (rla, rpf): a 740-byte big-endian header, a table of row offsets,
// and rows whose red, green, blue and matte channels are each run-length coded on their own. Pictures
// with a matte become 32-bit bitmaps (the first matte channel as alpha), the others 24-bit ones.

#include <cstdint>

#include "picture_formats/format_graphic.h"

class TRLAGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TRLAGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TRLAGraphic)

 public:
  // The file header as stored; numbers big-endian until SwapHeader turns them to native order.
  struct TWindow {
    int16_t Left, Right, Bottom, Top;
  };
  struct THeader {
    TWindow Window;
    TWindow ActiveWindow;
    int16_t Frame;
    int16_t StorageType;
    int16_t NumChannels;
    int16_t NumMatte;
    int16_t NumAux;
    uint16_t Revision;
    char Gamma[16];
    char RedPrimary[24];
    char GreenPrimary[24];
    char BluePrimary[24];
    char WhitePoint[24];
    int32_t JobNumber;
    char Name[128];
    char Description[128];
    char Program[64];
    char Machine[32];
    char User[32];
    char Date[20];
    char Aspect[24];
    char AspectRatio[8];
    char Channel[32];
    int16_t Field;
    char Time[12];
    char Filter[32];
    int16_t ChannelBits;
    int16_t MatteType;
    int16_t MatteBits;
    int16_t AuxType;
    int16_t AuxBits;
    char AuxData[32];
    char Space[36];
    int32_t Next;
  };
  static_assert(sizeof(THeader) == 740, "the header must have the file's layout");

  // Turns the header's numbers from the file's big-endian order into native order.
  static void SwapHeader(THeader& header);

  // Reads and converts the header at the stream's position and leaves the stream after it; false when
  // the channel text is neither "rgb" nor "xyz" (in any case).
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Reads the picture at the stream's position. A foreign channel text leaves an empty picture without
  // an error; other than three colour channels of 8 bits are refused with "Invalid color format in RLA
  // file.", and a file whose data cannot give its rows before the bitmap is made. Rows that are
  // missing or cut stay black and set DataEndedEarly.
  void LoadFromStream(TStream& stream) override;

 private:
  THeader FHeader{};
};
