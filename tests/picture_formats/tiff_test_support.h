#pragma once
// Hand-made TIFF files for the reader tests: a header, data blocks and one directory, in either byte
// order. Entries hold SHORT, LONG or RATIONAL values; values that do not fit the entry go after
// the data. And the message a load of such bytes raises.

#include <cstdint>
#include <map>
#include <vector>

#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/reader_test_support.h"

class TTIFFBuilder {
 public:
  explicit TTIFFBuilder(bool bigEndian = false) : FBigEndian(bigEndian) {}

  // Appends data (strips, anything an entry points at) and returns its offset.
  uint32_t Data(const Bytes& bytes) {
    const auto offset = static_cast<uint32_t>(8 + FData.size());
    FData.insert(FData.end(), bytes.begin(), bytes.end());
    return offset;
  }
  TTIFFBuilder& Short(uint16_t tag, std::vector<uint32_t> values) { return Set(tag, 3, std::move(values)); }
  TTIFFBuilder& Long(uint16_t tag, std::vector<uint32_t> values) { return Set(tag, 4, std::move(values)); }
  // Numerator and denominator pairs.
  TTIFFBuilder& Rational(uint16_t tag, std::vector<uint32_t> pairs) { return Set(tag, 5, std::move(pairs)); }
  // An entry as it stands: any type, count and value field.
  TTIFFBuilder& Raw(uint16_t tag, uint16_t type, uint32_t count, uint32_t field) {
    FRaw[tag] = {type, count, field};
    FEntries.erase(tag);
    return *this;
  }
  TTIFFBuilder& Remove(uint16_t tag) {
    FEntries.erase(tag);
    FRaw.erase(tag);
    return *this;
  }
  // A one-strip picture: size, samples, bits, photometric, compression and the strip.
  TTIFFBuilder& Picture(uint32_t width, uint32_t height, uint32_t samples, uint32_t bits,
                        uint32_t photometric, uint32_t compression, const Bytes& strip) {
    Long(256, {width})
        .Long(257, {height})
        .Short(277, {samples})
        .Short(258, std::vector<uint32_t>(samples, bits));
    Short(262, {photometric}).Short(259, {compression}).Long(278, {height});
    return Long(273, {Data(strip)}).Long(279, {uint32_t(strip.size())});
  }

  // The file; `nextIFD` is written as the directory's next-directory offset.
  Bytes Build(uint32_t nextIFD = 0) const {
    struct TOut {
      uint16_t Tag, Type;
      uint32_t Count;
      Bytes Field;
    };
    Bytes data = FData;
    std::vector<TOut> entries;
    for (const auto& [tag, entry] : FEntries) {
      Bytes values;
      for (uint32_t v : entry.Values) {
        if (entry.Type == 3) Put16(values, v);
        if (entry.Type == 4 || entry.Type == 5) Put32(values, v);
      }
      const auto count = uint32_t(entry.Type == 5 ? entry.Values.size() / 2 : entry.Values.size());
      Bytes field = values;
      if (values.size() > 4) {
        field.clear();
        Put32(field, uint32_t(8 + data.size()));
        data.insert(data.end(), values.begin(), values.end());
        if (data.size() % 2) data.push_back(0);
      }
      field.resize(4);
      entries.push_back({tag, entry.Type, count, field});
    }
    for (const auto& [tag, raw] : FRaw) {
      Bytes field;
      Put32(field, raw.Field);
      entries.push_back({tag, raw.Type, raw.Count, field});
    }
    Bytes file{uint8_t(FBigEndian ? 'M' : 'I'), uint8_t(FBigEndian ? 'M' : 'I')};
    Put16(file, 42);
    Put32(file, uint32_t(8 + data.size()));
    file.insert(file.end(), data.begin(), data.end());
    Put16(file, uint32_t(entries.size()));
    for (const TOut& entry : entries) {
      Put16(file, entry.Tag);
      Put16(file, entry.Type);
      Put32(file, entry.Count);
      file.insert(file.end(), entry.Field.begin(), entry.Field.end());
    }
    Put32(file, nextIFD);
    return file;
  }

 private:
  struct TEntry {
    uint16_t Type = 0;
    std::vector<uint32_t> Values;
  };
  struct TRaw {
    uint16_t Type;
    uint32_t Count;
    uint32_t Field;
  };

  TTIFFBuilder& Set(uint16_t tag, uint16_t type, std::vector<uint32_t> values) {
    FEntries[tag] = {type, std::move(values)};
    FRaw.erase(tag);
    return *this;
  }
  void Put16(Bytes& out, uint32_t v) const { out += FBigEndian ? Be(v, 2) : Le(v, 2); }
  void Put32(Bytes& out, uint32_t v) const { out += FBigEndian ? Be(v, 4) : Le(v, 4); }

  const bool FBigEndian;
  Bytes FData;
  std::map<uint16_t, TEntry> FEntries;
  std::map<uint16_t, TRaw> FRaw;
};

// The message of what the TIFF reader raises on the bytes (loaded from a stream); "" when they load.
inline std::string LoadMessage(const Bytes& file) {
  return RaisedMessage<Exception>([&] { LoadBytes<TTIFFGraphic>(file); });
}
