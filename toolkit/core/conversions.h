#pragma once
// Numbers to text and back. Integer text: blanks first, an optional sign, then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow (no trailing blanks).
// Decimal text must fit the target type; hexadecimal text may use all its bits (so "$FFFFFFFF" is -1
// as a 32-bit integer). Floating-point text always uses "." as decimal separator, whatever the locale.

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

// Pascal's Val: code is 0 on success, else the 1-based position of the first character that could not
// be taken (the position after the text when it ends too early, 1 for an empty text; for a number
// that does not fit, the digit that made it too large). value is 0 on failure.
void Val(std::string_view text, int32_t& value, int& code);
void Val(std::string_view text, int64_t& value, int& code);

// Raise EConvertError (SInvalidInteger) on text that is not an integer of the type.
int32_t StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t defaultValue);
int64_t StrToInt64Def(std::string_view text, int64_t defaultValue);
bool TryStrToInt(std::string_view text, int32_t& value);
bool TryStrToInt64(std::string_view text, int64_t& value);

template <std::integral T>
requires(!std::same_as<T, bool>) std::string IntToStr(T value) {
  return std::to_string(value);
}

// Upper-case hexadecimal with at least `digits` digits. Negative values of types of 4 bytes or less are
// written as 32-bit numbers, of 8-byte types as 64-bit numbers.
std::string IntToHexBits(uint64_t bits, int digits);
template <std::integral T>
requires(!std::same_as<T, bool>) std::string IntToHex(T value, int digits) {
  if constexpr (sizeof(T) <= 4)
    return IntToHexBits(static_cast<uint32_t>(value), digits);
  else
    return IntToHexBits(static_cast<uint64_t>(value), digits);
}

// Blanks around the text are allowed; then an optional sign, digits with an optional "." and an
// optional exponent ("E" or "e", optional sign, digits). Raises EConvertError (SInvalidFloat) on other
// text and on numbers outside the range of double.
double StrToFloat(std::string_view text);
bool TryStrToFloat(std::string_view text, double& value);
// Up to 15 significant digits, fixed or scientific as Format's "%g".
std::string FloatToStr(double value);
