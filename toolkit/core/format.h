#pragma once
// Pascal-style Format: %d %u %x %s %f %e %g %n %m %p with index ("%1:s"), width, precision and "*".
// "%4.4d" gives at least four digits. A directive whose argument is missing or of another kind raises
// EConvertError; nothing is undefined.

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

class TFormatArg {
 public:
  template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>)
  TFormatArg(T value) {
    if constexpr (std::is_signed_v<T>)
      FValue = static_cast<int64_t>(value);
    else
      FValue = static_cast<uint64_t>(value);
  }
  TFormatArg(double value) : FValue(value) {}
  TFormatArg(const char* value) : FValue(std::string(value)) {}
  TFormatArg(std::string_view value) : FValue(std::string(value)) {}
  TFormatArg(const std::string& value) : FValue(value) {}
  TFormatArg(const void* value) : FValue(value) {}

  // Kinds: signed integer, unsigned integer, floating point, text, pointer.
  using Value = std::variant<int64_t, uint64_t, double, std::string, const void*>;
  const Value& Get() const { return FValue; }

 private:
  Value FValue;
};

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args);
