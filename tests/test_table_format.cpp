// The table line format: writing fields, slicing lines, splitting files, and
// the display patterns of the boxes.
#include <QTest>
#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>

#include "core/table_format.h"

using namespace yex;

namespace {

// Rounds v to `digits` significant digits independently of the code under test.
double RoundSig(double v, int digits) {
  if (v == 0) return 0;
  const double e = std::floor(std::log10(std::fabs(v))) + 1;
  const double scale = std::pow(10.0, digits - e);
  return std::round(v * scale) / scale;
}

}  // namespace

class TestTableFormat : public QObject {
  Q_OBJECT
 private slots:
  void writtenFields_data();
  void writtenFields();
  void nonFiniteHasNoText();
  void lineIsThirtyFourCharacters();
  void roundTripKeepsSignificantDigits();
  void extremeValuesKeepWidthAndValue();
  void parseLine();
  void splitLines();
  void lastLineOfFile();
  void displayPatterns_data();
  void displayPatterns();
};

void TestTableFormat::writtenFields_data() {
  QTest::addColumn<double>("value");
  QTest::addColumn<int>("digits");
  QTest::addColumn<QString>("field");
  QTest::newRow("x 0.005") << 0.005 << 3 << "  .500E-02";
  QTest::newRow("x 1000") << 1000.0 << 3 << "  .100E+04";
  QTest::newRow("F 26") << 26.0 << 5 << "  .26000E+02";
  QTest::newRow("F 1.234567 rounds") << 1.234567 << 5 << "  .12346E+01";
  QTest::newRow("S 0.012345") << 0.012345 << 5 << "  .12345E-01";
  QTest::newRow("x zero") << 0.0 << 3 << "  .000E+00";
  QTest::newRow("F zero") << 0.0 << 5 << "  .00000E+00";
  QTest::newRow("carry 5 digits") << 0.9999996 << 5 << "  .10000E+01";
  QTest::newRow("carry 3 digits") << 9.9996 << 3 << "  .100E+02";
  QTest::newRow("carry into exponent sign") << 0.0099996 << 3 << "  .100E-01";
  QTest::newRow("one") << 1.0 << 3 << "  .100E+01";
  QTest::newRow("tenth") << 0.1 << 5 << "  .10000E+00";
  QTest::newRow("negative") << -0.005 << 3 << " -.500E-02";
  QTest::newRow("three-digit exponent") << 1.5e-101 << 3 << " .150E-100";
  QTest::newRow("negative, three-digit exponent") << -1.5e-101 << 5 << "-.15000E-100";
  QTest::newRow("large") << 1e300 << 5 << " .10000E+301";
}

void TestTableFormat::writtenFields() {
  QFETCH(double, value);
  QFETCH(int, digits);
  QFETCH(QString, field);
  QCOMPARE(QString::fromStdString(FormatTableField(value, digits)), field);
}

void TestTableFormat::nonFiniteHasNoText() {
  QVERIFY_THROWS_EXCEPTION(std::domain_error, FormatTableField(INFINITY, 3));
  QVERIFY_THROWS_EXCEPTION(std::domain_error, FormatTableLine(1, NAN, 1));
}

void TestTableFormat::lineIsThirtyFourCharacters() {
  QCOMPARE(FormatTableLine(0.005, 26, 0.012345), std::string("  .500E-02  .26000E+02  .12345E-01"));
  QCOMPARE(FormatTableLine(0, 0, 0).size(), std::size_t(34));
  QCOMPARE(FormatTableLine(1e9, 1.0146e-18, 98).size(), std::size_t(34));
}

void TestTableFormat::roundTripKeepsSignificantDigits() {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mant(1.0, 10.0);
  std::uniform_int_distribution<int> exp(-40, 40);
  for (int i = 0; i < 5000; ++i) {
    const double x = mant(rng) * std::pow(10.0, exp(rng));
    const double f = mant(rng) * std::pow(10.0, exp(rng));
    const double s = mant(rng) * std::pow(10.0, exp(rng));
    const TableRow r = ParseTableLine(FormatTableLine(x, f, s));
    QCOMPARE(r.x, RoundSig(x, 3));
    QCOMPARE(r.f, RoundSig(f, 5));
    QCOMPARE(r.s, RoundSig(s, 5));
  }
}

void TestTableFormat::extremeValuesKeepWidthAndValue() {
  // Negative values and three-digit exponents keep the 34 columns and read
  // back to the written value.
  const double values[] = {-2.5, -1e-5, 1.5e-101, -1.5e-101, 1e300, -1e300, 4.9e-324, 1e308};
  for (double v : values) {
    const std::string line = FormatTableLine(v, v, v);
    QCOMPARE(line.size(), std::size_t(34));
    const TableRow r = ParseTableLine(line);
    if (std::fabs(v) < 1e-300) continue;  // subnormals lose digits anyway
    QCOMPARE(r.x, RoundSig(v, 3));
    QCOMPARE(r.f, RoundSig(v, 5));
  }
}

