#include "toolkit/core/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "tests/toolkit/core/core_test_support.h"
#include "toolkit/core/exceptions.h"

namespace {

enum TColour { clRed = 3 };

TEST(FormatIntegers, WorkedValuesWidthPrecisionAndHex) {
  EXPECT_EQ(Format("%s%4.4d%s", {"process", 7, ".bmp"}), "process0007.bmp");
  // Neither width nor precision cuts digits off.
  EXPECT_EQ(Format("%s%4.4d%s", {"night", 12000, ".bmp"}), "night12000.bmp");
  EXPECT_EQ(Format("%s%1.0d", {"ItemsString", 0}), "ItemsString0");
  // An argument's own "%" is not read again.
  EXPECT_EQ(Format("%s%d.%d%s", {"%s%", 4, 4, "d%s"}), "%s%4.4d%s");
  // The precision counts digits, not the sign.
  EXPECT_EQ(Format("%6.3d", {-5}), "  -005");
  EXPECT_EQ(Format("%d", {std::numeric_limits<int64_t>::min()}), "-9223372036854775808");
  EXPECT_EQ(Format("%d", {std::numeric_limits<uint64_t>::max()}), "18446744073709551615");
  EXPECT_EQ(Format("%D", {clRed}), "3");
  EXPECT_EQ(Format("%.4x", {255}), "00FF");
  // Negative values of types of 4 bytes or less wrap as 32-bit numbers.
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("%x", {int64_t{-1}}), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("%u", {-1}), "4294967295");
  enum class TSmall : int8_t { Minus = -1 };
  EXPECT_EQ(Format("%x", {TSmall::Minus}), "FFFFFFFF");
}

TEST(FormatDirectives, IndexStarTextAndPercent) {
  EXPECT_EQ(Format("%1:s %0:s", {"a", "b"}), "b a");
  EXPECT_EQ(Format("%d %d %0:d %d", {10, 20}), "10 20 10 20");
  EXPECT_EQ(Format("%*d|", {5, 42}), "   42|");
  // A negative "*" width left-justifies.
  EXPECT_EQ(Format("%*d|", {-5, 42}), "42   |");
  EXPECT_EQ(Format("%.*d", {3, 7}), "007");
  EXPECT_EQ(Format("%*.*f", {8, 3, 3.14159}), "   3.142");
  EXPECT_EQ(Format("%*:s", {1, "x"}), "x");
  EXPECT_EQ(Format("%-5s|", {"ab"}), "ab   |");
  EXPECT_EQ(Format("%.2s", {"abcdef"}), "ab");
  EXPECT_EQ(Format("%s", {'z'}), "z");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("no directives", {1, 2}), "no directives");
}

TEST(FormatFloats, FixedRoundsHalvesAwayFromZero) {
  EXPECT_EQ(Format("%f", {3.14159}), "3.14");
  EXPECT_EQ(Format("%.0f", {2.5}), "3");
  EXPECT_EQ(Format("%.0f", {-2.5}), "-3");
  // Carries into a new leading digit, also from below the first kept digit.
  EXPECT_EQ(Format("%.2f", {9.996}), "10.00");
  EXPECT_EQ(Format("%.2f", {0.006}), "0.01");
  EXPECT_EQ(Format("%.2f", {0.0004}), "0.00");
  // No "-0.00".
  EXPECT_EQ(Format("%.2f", {-0.001}), "0.00");
  EXPECT_EQ(Format("%8.1f|", {1.25}), "     1.3|");
  // 1.005 is stored a little below 1.005.
  EXPECT_EQ(Format("%.2f", {1.005}), "1.00");
  EXPECT_EQ(Format("%f", {1e300}).size(), 301u + 3u);
}

TEST(FormatErrors, MismatchesBadDirectivesAndMissingArguments) {
  EXPECT_EQ(RaisedMessage<EConvertError>([] { Format("%d", {"text"}); }),
            "Format '%d' incorrect ou incompatible avec l'argument");
  EXPECT_EQ(RaisedMessage<EConvertError>([] { Format("%d %d", {1}); }), "Aucun argument pour le format '%d %d'");
  EXPECT_THROW(Format("%s", {5}), EConvertError);
  EXPECT_THROW(Format("%d", {1.5}), EConvertError);
  EXPECT_THROW(Format("%f", {1}), EConvertError);
  EXPECT_THROW(Format("%*d", {INT64_MIN, 1}), EConvertError);  // no positive width to flip to
  EXPECT_THROW(Format("%.*d", {int64_t{1} << 40, 1}), EConvertError);
  EXPECT_THROW(Format("%x", {"ff"}), EConvertError);
  EXPECT_THROW(Format("%p", {1}), EConvertError);
  EXPECT_THROW(Format("%*d", {"5", 1}), EConvertError);
  EXPECT_THROW(Format("%s", {}), EConvertError);
  EXPECT_THROW(Format("%2:d", {1, 2}), EConvertError);
  EXPECT_THROW(Format("%*d", {5}), EConvertError);
  EXPECT_THROW(Format("abc%", {1}), EConvertError);
  EXPECT_THROW(Format("%5", {1}), EConvertError);
  EXPECT_THROW(Format("%q", {1}), EConvertError);
  EXPECT_THROW(Format("%99999999999d", {1}), EConvertError);
  EXPECT_THROW(Format("%*d", {int64_t{1} << 40, 1}), EConvertError);
}

}  // namespace
