#include "picture_formats/reader_buffer.h"

#include <new>
#include <stdexcept>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

std::vector<uint8_t> ZeroedBuffer(uint64_t size) {
  try {
    return std::vector<uint8_t>(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EOutOfResources(SOutOfResources);
  } catch (const std::length_error&) {
    throw EOutOfResources(SOutOfResources);
  }
}
