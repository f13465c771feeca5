#include "toolkit/core/format.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/float_text.h"
#include "toolkit/core/messages.h"

namespace {

// Widths and precisions beyond this are refused as an invalid format rather than building huge texts.
constexpr int kMaxFieldSize = 1 << 20;

constexpr int kDefaultFixedDecimals = 2;
constexpr int kDefaultSignificantDigits = 15;
constexpr const char* kCurrencySymbol = "$";

std::string DigitsOf(uint64_t value, unsigned base) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value % base]);
    value /= base;
  } while (value != 0);
  return text;
}

// Zero-pads digits to the minimum count a precision asks for.
void PadDigits(std::string& digits, std::optional<int> precision) {
  if (precision && digits.size() < static_cast<size_t>(*precision))
    digits.insert(0, static_cast<size_t>(*precision) - digits.size(), '0');
}

class TFormatter {
 public:
  TFormatter(std::string_view format, std::initializer_list<TFormatArg> args)
      : FFormat(format), FArgs(args) {}

  std::string Run() {
    while (FPos < FFormat.size()) {
      const char c = FFormat[FPos++];
      if (c != '%') {
        FOut += c;
        continue;
      }
      if (Peek() == '%') {
        ++FPos;
        FOut += '%';
        continue;
      }
      Directive();
    }
    return std::move(FOut);
  }

 private:
  [[noreturn]] void Invalid() const { throw EConvertError(Format(SInvalidFormat, {FFormat})); }

  char Peek() const { return FPos < FFormat.size() ? FFormat[FPos] : '\0'; }

  const TFormatArg& NextArg() {
    if (FNext >= FArgs.size()) throw EConvertError(Format(SArgumentMissing, {FFormat}));
    return FArgs.begin()[FNext++];
  }

  // Digits or "*" (an integer argument); nothing when neither is there.
  std::optional<int64_t> Number() {
    if (Peek() == '*') {
      ++FPos;
      const TFormatArg::Value& value = NextArg().Get();
      if (const auto* s = std::get_if<int64_t>(&value)) return *s;
      if (const auto* u = std::get_if<uint64_t>(&value)) {
        if (*u > static_cast<uint64_t>(INT64_MAX)) Invalid();
        return static_cast<int64_t>(*u);
      }
      Invalid();
    }
    if (!std::isdigit(static_cast<unsigned char>(Peek()))) return std::nullopt;
    int64_t n = 0;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) {
      n = n * 10 + (FFormat[FPos++] - '0');
      if (n > kMaxFieldSize) Invalid();
    }
    return n;
  }

  void Directive() {
    std::optional<int64_t> number = Number();
    if (Peek() == ':') {
      ++FPos;
      const int64_t index = number.value_or(0);
      if (index < 0) throw EConvertError(Format(SArgumentMissing, {FFormat}));
      FNext = static_cast<size_t>(index);
      number.reset();
    }
    bool left = false;
    if (!number) {
      if (Peek() == '-') {
        ++FPos;
        left = true;
      }
      number = Number();
    }
    int64_t width = number.value_or(0);
    // Bounded before the sign flips: a width of INT64_MIN has no positive counterpart.
    if (width > kMaxFieldSize || width < -kMaxFieldSize) Invalid();
    if (width < 0) {
      left = true;
      width = -width;
    }
    std::optional<int> precision;
    if (Peek() == '.') {
      ++FPos;
      const int64_t p = Number().value_or(0);
      if (p > kMaxFieldSize) Invalid();
      if (p >= 0) precision = static_cast<int>(p);
    }
    if (FPos >= FFormat.size()) Invalid();
    const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(FFormat[FPos++])));
    std::string text = Convert(type, precision);
    if (text.size() < static_cast<size_t>(width)) {
      const std::string padding(static_cast<size_t>(width) - text.size(), ' ');
      text = left ? text + padding : padding + text;
    }
    FOut += text;
  }

  std::string Convert(char type, std::optional<int> precision) {
    switch (type) {
      case 'd':
        return Decimal(NextArg(), precision);
      case 'u':
        return Unsigned(NextArg(), 10, precision);
      case 'x':
        return Unsigned(NextArg(), 16, precision);
      case 's':
        return Text(NextArg(), precision);
      case 'f':
        return FloatToFixed(Float(NextArg()), precision.value_or(kDefaultFixedDecimals), false);
      case 'n':
        return FloatToFixed(Float(NextArg()), precision.value_or(kDefaultFixedDecimals), true);
      case 'e':
        return FloatToScientific(Float(NextArg()), precision.value_or(kDefaultSignificantDigits));
      case 'g':
        return FloatToGeneral(Float(NextArg()), precision.value_or(kDefaultSignificantDigits));
      case 'm':
        return Money(Float(NextArg()), precision.value_or(kDefaultFixedDecimals));
      case 'p':
        return Pointer(NextArg());
      default:
        Invalid();
    }
  }

  std::string Decimal(const TFormatArg& arg, std::optional<int> precision) {
    const TFormatArg::Value& value = arg.Get();
    bool negative = false;
    uint64_t magnitude;
    if (const auto* s = std::get_if<int64_t>(&value)) {
      negative = *s < 0;
      magnitude = negative ? 0 - static_cast<uint64_t>(*s) : static_cast<uint64_t>(*s);
    } else if (const auto* u = std::get_if<uint64_t>(&value)) {
      magnitude = *u;
    } else {
      Invalid();
    }
    std::string digits = DigitsOf(magnitude, 10);
    PadDigits(digits, precision);
    return negative ? "-" + digits : digits;
  }

  std::string Unsigned(const TFormatArg& arg, unsigned base, std::optional<int> precision) {
    const TFormatArg::Value& value = arg.Get();
    uint64_t bits;
    if (const auto* s = std::get_if<int64_t>(&value)) {
      bits = static_cast<uint64_t>(*s);
      // Values of the 32-bit and narrower types wrap as 32-bit numbers.
      if (arg.IntegerSize() <= 4) bits &= 0xFFFFFFFFu;
    } else if (const auto* u = std::get_if<uint64_t>(&value)) {
      bits = *u;
    } else {
      Invalid();
    }
    std::string digits = DigitsOf(bits, base);
    PadDigits(digits, precision);
    return digits;
  }

  std::string Text(const TFormatArg& arg, std::optional<int> precision) {
    const auto* s = std::get_if<std::string>(&arg.Get());
    if (!s) Invalid();
    if (precision && s->size() > static_cast<size_t>(*precision))
      return s->substr(0, static_cast<size_t>(*precision));
    return *s;
  }

  double Float(const TFormatArg& arg) {
    const auto* d = std::get_if<double>(&arg.Get());
    if (!d) Invalid();
    return *d;
  }

  static std::string Money(double value, int decimals) {
    std::string amount = FloatToFixed(value, decimals, true);
    if (!std::isfinite(value)) return amount;
    if (amount[0] == '-') {
      std::string negative(1, '-');
      negative += kCurrencySymbol;
      negative.append(amount, 1);
      return negative;
    }
    return kCurrencySymbol + amount;
  }

  std::string Pointer(const TFormatArg& arg) {
    const auto* p = std::get_if<const void*>(&arg.Get());
    if (!p) Invalid();
    std::string digits = DigitsOf(reinterpret_cast<uintptr_t>(*p), 16);
    PadDigits(digits, static_cast<int>(2 * sizeof(void*)));
    return digits;
  }

  std::string_view FFormat;
  std::initializer_list<TFormatArg> FArgs;
  size_t FPos = 0;
  size_t FNext = 0;
  std::string FOut;
};

}  // namespace

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args) {
  return TFormatter(format, args).Run();
}
