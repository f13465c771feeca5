#pragma once
// The picture-format library's messages (English). "%s" is a format's short name unless the comment
// says otherwise; use them with Format or FormatErrorFmt.

// A header reader answered false, or a header field is out of range.
inline constexpr const char* gesInvalidImage = "Cannot load image. Invalid or unexpected %s image format.";
inline constexpr const char* gesInvalidColorFormat = "Invalid color format in %s file.";
inline constexpr const char* gesStreamReadError = "Stream read error in %s file.";
// First %s a feature phrase such as "The compression scheme is", second the format.
inline constexpr const char* gesUnsupportedFeature = "Cannot load image. %s not supported for %s files.";
inline constexpr const char* gesInvalidCRC = "Cannot load image. CRC error found in %s file.";
inline constexpr const char* gesCompression = "Cannot load image. Compression error found in %s file.";
inline constexpr const char* gesExtraCompressedData =
    "Cannot load image. Extra compressed data found in %s file.";
inline constexpr const char* gesInvalidPalette = "Cannot load image. Palette in %s file is invalid.";
inline constexpr const char* gesUnknownCriticalChunk =
    "Cannot load PNG image. Unexpected but critical chunk detected.";
// The file ends before the rows its header promises (or holds too little data to give them).
inline constexpr const char* gesDataEnded = "Cannot load image. The %s file ends before its picture does.";
// The picture's header asks for more memory than the machine gives.
inline constexpr const char* gesPictureTooLarge = "Cannot load image. The %s picture is too large.";

// Progress stage texts.
inline constexpr const char* gesPreparing = "Preparing...";
inline constexpr const char* gesLoadingData = "Loading data...";
inline constexpr const char* gesUpsampling = "Upsampling...";
inline constexpr const char* gesTransfering = "Transfering...";

// Colour manager.
inline constexpr const char* gesColorConversion = "Color conversion failed. Could not find a proper method.";
inline constexpr const char* gesInvalidColorDepth =
    "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
inline constexpr const char* gesIndexedNotSupported =
    "Conversion between indexed and non-indexed pixel formats is not supported.";
inline constexpr const char* gesInvalidSampleCount =
    "Sample count per pixel does not correspond to the given color scheme.";
inline constexpr const char* gesInvalidSubSampling = "Subsampling value is invalid. Allowed are 1, 2 and 4.";
inline constexpr const char* gesVerticalSubSamplingError =
    "Vertical subsampling value must be <= horizontal subsampling value.";
// A row buffer handed to the colour manager is smaller than the row it describes.
inline constexpr const char* gesRowBufferTooSmall =
    "Color conversion failed. A row buffer is too small for the pixel count.";

// Decoders.
inline constexpr const char* gesLZ77Error = "LZ77 decompression error.";
inline constexpr const char* gesJPEGEOI = "JPEG decompression error. Unexpected end of input.";
inline constexpr const char* gesJPEGStripSize = "Improper JPEG strip/tile size.";
inline constexpr const char* gesJPEGComponentCount = "Improper JPEG component count.";
inline constexpr const char* gesJPEGDataPrecision = "Improper JPEG data precision.";
inline constexpr const char* gesJPEGSamplingFactors = "Improper JPEG sampling factors.";
inline constexpr const char* gesJPEGBogusTableField = "Bogus JPEG tables field.";
inline constexpr const char* gesJPEGFractionalLine = "Fractional JPEG scanline unsupported.";
// %s names the kind of data ("PackBits", "PCX run-length", ...).
inline constexpr const char* gesPackedDataEnded = "Cannot load image. The %s data end inside a packet.";
inline constexpr const char* gesUnpackedRoomExceeded =
    "Cannot load image. The %s data unpack past the room given for them.";
// A TIFF LZW stream adds a string when all 4096 codes are taken (no clear code came in time).
inline constexpr const char* gesLZWTableFull = "Cannot load image. The LZW data overflow their code table.";

// Feature phrase for gesUnsupportedFeature.
inline constexpr const char* gesCompressionScheme = "The compression scheme is";
