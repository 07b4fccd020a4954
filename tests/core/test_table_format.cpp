// The table line format: writing fields, slicing lines, splitting files, and
// the display patterns of the boxes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>

#include "core/tables/table_format.h"

using namespace yex;

namespace {

// Rounds v to `digits` significant digits independently of the code under test.
double RoundSig(double v, int digits) {
  if (v == 0) return 0;
  const double e = std::floor(std::log10(std::fabs(v))) + 1;
  const double scale = std::pow(10.0, digits - e);
  return std::round(v * scale) / scale;
}

// RoundSig goes through pow: equal to within its last bits.
void ExpectRounded(double read, double v, int digits) {
  const double want = RoundSig(v, digits);
  EXPECT_LE(std::fabs(read - want), 1e-12 * std::fabs(want)) << v << " to " << digits << " digits";
}

}  // namespace

TEST(TableFormat, WrittenFields) {
  const struct {
    const char* what;
    double value;
    int digits;
    const char* field;
  } cases[] = {
      {"x 0.005", 0.005, 3, "  .500E-02"},
      {"x 1000", 1000.0, 3, "  .100E+04"},
      {"F 26", 26.0, 5, "  .26000E+02"},
      {"F 1.234567 rounds", 1.234567, 5, "  .12346E+01"},
      {"S 0.012345", 0.012345, 5, "  .12345E-01"},
      {"x zero", 0.0, 3, "  .000E+00"},
      {"F zero", 0.0, 5, "  .00000E+00"},
      {"carry 5 digits", 0.9999996, 5, "  .10000E+01"},
      {"carry 3 digits", 9.9996, 3, "  .100E+02"},
      {"carry into exponent sign", 0.0099996, 3, "  .100E-01"},
      {"one", 1.0, 3, "  .100E+01"},
      {"tenth", 0.1, 5, "  .10000E+00"},
      {"negative", -0.005, 3, " -.500E-02"},
      {"three-digit exponent", 1.5e-101, 3, " .150E-100"},
      {"negative, three-digit exponent", -1.5e-101, 5, "-.15000E-100"},
      {"large", 1e300, 5, " .10000E+301"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatTableField(c.value, c.digits), c.field) << c.what;
}

TEST(TableFormat, NonFiniteHasNoText) {
  EXPECT_THROW(FormatTableField(INFINITY, 3), std::domain_error);
  EXPECT_THROW(FormatTableLine(1, NAN, 1), std::domain_error);
}

TEST(TableFormat, LineIsThirtyFourCharacters) {
  EXPECT_EQ(FormatTableLine(0.005, 26, 0.012345), std::string("  .500E-02  .26000E+02  .12345E-01"));
  EXPECT_EQ(FormatTableLine(0, 0, 0).size(), std::size_t(34));
  EXPECT_EQ(FormatTableLine(1e9, 1.0146e-18, 98).size(), std::size_t(34));
}

TEST(TableFormat, RoundTripKeepsSignificantDigits) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mant(1.0, 10.0);
  std::uniform_int_distribution<int> exp(-40, 40);
  for (int i = 0; i < 5000; ++i) {
    const double x = mant(rng) * std::pow(10.0, exp(rng));
    const double f = mant(rng) * std::pow(10.0, exp(rng));
    const double s = mant(rng) * std::pow(10.0, exp(rng));
    const TableRow r = ParseTableLine(FormatTableLine(x, f, s));
    ExpectRounded(r.x, x, 3);
    ExpectRounded(r.f, f, 5);
    ExpectRounded(r.s, s, 5);
  }
}

TEST(TableFormat, ExtremeValuesKeepWidthAndValue) {
  // Negative values and three-digit exponents keep the 34 columns and read
  // back to the written value.
  const double values[] = {-2.5, -1e-5, 1.5e-101, -1.5e-101, 1e300, -1e300, 4.9e-324, 1e308};
  for (double v : values) {
    const std::string line = FormatTableLine(v, v, v);
    EXPECT_EQ(line.size(), std::size_t(34));
    const TableRow r = ParseTableLine(line);
    if (std::fabs(v) < 1e-300) continue;  // subnormals lose digits anyway
    ExpectRounded(r.x, v, 3);
    ExpectRounded(r.f, v, 5);
  }
}

