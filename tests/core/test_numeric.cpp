// The numeric value of a text, as used for table fields and typed values.
#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "core/numbers/numeric.h"

using namespace yex;

TEST(Numeric, PrefixOfAText) {
  const struct {
    const char* what;
    const char* text;
    double value;
  } cases[] = {
      {"plain", "12.5", 12.5},
      {"stops at letter", "12.5abc", 12.5},
      {"unit after number", "12.011 g", 12.011},
      {"blank between digits", "1 2", 12.0},
      {"blanks everywhere", " - 1 2 . 5 E - 1 ", -1.25},
      {"tab and LF skipped", "\t7\n5", 75.0},
      {"leading point", ".5", 0.5},
      {"second point ends", "1.2.3", 1.2},
      {"comma ends", "0,5", 0.0},
      {"comma after digits", "55,85", 55.0},
      {"E exponent", "5e-2", 0.05},
      {"D exponent", "1.5D3", 1500.0},
      {"d exponent negative", "25d-1", 2.5},
      {"bare exponent letter", "7E", 7.0},
      {"exponent sign without digits", "7E+", 7.0},
      {"table field", "  .12345E-01", 0.012345},
      {"field with leading zero", " 0.500E-02", 0.005},
      {"plus sign", "+.5E+1", 5.0},
      {"negative", "-3", -3.0},
      {"hex", "&H1F", 31.0},
      {"hex lower, stops at g", "&hffg", 255.0},
      {"octal", "&O17", 15.0},
      {"octal stops at 8", "&o78", 7.0},
      {"ampersand alone", "&", 0.0},
      {"ampersand other", "&X12", 0.0},
      {"letters", "abc", 0.0},
      {"empty", "", 0.0},
      {"sign only", "-", 0.0},
      {"point only", ".", 0.0},
      {"double sign", "+-5", 0.0},
      {"full-width digits are not digits", "５", 0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(NumericValue(c.text), c.value) << c.what;
}

TEST(Numeric, DecimalPointIgnoresLocale) {
  // A locale whose decimal separator is a comma must not change the reading.
  const char* candidates[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "C.UTF-8"};
  for (const char* name : candidates) {
    if (std::setlocale(LC_NUMERIC, name)) break;
  }
  EXPECT_EQ(NumericValue("2.5"), 2.5);
  EXPECT_EQ(NumericValue("2,5"), 2.0);
  std::setlocale(LC_NUMERIC, "C");
}

TEST(Numeric, HugeAndTinyMagnitudes) {
  EXPECT_TRUE(std::isinf(NumericValue("1e400")));
  EXPECT_TRUE(NumericValue("-1e400") < 0 && std::isinf(NumericValue("-1e400")));
  EXPECT_EQ(NumericValue("1e-400"), 0.0);
  EXPECT_TRUE(std::isinf(NumericValue("1e99999999999999999999")));
  EXPECT_EQ(NumericValue("1e-0000000000000000000002"), 0.01);
  EXPECT_EQ(NumericValue("1E0"), 1.0);
}

TEST(Numeric, LongTextStaysExact) {
  EXPECT_EQ(NumericValue(std::string(100000, '0') + "1.5"), 1.5);
  EXPECT_EQ(NumericValue("0." + std::string(30, '0') + "1e31"), 1.0);
}

namespace {

std::string ToChars(double v) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, v);
  return std::string(text, r.ptr);
}

}  // namespace

// The fallback of standard libraries without floating-point to_chars (the
// web page's) writes what to_chars writes: random bit patterns, every power
// of two with its neighbours (where the interval that reads back is
// lopsided), whole numbers written in full, and the lookups' own range.
TEST(Numeric, PortableShortestTextIsToChars) {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                0.1,
                                0.3,
                                1e21,
                                1e22,
                                1e23,
                                5e-324,
                                1e-5,
                                1e-4,
                                0.001,
                                123456789012345680.0,
                                std::numeric_limits<double>::max(),
                                INFINITY,
                                -INFINITY,
                                NAN,
                                -NAN};
  for (int e = -1074; e <= 1023; ++e)
    for (double v : {std::ldexp(1.0, e), std::nextafter(std::ldexp(1.0, e), 0.0),
                     std::nextafter(std::ldexp(1.0, e), INFINITY)})
      values.push_back(v);
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> lg(std::log(0.005), std::log(1000.0));
  for (int i = 0; i < 100000; ++i) {
    const std::uint64_t bits = rng();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    values.push_back(v);
    values.push_back(std::exp(lg(rng)));
    values.push_back(std::round(std::exp(lg(rng)) * 1000) / 1000);
  }
  for (double v : values) {
    ASSERT_EQ(ShortestTextPortable(v), ToChars(v));
    ASSERT_EQ(ShortestText(v), ToChars(v));
  }
}

TEST(Numeric, PortableWholeNumberIsFromChars) {
  for (const char* text :
       {"1", "-2.5", ".5", "5.", "1e3", "1E-3",  "-0",  "1e400", "1e-400", "0x10", "inf",   "nan",
        "",  ".",    "-",  "1e", "1e+", "1.2.3", "2,5", " 1",    "1 ",     "+1",   "3e-310"}) {
    const std::string_view t(text);
    double a = 0, b = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), a);
    const bool expected = r.ec == std::errc() && r.ptr == t.data() + t.size() && std::isfinite(a);
    const bool got = ParseWholeNumber(t, &b) && std::isfinite(b);
    EXPECT_EQ(got, expected) << text;
    if (expected) EXPECT_EQ(b, a) << text;
  }
}
