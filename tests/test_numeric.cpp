// The numeric value of a text, as used for table fields and typed values.
#include <QTest>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "core/numeric.h"

using yex::NumericValue;

class TestNumeric : public QObject {
  Q_OBJECT
 private slots:
  void prefix_data();
  void prefix();
  void decimalPointIgnoresLocale();
  void hugeAndTinyMagnitudes();
  void longTextStaysExact();
  void portableShortestTextIsToChars();
  void portableWholeNumberIsFromChars();
};

void TestNumeric::prefix_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("value");
  QTest::newRow("plain") << "12.5" << 12.5;
  QTest::newRow("stops at letter") << "12.5abc" << 12.5;
  QTest::newRow("unit after number") << "12.011 g" << 12.011;
  QTest::newRow("blank between digits") << "1 2" << 12.0;
  QTest::newRow("blanks everywhere") << " - 1 2 . 5 E - 1 " << -1.25;
  QTest::newRow("tab and LF skipped") << "\t7\n5" << 75.0;
  QTest::newRow("leading point") << ".5" << 0.5;
  QTest::newRow("second point ends") << "1.2.3" << 1.2;
  QTest::newRow("comma ends") << "0,5" << 0.0;
  QTest::newRow("comma after digits") << "55,85" << 55.0;
  QTest::newRow("E exponent") << "5e-2" << 0.05;
  QTest::newRow("D exponent") << "1.5D3" << 1500.0;
  QTest::newRow("d exponent negative") << "25d-1" << 2.5;
  QTest::newRow("bare exponent letter") << "7E" << 7.0;
  QTest::newRow("exponent sign without digits") << "7E+" << 7.0;
  QTest::newRow("table field") << "  .12345E-01" << 0.012345;
  QTest::newRow("field with leading zero") << " 0.500E-02" << 0.005;
  QTest::newRow("plus sign") << "+.5E+1" << 5.0;
  QTest::newRow("negative") << "-3" << -3.0;
  QTest::newRow("hex") << "&H1F" << 31.0;
  QTest::newRow("hex lower, stops at g") << "&hffg" << 255.0;
  QTest::newRow("octal") << "&O17" << 15.0;
  QTest::newRow("octal stops at 8") << "&o78" << 7.0;
  QTest::newRow("ampersand alone") << "&" << 0.0;
  QTest::newRow("ampersand other") << "&X12" << 0.0;
  QTest::newRow("letters") << "abc" << 0.0;
  QTest::newRow("empty") << "" << 0.0;
  QTest::newRow("sign only") << "-" << 0.0;
  QTest::newRow("point only") << "." << 0.0;
  QTest::newRow("double sign") << "+-5" << 0.0;
  QTest::newRow("full-width digits are not digits") << "５" << 0.0;
}

void TestNumeric::prefix() {
  QFETCH(QString, text);
  QFETCH(double, value);
  QCOMPARE(NumericValue(text.toStdString()), value);
}

void TestNumeric::decimalPointIgnoresLocale() {
  // A locale whose decimal separator is a comma must not change the reading.
  const char* candidates[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "C.UTF-8"};
  for (const char* name : candidates) {
    if (std::setlocale(LC_NUMERIC, name)) break;
  }
  QCOMPARE(NumericValue("2.5"), 2.5);
  QCOMPARE(NumericValue("2,5"), 2.0);
  std::setlocale(LC_NUMERIC, "C");
}

void TestNumeric::hugeAndTinyMagnitudes() {
  QVERIFY(std::isinf(NumericValue("1e400")));
  QVERIFY(NumericValue("-1e400") < 0 && std::isinf(NumericValue("-1e400")));
  QCOMPARE(NumericValue("1e-400"), 0.0);
  QVERIFY(std::isinf(NumericValue("1e99999999999999999999")));
  QCOMPARE(NumericValue("1e-0000000000000000000002"), 0.01);
  QCOMPARE(NumericValue("1E0"), 1.0);
}

void TestNumeric::longTextStaysExact() {
  QCOMPARE(NumericValue(std::string(100000, '0') + "1.5"), 1.5);
  QCOMPARE(NumericValue("0." + std::string(30, '0') + "1e31"), 1.0);
}

using namespace yex;

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
void TestNumeric::portableShortestTextIsToChars() {
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
    QCOMPARE(ShortestTextPortable(v), ToChars(v));
    QCOMPARE(ShortestText(v), ToChars(v));
  }
}

void TestNumeric::portableWholeNumberIsFromChars() {
  for (const char* text :
       {"1", "-2.5", ".5", "5.", "1e3", "1E-3",  "-0",  "1e400", "1e-400", "0x10", "inf",   "nan",
        "",  ".",    "-",  "1e", "1e+", "1.2.3", "2,5", " 1",    "1 ",     "+1",   "3e-310"}) {
    const std::string_view t(text);
    double a = 0, b = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), a);
    const bool expected = r.ec == std::errc() && r.ptr == t.data() + t.size() && std::isfinite(a);
    const bool got = ParseWholeNumber(t, &b) && std::isfinite(b);
    QVERIFY2(got == expected, text);
    if (expected) QCOMPARE(b, a);
  }
}

QTEST_APPLESS_MAIN(TestNumeric)
#include "test_numeric.moc"