TEST(TableFormat, ParseLine) {
  TableRow r = ParseTableLine("  .500E-02  .26000E+02  .12345E-01");
  EXPECT_EQ(r.x, 0.005);
  EXPECT_EQ(r.f, 26.0);
  EXPECT_EQ(r.s, 0.012345);
  // 20 characters: F is the value of characters 11..20, S is 0.
  r = ParseTableLine("  .500E-02  .260E+02");
  EXPECT_EQ(r.f, 26.0);
  EXPECT_EQ(r.s, 0.0);
  // A zero in place of the second blank reads the same.
  r = ParseTableLine(" 0.500E-02 0.26000E+02 0.12345E-01");
  EXPECT_EQ(r.x, 0.005);
  EXPECT_EQ(r.f, 26.0);
  EXPECT_EQ(r.s, 0.012345);
  // Text after column 34 does not feed the numbers.
  r = ParseTableLine("  .500E-02  .26000E+02  .12345E-01999 trailing");
  EXPECT_EQ(r.s, 0.012345);
  // Fields run into each other only by their columns.
  r = ParseTableLine("1234567890123456789012345678901234");
  EXPECT_EQ(r.x, 1234567890.0);
  EXPECT_EQ(r.f, 123456789012.0);
  r = ParseTableLine("");
  EXPECT_EQ(r.x + r.f + r.s, 0.0);
  r = ParseTableLine("  xx  yy");
  EXPECT_EQ(r.x, 0.0);
}

TEST(TableFormat, SplitLines) {
  ScatteringTable t;
  std::string crlf, lf;
  for (int i = 1; i <= 50; ++i) {
    crlf += FormatTableLine(i, 2 * i, 3 * i) + "\r\n";
    lf += FormatTableLine(i, 2 * i, 3 * i) + "\n";
  }
  EXPECT_EQ(ParseTableText(crlf, t), 45);
  EXPECT_EQ(t.x[45], 45.0);
  EXPECT_EQ(t.s[45], 135.0);
  EXPECT_EQ(t.rowText[1].size(), std::size_t(34));  // no CR kept
  ScatteringTable u;
  EXPECT_EQ(ParseTableText(lf, u), 45);
  for (int r = 1; r <= 45; ++r) {
    EXPECT_EQ(u.rowText[r], t.rowText[r]);
    EXPECT_EQ(u.f[r], t.f[r]);
  }
  // A CR that is not before an LF stays in the text.
  EXPECT_EQ(ParseTableText("a\rb\r\n", t), 1);
  EXPECT_EQ(t.rowText[1], std::string("a\rb"));
  // Forty-five empty lines are forty-five rows of zeros.
  EXPECT_EQ(ParseTableText(std::string(45, '\n'), t), 45);
  EXPECT_EQ(t.x[45], 0.0);
  EXPECT_EQ(EndOfLastTableLine(std::string(44, '\n')), std::string::npos);
  EXPECT_EQ(EndOfLastTableLine(std::string(46, '\n')), std::size_t(45));
}

TEST(TableFormat, LastLineOfFile) {
  ScatteringTable t;
  EXPECT_EQ(ParseTableText("", t), 0);
  EXPECT_EQ(ParseTableText("\n", t), 1);
  EXPECT_EQ(ParseTableText("a\nb", t), 2);  // last line without a line end
  EXPECT_EQ(ParseTableText("a\nb\r\n", t), 2);
  std::string lines44;
  for (int i = 0; i < 44; ++i) lines44 += "  .100E+01  .10000E+01  .10000E+01\r\n";
  EXPECT_EQ(ParseTableText(lines44, t), 44);
  EXPECT_EQ(ParseTableText(lines44 + "  .100E+01", t), 45);
}

TEST(TableFormat, DisplayPatterns) {
  const struct {
    const char* what;
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {"0.1", 0.1, 2, "1.00E-01"},
      {"26", 26.0, 4, "2.6000E+01"},
      {"zero", 0.0, 2, "0.00E+00"},
      {"minus zero", -0.0, 4, "0.0000E+00"},
      {"rounds up a decade", 9.996, 2, "1.00E+01"},
      {"0.05", 0.05, 2, "5.00E-02"},
      {"three-digit exponent", 1.5e-120, 2, "1.50E-120"},
      {"negative", -2.5, 4, "-2.5000E+00"},
      {"infinity shows nothing", double(INFINITY), 4, ""},
      {"NaN shows nothing", double(NAN), 2, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDisplay(c.value, c.decimals), c.text) << c.what;
}
