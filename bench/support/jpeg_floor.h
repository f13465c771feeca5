#pragma once
// The floor the runs are measured against: plain libjpeg-turbo, through its own API, decoding a file
// into one buffer that is kept from file to file (rows of blue, green, red; accurate integer DCT, as
// the program decodes), and nothing else.

#include <cstdint>
#include <string>
#include <vector>

class TJpegFloor {
 public:
  // Raises std::runtime_error when the library cannot read the file.
  void Decode(const std::string& fileName);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Row y (0 = top) of the last picture decoded.
  const uint8_t* Row(int y) const { return FPixels.data() + static_cast<size_t>(y) * FWidth * 3; }

 private:
  std::vector<uint8_t> FPixels;
  std::vector<uint8_t*> FRows;
  int FWidth = 0;
  int FHeight = 0;
};
