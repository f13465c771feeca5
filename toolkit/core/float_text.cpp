#include "toolkit/core/float_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

// Appends "." and the digits from `first` on.
void AppendFraction(std::string& out, const std::string& digits, size_t first) {
  out += '.';
  out.append(digits, first);
}

// Text of NaN and the infinities, or empty for a finite value.
std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  return {};
}

// A magnitude as decimal digits d0 d1 d2 ... meaning d0.d1d2... x 10^Exponent.
struct TDecimal {
  std::string Digits;
  int Exponent = 0;
};

// 18 significant digits, as an extended-precision formatter gives them; rounding to fewer digits is
// then done on them, halves away from zero (so 2.5 prints as 3).
TDecimal DecimalOf(double magnitude) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 17);
  const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = text.find('e');
  TDecimal out;
  for (char c : text.substr(0, e))
    if (c != '.') out.Digits += c;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                  out.Exponent);
  if (magnitude == 0) out.Exponent = 0;
  return out;
}

// Keeps the first `keep` digits, rounding half away from zero. A carry out of the first digit adds a
// leading "1" and raises the exponent, so the result then has keep + 1 digits. keep <= 0 keeps nothing
// unless the rounding carries into a new first digit.
void RoundDigits(TDecimal& d, int keep) {
  if (keep < 0) {
    d.Digits.clear();
    return;
  }
  const auto count = static_cast<size_t>(keep);
  if (count >= d.Digits.size()) {
    d.Digits.append(count - d.Digits.size(), '0');
    return;
  }
  const bool up = d.Digits[count] >= '5';
  d.Digits.resize(count);
  if (!up) return;
  for (size_t i = count; i-- > 0;) {
    if (d.Digits[i] != '9') {
      ++d.Digits[i];
      return;
    }
    d.Digits[i] = '0';
  }
  d.Digits.insert(d.Digits.begin(), '1');
  ++d.Exponent;
}

// Rounds to `count` significant digits (at least 1), keeping exactly that many.
TDecimal Significant(double magnitude, int count) {
  TDecimal d = DecimalOf(magnitude);
  RoundDigits(d, count);
  d.Digits.resize(static_cast<size_t>(count));
  return d;
}

void InsertThousands(std::string& digits) {
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
}

}  // namespace

std::string FloatToFixed(double value, int decimals, bool thousands) {
  if (std::string special = NonFiniteText(value); !special.empty()) return special;
  decimals = std::max(decimals, 0);
  TDecimal d = DecimalOf(std::fabs(value));
  RoundDigits(d, d.Exponent + 1 + decimals);
  std::string integer, fraction;
  if (d.Digits.empty()) {
    integer = "0";
    fraction.assign(static_cast<size_t>(decimals), '0');
  } else if (d.Exponent >= 0) {
    const auto integerDigits = static_cast<size_t>(d.Exponent) + 1;
    integer = d.Digits.substr(0, integerDigits);
    fraction = d.Digits.substr(integerDigits);
  } else {
    integer = "0";
    fraction = std::string(static_cast<size_t>(-d.Exponent - 1), '0') + d.Digits;
  }
  const bool zero = std::all_of(d.Digits.begin(), d.Digits.end(), [](char c) { return c == '0'; });
  if (thousands) InsertThousands(integer);
  std::string out = value < 0 && !zero ? "-" : "";
  out += integer;
  if (decimals > 0) out += "." + fraction;
  return out;
}

std::string FloatToScientific(double value, int digits) {
  if (std::string special = NonFiniteText(value); !special.empty()) return special;
  digits = std::max(digits, 1);
  const TDecimal s = Significant(std::fabs(value), digits);
  std::string out = value < 0 ? "-" : "";
  out += s.Digits[0];
  if (s.Digits.size() > 1) AppendFraction(out, s.Digits, 1);
  std::string exponent = std::to_string(std::abs(s.Exponent));
  if (exponent.size() < 3) exponent.insert(0, 3 - exponent.size(), '0');
  out += (s.Exponent < 0 ? "E-" : "E+") + exponent;
  return out;
}

std::string FloatToGeneral(double value, int digits) {
  if (std::string special = NonFiniteText(value); !special.empty()) return special;
  if (value == 0) return "0";
  digits = std::max(digits, 1);
  TDecimal s = Significant(std::fabs(value), digits);
  while (s.Digits.size() > 1 && s.Digits.back() == '0') s.Digits.pop_back();
  std::string out = value < 0 ? "-" : "";
  if (s.Exponent < digits && std::fabs(value) >= 0.00001) {
    if (s.Exponent >= 0) {
      const size_t integerDigits = static_cast<size_t>(s.Exponent) + 1;
      if (s.Digits.size() < integerDigits) s.Digits.append(integerDigits - s.Digits.size(), '0');
      out += s.Digits.substr(0, integerDigits);
      if (s.Digits.size() > integerDigits) AppendFraction(out, s.Digits, integerDigits);
    } else {
      out += "0." + std::string(static_cast<size_t>(-s.Exponent - 1), '0') + s.Digits;
    }
    return out;
  }
  out += s.Digits[0];
  if (s.Digits.size() > 1) AppendFraction(out, s.Digits, 1);
  return out + "E" + std::to_string(s.Exponent);
}
