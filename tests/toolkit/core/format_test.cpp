#include "toolkit/core/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "toolkit/core/exceptions.h"

namespace {

// The text of the exception a Format call raises, or "" when it raises nothing.
template <class F>
std::string ConvertErrorOf(F call) {
  try {
    call();
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return {};
}

TEST(FormatIntegers, WorkedValues) {
  EXPECT_EQ(Format("%s%4.4d%s", {"process", 7, ".bmp"}), "process0007.bmp");
  EXPECT_EQ(Format("%s%4.4d%s", {"night", 12000, ".bmp"}), "night12000.bmp");
  EXPECT_EQ(Format("%s%d%s", {"process", 7, ".bmp"}), "process7.bmp");
  EXPECT_EQ(Format("%d/%d", {3, 25}), "3/25");
  EXPECT_EQ(Format("L%4.4d", {0}), "L0000");
  EXPECT_EQ(Format("L%4.4d", {10000}), "L10000");
  EXPECT_EQ(Format("lines%3.3d", {7}), "lines007");
  EXPECT_EQ(Format("lines%3.3d", {1000}), "lines1000");
  EXPECT_EQ(Format("%s%1.0d", {"ItemsString", 0}), "ItemsString0");
  EXPECT_EQ(Format("%s%1.0d", {"ItemsString", 10}), "ItemsString10");
  EXPECT_EQ(Format("%dKB", {12}), "12KB");
  EXPECT_EQ(Format("%s%d.%d%s", {"%s%", 4, 4, "d%s"}), "%s%4.4d%s");
}

TEST(FormatIntegers, PrecisionAndWidth) {
  EXPECT_EQ(Format("%.0d", {0}), "0");
  EXPECT_EQ(Format("%4.4d", {-7}), "-0007");
  EXPECT_EQ(Format("%6.3d", {-5}), "  -005");
  EXPECT_EQ(Format("%5d|", {42}), "   42|");
  EXPECT_EQ(Format("%-5d|", {42}), "42   |");
  EXPECT_EQ(Format("%1d", {12345}), "12345");
  EXPECT_EQ(Format("%d", {std::numeric_limits<int64_t>::min()}), "-9223372036854775808");
  EXPECT_EQ(Format("%d", {std::numeric_limits<uint64_t>::max()}), "18446744073709551615");
  EXPECT_EQ(Format("%d", {uint8_t{200}}), "200");
  EXPECT_EQ(Format("%D", {5}), "5");
}

TEST(FormatIntegers, UnsignedAndHex) {
  EXPECT_EQ(Format("%x", {255}), "FF");
  EXPECT_EQ(Format("%.4x", {255}), "00FF");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("%x", {int64_t{-1}}), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("%u", {-1}), "4294967295");
  EXPECT_EQ(Format("%u", {int16_t{-2}}), "4294967294");
  EXPECT_EQ(Format("%u", {123u}), "123");
  EXPECT_EQ(Format("%X", {0xABCDu}), "ABCD");
}

TEST(FormatIndexAndStar, IndexMovesTheCursor) {
  EXPECT_EQ(Format("%1:s %0:s", {"a", "b"}), "b a");
  EXPECT_EQ(Format("%d %d %0:d %d", {10, 20}), "10 20 10 20");
  EXPECT_EQ(Format("%1:s%s", {"a", "b", "c"}), "bc");
  EXPECT_EQ(Format("%*d|", {5, 42}), "   42|");
  EXPECT_EQ(Format("%-*d|", {5, 42}), "42   |");
  EXPECT_EQ(Format("%*d|", {-5, 42}), "42   |");
  EXPECT_EQ(Format("%.*d", {3, 7}), "007");
  EXPECT_EQ(Format("%*.*f", {8, 3, 3.14159}), "   3.142");
  EXPECT_EQ(Format("%*:s", {1, "x"}), "x");
}

TEST(FormatText, WidthPrecisionAndPercent) {
  EXPECT_EQ(Format("%s", {std::string("abc")}), "abc");
  EXPECT_EQ(Format("%5s|", {"ab"}), "   ab|");
  EXPECT_EQ(Format("%-5s|", {"ab"}), "ab   |");
  EXPECT_EQ(Format("%.2s", {"abcdef"}), "ab");
  EXPECT_EQ(Format("%s", {'z'}), "z");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("OverWrite? %s", {"/tmp/a b.bmp"}), "OverWrite? /tmp/a b.bmp");
  EXPECT_EQ(Format("no directives", {1, 2}), "no directives");
  // An argument's own "%" is not read again.
  EXPECT_EQ(Format("%s", {"%d"}), "%d");
}

