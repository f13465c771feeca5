#pragma once
// The one check every picture reader makes of what a header promises against the data the file holds.

#include <cstdint>

// Whether `dataBytes` bytes of file data can give `rows` rows of `rowBytes` bytes when each byte unpacks
// to at most `maxExpansion` bytes (1 for stored data). A reader asks this before sizing its bitmap, so
// that a small file whose header claims a huge picture costs nothing; each scheme's largest expansion is
// derived beside its decoder.
bool DataCanFill(uint64_t dataBytes, uint64_t maxExpansion, uint64_t rowBytes, uint64_t rows);
