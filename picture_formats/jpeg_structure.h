#pragma once
// A look at a JPEG file's marker structure without decoding it.

#include <cstdint>
#include <span>

// Whether the file is one whole sequential scan: start of image, marker segments that all lie within
// the file (one Huffman-coded sequential frame among them), one scan whose entropy-coded data are
// followed by the end-of-image marker, nothing missing in between. Decoding such a file cannot run out
// of data, nor meet a marker that ends it in error, once its header has been read (its scan data may
// still turn out garbled, which libjpeg tells only when it meets them). Anything else (progressive or
// arithmetic-coded files, files cut short, stray bytes between segments) gives false.
bool IsOneWholeSequentialScan(std::span<const uint8_t> file);