TEST(FormatFloats, FixedScientificGeneral) {
  EXPECT_EQ(Format("%f", {3.14159}), "3.14");
  EXPECT_EQ(Format("%.3f", {-2.5}), "-2.500");
  // Halves round away from zero.
  EXPECT_EQ(Format("%.0f", {2.5}), "3");
  EXPECT_EQ(Format("%.0f", {-2.5}), "-3");
  EXPECT_EQ(Format("%.2f", {0.125}), "0.13");
  EXPECT_EQ(Format("%.2f", {9.996}), "10.00");
  EXPECT_EQ(Format("%.2f", {0.006}), "0.01");
  EXPECT_EQ(Format("%.2f", {0.0004}), "0.00");
  EXPECT_EQ(Format("%.0f", {0.0}), "0");
  EXPECT_EQ(Format("%.2f", {-0.001}), "0.00");
  EXPECT_EQ(Format("%8.1f|", {1.25}), "     1.3|");
  // 1.005 is stored a little below 1.005.
  EXPECT_EQ(Format("%.2f", {1.005}), "1.00");
  EXPECT_EQ(Format("%.2e", {9.999}), "1.0E+001");
  EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
  EXPECT_EQ(Format("%.3e", {-0.000123}), "-1.23E-004");
  EXPECT_EQ(Format("%.2e", {0.0}), "0.0E+000");
  EXPECT_EQ(Format("%g", {0.1}), "0.1");
  EXPECT_EQ(Format("%g", {1.0 / 3.0}), "0.333333333333333");
  EXPECT_EQ(Format("%g", {100.0}), "100");
  EXPECT_EQ(Format("%g", {1e20}), "1E20");
  EXPECT_EQ(Format("%g", {1.5e-7}), "1.5E-7");
  EXPECT_EQ(Format("%g", {0.00001}), "0.00001");
  EXPECT_EQ(Format("%.3g", {1234.0}), "1.23E3");
  EXPECT_EQ(Format("%.4g", {1234.0}), "1234");
  EXPECT_EQ(Format("%g", {-2.5}), "-2.5");
  EXPECT_EQ(Format("%g", {0.0}), "0");
  EXPECT_EQ(Format("%f", {std::numeric_limits<double>::infinity()}), "INF");
  EXPECT_EQ(Format("%g", {-std::numeric_limits<double>::infinity()}), "-INF");
  EXPECT_EQ(Format("%e", {std::numeric_limits<double>::quiet_NaN()}), "NAN");
  EXPECT_EQ(Format("%f", {1e300}).size(), 301u + 3u);
}

TEST(FormatFloats, ThousandsMoneyAndPointer) {
  EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
  EXPECT_EQ(Format("%.0n", {-1234.0}), "-1,234");
  EXPECT_EQ(Format("%n", {999.0}), "999.00");
  EXPECT_EQ(Format("%.1n", {100000.0}), "100,000.0");
  EXPECT_EQ(Format("%m", {1234.5}), "$1,234.50");
  EXPECT_EQ(Format("%m", {-0.5}), "-$0.50");
  EXPECT_EQ(Format("%.0m", {7.0}), "$7");
  const std::string pointer = Format("%p", {reinterpret_cast<const void*>(uintptr_t{0xBEEF})});
  EXPECT_EQ(pointer.size(), 2 * sizeof(void*));
  EXPECT_EQ(pointer, std::string(2 * sizeof(void*) - 4, '0') + "BEEF");
}

TEST(FormatErrors, MismatchedKindsRaiseInvalidFormat) {
  const std::string invalid = "Format '%d' incorrect ou incompatible avec l'argument";
  EXPECT_EQ(ConvertErrorOf([] { Format("%d", {"text"}); }), invalid);
  EXPECT_FALSE(ConvertErrorOf([] { Format("%s", {5}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%d", {1.5}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%f", {1}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%x", {"ff"}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%p", {1}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%*d", {"5", 1}); }).empty());
}

TEST(FormatErrors, BadDirectivesAndMissingArguments) {
  EXPECT_EQ(ConvertErrorOf([] { Format("%d %d", {1}); }), "Aucun argument pour le format '%d %d'");
  EXPECT_FALSE(ConvertErrorOf([] { Format("%s", {}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%2:d", {1, 2}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%*d", {5}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("abc%", {1}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%5", {1}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%q", {1}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%99999999999d", {1}); }).empty());
  EXPECT_FALSE(ConvertErrorOf([] { Format("%*d", {int64_t{1} << 40, 1}); }).empty());
}

enum TColour { clRed = 3 };

TEST(FormatArguments, EnumerationsAreNumbers) {
  EXPECT_EQ(Format("%d", {clRed}), "3");
  enum class TSmall : int8_t { Minus = -1 };
  EXPECT_EQ(Format("%x", {TSmall::Minus}), "FFFFFFFF");
}

}  // namespace
