#pragma once
// The floor every JPEG benchmark measures against: libjpeg-turbo through its own API, a file decoded
// into one buffer that is reused from picture to picture, rows of blue, green and red, nothing else.

#include <cstdint>
#include <string>
#include <vector>

class TPlainJpegDecoder {
 public:
  // Decodes the file into Pixels (rows top first, 3 x Width bytes each, no padding); raises
  // std::runtime_error for a file libjpeg cannot decode.
  void Decode(const std::string& fileName);
  // Row y (0 = top) of the last picture decoded.
  const uint8_t* Row(int y) const { return Pixels.data() + static_cast<size_t>(y) * Width * 3; }

  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;
};

// Peak resident memory of this process in MiB since the last reset (VmHWM), and the reset itself.
double PeakResidentMiB();
void ResetPeakResident();

// The machine: its processor count and load averages (1, 5 and 15 minutes), as one line of text.
std::string MachineLoad();
