#pragma once
// JPEG-compressed TIFF strips (TIFF compression 7), decoded by libjpeg.

#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "picture_formats/decoder.h"
#include "picture_formats/format_graphic.h"
#include "picture_formats/jpeg_data_bound.h"
#include "picture_formats/jpeg_error.h"
#include "picture_formats/jpeg_progress.h"

// The most bytes of rows one byte of a strip's data gives (for the check of a header's size against the
// data): the JPEG bound of any frame of up to 4 components, a byte each (the TIFF reader takes no more
// samples a pixel). Arithmetic-coded strips can pack tighter; one that large is refused.
inline constexpr uint64_t kTIFFJPEGMostSamples = 4;
inline constexpr uint64_t kTIFFJPEGMaxExpansion =
    JPEGMostExpansion(kTIFFJPEGMostSamples, kTIFFJPEGMostSamples);

class TTIFFJPEGDecoder : public TDecoder {
 public:
  // Keeps a reference to the TIFF reader's properties: Width, Height, BitsPerSample, SamplesPerPixel,
  // ColorScheme, PlanarConfiguration, RowsPerStrip, YCbCrSubsampling and JPEGTables are read as they
  // stand; CurrentRow (rows already delivered) and BytesPerLine must be up to date before each Decode.
  explicit TTIFFJPEGDecoder(const TImageProperties& Properties);
  ~TTIFFJPEGDecoder() override;
  TTIFFJPEGDecoder(const TTIFFJPEGDecoder&) = delete;
  TTIFFJPEGDecoder& operator=(const TTIFFJPEGDecoder&) = delete;

  // Creates the decompressor and loads the file's shared JPEG tables (TIFF tag 347) when it has them;
  // tables that are not a tables-only stream raise EGraphicCompression "Bogus JPEG tables field.".
  void DecodeInit() override;
  // Decodes one strip: PackedSize bytes at Source into UnpackedSize bytes at Dest, row after row
  // BytesPerLine apart, and stops when the rows are full (what follows them is not read); moves neither
  // cursor. Three-component pixels come out blue, green, red
  // (YCbCr and RGB photometric), one-component pixels as gray bytes, other counts as stored.
  //
  // A strip that disagrees with the TIFF header raises EGraphicCompression ("Improper JPEG strip/tile
  // size.", "... component count.", "... data precision.", "... sampling factors."), as does an
  // UnpackedSize that is not whole rows ("Fractional JPEG scanline unsupported.") or rows too short for
  // the decoded pixels; a libjpeg error raises EJPEG "JPEG error #%d". The decompressor is back at its
  // start afterwards either way, so the next strip decodes normally.
  //
  // Strip data that end before the JPEG image does are finished as libjpeg finishes a premature end
  // (the missing blocks come out flat), data libjpeg finds lost or garbled (a marker inside the scan, a
  // code no table holds, broken restart markers) as libjpeg goes on over them, and a strip whose scans
  // leave part of its picture uncoded as libjpeg fills it in; nothing is raised, TruncatedStrips()
  // counts such strips and LastUnpackedBytes() stays 0 for them (else it is the bytes of the rows read).
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  // Destroys the decompressor.
  void DecodeEnd() override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}

  uint32_t TruncatedStrips() const { return FTruncatedStrips; }

  // The bytes the source manager serves: a strip, or the shared tables, handed to the library a few at
  // a time (JPEGCarefulPieceBytes). The library part comes first so that the callbacks can find the rest.
  struct TStripSource {
    jpeg_source_mgr Pub;
    const JOCTET* Data;
    size_t Size;
    const JOCTET* Pending;  // not handed to the library yet
    size_t PendingCount;
    bool HitEnd;  // the library asked for more than Size bytes
  };

 private:
  void LoadTables();
  void DecodeStrip(const uint8_t* packed, size_t packedSize, uint8_t* target, size_t room);
  void CheckStrip() const;
  void ChooseColorSpaces();

  const TImageProperties& FProperties;
  jpeg_decompress_struct FInfo{};
  TJPEGErrorManager FError{};
  TJPEGProgressRecord FScans{};  // no reports: notes the scans read
  TStripSource FSource{};
  bool FCreated = false;
  uint16_t FHorizontalSubsampling = 1;
  uint16_t FVerticalSubsampling = 1;
  uint32_t FTruncatedStrips = 0;
};