void TestTableFormat::parseLine() {
  TableRow r = ParseTableLine("  .500E-02  .26000E+02  .12345E-01");
  QCOMPARE(r.x, 0.005);
  QCOMPARE(r.f, 26.0);
  QCOMPARE(r.s, 0.012345);
  // 20 characters: F is the value of characters 11..20, S is 0.
  r = ParseTableLine("  .500E-02  .260E+02");
  QCOMPARE(r.f, 26.0);
  QCOMPARE(r.s, 0.0);
  // A zero in place of the second blank reads the same.
  r = ParseTableLine(" 0.500E-02 0.26000E+02 0.12345E-01");
  QCOMPARE(r.x, 0.005);
  QCOMPARE(r.f, 26.0);
  QCOMPARE(r.s, 0.012345);
  // Text after column 34 does not feed the numbers.
  r = ParseTableLine("  .500E-02  .26000E+02  .12345E-01999 trailing");
  QCOMPARE(r.s, 0.012345);
  // Fields run into each other only by their columns.
  r = ParseTableLine("1234567890123456789012345678901234");
  QCOMPARE(r.x, 1234567890.0);
  QCOMPARE(r.f, 123456789012.0);
  r = ParseTableLine("");
  QCOMPARE(r.x + r.f + r.s, 0.0);
  r = ParseTableLine("  xx  yy");
  QCOMPARE(r.x, 0.0);
}

void TestTableFormat::splitLines() {
  ScatteringTable t;
  std::string crlf, lf;
  for (int i = 1; i <= 50; ++i) {
    crlf += FormatTableLine(i, 2 * i, 3 * i) + "\r\n";
    lf += FormatTableLine(i, 2 * i, 3 * i) + "\n";
  }
  QCOMPARE(ParseTableText(crlf, t), 45);
  QCOMPARE(t.x[45], 45.0);
  QCOMPARE(t.s[45], 135.0);
  QCOMPARE(t.rowText[1].size(), std::size_t(34));  // no CR kept
  ScatteringTable u;
  QCOMPARE(ParseTableText(lf, u), 45);
  for (int r = 1; r <= 45; ++r) {
    QCOMPARE(u.rowText[r], t.rowText[r]);
    QCOMPARE(u.f[r], t.f[r]);
  }
  // A CR that is not before an LF stays in the text.
  QCOMPARE(ParseTableText("a\rb\r\n", t), 1);
  QCOMPARE(t.rowText[1], std::string("a\rb"));
  // Forty-five empty lines are forty-five rows of zeros.
  QCOMPARE(ParseTableText(std::string(45, '\n'), t), 45);
  QCOMPARE(t.x[45], 0.0);
  QCOMPARE(EndOfLastTableLine(std::string(44, '\n')), std::string::npos);
  QCOMPARE(EndOfLastTableLine(std::string(46, '\n')), std::size_t(45));
}

void TestTableFormat::lastLineOfFile() {
  ScatteringTable t;
  QCOMPARE(ParseTableText("", t), 0);
  QCOMPARE(ParseTableText("\n", t), 1);
  QCOMPARE(ParseTableText("a\nb", t), 2);  // last line without a line end
  QCOMPARE(ParseTableText("a\nb\r\n", t), 2);
  std::string lines44;
  for (int i = 0; i < 44; ++i) lines44 += "  .100E+01  .10000E+01  .10000E+01\r\n";
  QCOMPARE(ParseTableText(lines44, t), 44);
  QCOMPARE(ParseTableText(lines44 + "  .100E+01", t), 45);
}

void TestTableFormat::displayPatterns_data() {
  QTest::addColumn<double>("value");
  QTest::addColumn<int>("decimals");
  QTest::addColumn<QString>("text");
  QTest::newRow("0.1") << 0.1 << 2 << "1.00E-01";
  QTest::newRow("26") << 26.0 << 4 << "2.6000E+01";
  QTest::newRow("zero") << 0.0 << 2 << "0.00E+00";
  QTest::newRow("minus zero") << -0.0 << 4 << "0.0000E+00";
  QTest::newRow("rounds up a decade") << 9.996 << 2 << "1.00E+01";
  QTest::newRow("0.05") << 0.05 << 2 << "5.00E-02";
  QTest::newRow("three-digit exponent") << 1.5e-120 << 2 << "1.50E-120";
  QTest::newRow("negative") << -2.5 << 4 << "-2.5000E+00";
  QTest::newRow("infinity shows nothing") << double(INFINITY) << 4 << "";
  QTest::newRow("NaN shows nothing") << double(NAN) << 2 << "";
}

void TestTableFormat::displayPatterns() {
  QFETCH(double, value);
  QFETCH(int, decimals);
  QFETCH(QString, text);
  QCOMPARE(QString::fromStdString(FormatDisplay(value, decimals)), text);
}

QTEST_APPLESS_MAIN(TestTableFormat)
#include "test_table_format.moc"
