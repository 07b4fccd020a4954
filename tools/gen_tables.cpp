// Writes the element tables H.yex .. Cf.yex (Z = 1..98) from xraylib's
// tabulation of the 1975 compilation, in the program's own table format.
//   gen_tables OUTDIR
#include <xraylib.h>

#include <QDir>
#include <QFile>
#include <cstdio>

#include "app/scattering_data/module1.h"
#include "core/tables/table_file.h"

namespace {

// The compilation's own x grid; xraylib returns its tabulated values there.
const double kGrid[yex::TableRowCount] = {
    0,   0.005, 0.01, 0.015, 0.02, 0.025, 0.03, 0.04, 0.05, 0.07, 0.09, 0.1, 0.125, 0.15, 0.175,
    0.2, 0.25,  0.3,  0.4,   0.5,  0.6,   0.7,  0.8,  0.9,  1,    1.25, 1.5, 2,     2.5,  3,
    3.5, 4,     5,    6,     7,    8,     10,   15,   20,   50,   80,   100, 1000,  1e6,  1e9};

bool Value(double (*fn)(int, double, xrl_error**), int z, double x, double* out) {
  xrl_error* error = nullptr;
  *out = fn(z, x, &error);
  if (error) {
    std::fprintf(stderr, "Z=%d x=%g: %s\n", z, x, error->message);
    xrl_error_free(error);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen_tables OUTDIR\n");
    return 2;
  }
  const QString outDir = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(outDir)) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  using namespace yex::Module1;
  for (int z = 1; z <= 98; ++z) {
    xrl_error* error = nullptr;
    char* symbol = AtomicNumberToSymbol(z, &error);
    if (!symbol) {
      std::fprintf(stderr, "no symbol for Z=%d\n", z);
      return 1;
    }
    const QString name = QString::fromLatin1(symbol) + QStringLiteral(".yex");
    xrlFree(symbol);
    // xraylib refuses x = 0: there F is the number of electrons and S is 0.
    XData(1) = 0.0;
    FData(1) = z;
    SData(1) = 0.0;
    for (int r = 2; r <= yex::TableRowCount; ++r) {
      XData(r) = kGrid[r - 1];
      if (!Value(FF_Rayl, z, XData(r), &FData(r)) || !Value(SF_Compt, z, XData(r), &SData(r))) return 1;
    }
    try {
      yex::WriteTableFile(QFile::encodeName(QDir(outDir).filePath(name)).toStdString(),
                          yex::Module1::CurrentTable());
    } catch (const yex::Error& e) {
      std::fprintf(stderr, "%s: %s\n", qPrintable(name), e.what());
      return 1;
    }
  }
  return 0;
}
