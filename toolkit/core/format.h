#pragma once
// Pascal-style Format: %d %u %x %s %f %e %g %n %m %p with index ("%1:s"), width, precision and "*".
// "%4.4d" gives at least four digits. A directive whose argument is missing or of another kind raises
// EConvertError; nothing is undefined.
//
// Directive: "%" [index ":"] ["-"] [width] ["." precision] type, where index, width and precision are
// decimal digits or "*" (taken from the next argument, which must be an integer). "%%" writes "%".
// An index moves the argument cursor: later directives without one go on from the argument after it.
// Width pads with blanks on the left, or on the right after "-"; a negative "*" width left-justifies.
// Types (upper-case letters are accepted too):
//   d  integer in decimal; the precision is the minimum number of digits (the sign is not counted).
//   u  integer as unsigned: a negative value of a type of 4 bytes or less is taken modulo 2^32, of an
//      8-byte type modulo 2^64.
//   x  integer as upper-case hexadecimal (negative values as for u); the precision is the minimum digits.
//   s  text (a single char is text too); the precision is the maximum number of characters.
//   f  floating point "-ddd.ddd", precision = digits after the point (default 2).
//   e  floating point "-d.ddd...E+ddd", precision = total digits (default 15), exponent of 3 digits at least.
//   g  floating point, shortest of fixed or scientific with precision significant digits (default 15),
//      trailing zeros removed; fixed when the integer digits fit the precision and |value| >= 0.00001,
//      else scientific as "1.5E20" / "1E-10".
//   n  as f with "," between groups of three integer digits.
//   m  money: as n with two decimals by default, written "$1,234.50" and "-$1,234.50".
//   p  pointer as upper-case hexadecimal, 2 digits per byte of a pointer (16 on 64-bit builds).
// Floating-point values are rounded half away from zero on their first 18 significant digits (so "%.0f"
// of 2.5 is "3"). The decimal separator is always "." and the thousands separator ",", whatever the
// process locale.
// NaN and infinities are written "NAN", "INF" and "-INF".

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

class TFormatArg {
 public:
  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char>) TFormatArg(T value) : FIntegerSize(sizeof(T)) {
    if constexpr (std::is_signed_v<T>)
      FValue = static_cast<int64_t>(value);
    else
      FValue = static_cast<uint64_t>(value);
  }
  // Enumerations format as their numbers.
  template <class E>
  requires std::is_enum_v<E> TFormatArg(E value) : FIntegerSize(sizeof(E)) {
    if constexpr (std::is_signed_v<std::underlying_type_t<E>>)
      FValue = static_cast<int64_t>(value);
    else
      FValue = static_cast<uint64_t>(value);
  }
  // A single character is text.
  TFormatArg(char value) : FValue(std::string(1, value)) {}
  // A Boolean is no Format argument; naming the wanted text or number avoids a silent conversion.
  TFormatArg(bool value) = delete;
  TFormatArg(double value) : FValue(value) {}
  TFormatArg(const char* value) : FValue(std::string(value)) {}
  TFormatArg(std::string_view value) : FValue(std::string(value)) {}
  TFormatArg(const std::string& value) : FValue(value) {}
  TFormatArg(const void* value) : FValue(value) {}

  // Kinds: signed integer, unsigned integer, floating point, text, pointer.
  using Value = std::variant<int64_t, uint64_t, double, std::string, const void*>;
  const Value& Get() const { return FValue; }
  // Size in bytes of the integer type the argument came from (0 for the other kinds).
  int IntegerSize() const { return FIntegerSize; }

 private:
  Value FValue;
  int FIntegerSize = 0;
};

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args);
