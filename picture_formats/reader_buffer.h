#pragma once
// Working buffers of the readers that unpack whole strips or images before the rows are converted.

#include <cstdint>
#include <vector>

// A zero-filled buffer of `size` bytes, so that data ending early leave black rather than old memory.
// A size the machine cannot hold raises EOutOfResources.
std::vector<uint8_t> ZeroedBuffer(uint64_t size);
