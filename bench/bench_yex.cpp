// Costs of the program's work: lines, tables, lookups, syntheses with their
// file writes, the chart, the file list, GO, and xraylib's pair of calls at
// the same x for comparison.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <random>

#ifdef YEX_HAVE_XRAYLIB
#include <xraylib.h>
#endif

#include "app/scattering_data/data_folder.h"
#include "app/scattering_data/module1.h"
#include "app/windows.h"
#include "compound_editor/compound_synthesis.h"
#include "core/chart/chart.h"
#include "core/lookup/lookup.h"
#include "core/lookup/table_lookup.h"
#include "core/physics/cross_section.h"
#include "core/tables/synthesis.h"
#include "core/tables/table_file.h"
#include "core/tables/table_format.h"
#include "main_window/form1.h"
#include "mixture_editor/mixture_synthesis.h"
#include "toolkit/fonts.h"
#include "toolkit/painter_surface.h"
#include "toolkit/widgets.h"

using namespace yex;

namespace {

// x values spread over the lookup range, the same for YEX and xraylib.
std::vector<double> QueryXs() {
  std::vector<double> xs;
  for (int i = 0; i < 64; ++i) xs.push_back(0.005 * std::pow(200000.0, i / 63.0));
  return xs;
}

// A work folder with YEX-data holding the shipped element tables.
class Work {
 public:
  Work() {
    QDir(dir_.path()).mkdir("YEX-data");
    for (const QString& n : QDir(YEX_SHIPPED_DATA).entryList({"*.yex"}))
      QFile::copy(QString(YEX_SHIPPED_DATA "/") + n, dir_.path() + "/YEX-data/" + n);
    QDir::setCurrent(dir_.path());
  }
  QString path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
};

Work& SharedWork() {
  static Work w;
  return w;
}

void LoadSi() { Module1::CommitTable(ReadTableFile(DataFilePath("Si.yex").toStdString())); }

}  // namespace

static void BM_ParseTableLine(benchmark::State& s) {
  const std::string line = "  .500E-02  .26000E+02  .12345E-01";
  for (auto _ : s) benchmark::DoNotOptimize(ParseTableLine(line));
}
BENCHMARK(BM_ParseTableLine);

static void BM_FormatTableLine(benchmark::State& s) {
  double v = 1.234567;
  for (auto _ : s) {
    benchmark::DoNotOptimize(FormatTableLine(0.005, v, 0.012345));
    v += 1e-9;
  }
}
BENCHMARK(BM_FormatTableLine);

static void BM_ReadTable(benchmark::State& s) {
  SharedWork();
  const std::string path = DataFilePath("U.yex").toStdString();
  for (auto _ : s) benchmark::DoNotOptimize(ReadTableFile(path));
}
BENCHMARK(BM_ReadTable);

static void BM_Lookup(benchmark::State& s) {
  SharedWork();
  LoadSi();
  const std::vector<double> xs = QueryXs();
  for (auto _ : s)
    for (double x : xs)
      benchmark::DoNotOptimize(LookupPoint(Module1::XData, Module1::FData, Module1::SData, x));
  s.SetItemsProcessed(s.iterations() * xs.size());
}
BENCHMARK(BM_Lookup);

// The table-level lookup of curve: the same values, the table's logarithms
// computed once.
static void BM_TableLookup(benchmark::State& s) {
  SharedWork();
  LoadSi();
  const TableLookup lookup(Module1::XData, Module1::FData, Module1::SData);
  const std::vector<double> xs = QueryXs();
  for (auto _ : s)
    for (double x : xs) benchmark::DoNotOptimize(lookup(x));
  s.SetItemsProcessed(s.iterations() * xs.size());
}
BENCHMARK(BM_TableLookup);

// The Python module's comparison: 1,000,000 points 0.005 * 200000^(i/999999)
// as bench/bench_python.py passes them to t.lookup; argument 1 takes the
// same points shuffled, as scattered points (atom pairs, Monte Carlo) come.
std::vector<double> MillionPoints(bool shuffled) {
  std::vector<double> xs(1000000);
  for (std::size_t i = 0; i < xs.size(); ++i) xs[i] = 0.005 * std::pow(200000.0, i / 999999.0);
  if (shuffled) std::shuffle(xs.begin(), xs.end(), std::mt19937_64(1));
  return xs;
}

// Argument 2: each kernel this processor runs, the last the one Many takes.
static void BM_TableLookupMillion(benchmark::State& s) {
  SharedWork();
  LoadSi();
  const TableLookup lookup(Module1::XData, Module1::FData, Module1::SData);
  const std::vector<double> xs = MillionPoints(s.range(0) != 0);
  const LookupKernel kernel = AvailableKernels()[std::size_t(s.range(1))];
  std::vector<double> f(xs.size()), sv(xs.size());
  for (auto _ : s) {
    lookup.Many(xs.data(), xs.size(), f.data(), sv.data(), kernel);
    benchmark::DoNotOptimize(f.data());
    benchmark::DoNotOptimize(sv.data());
  }
  s.SetItemsProcessed(s.iterations() * xs.size());
  s.SetLabel(std::string(s.range(0) ? "shuffled" : "sorted") + ", " + KernelName(kernel));
}
BENCHMARK(BM_TableLookupMillion)
    ->ArgsProduct({{0, 1}, benchmark::CreateDenseRange(0, int(AvailableKernels().size()) - 1, 1)})
    ->Unit(benchmark::kMillisecond);

// A table on a grid of its own: Si's lookups at 100,000 rows from x = 0
// (then 0.001 to 1000, log-spaced), 1,000,000 lookups (arg 0) by the binary
// search, and its cross sections at 100 energies, 1 to 1000 keV (arg 1),
// the table prepared inside the timing.
static void BM_GridTable100kRows(benchmark::State& s) {
  SharedWork();
  LoadSi();
  const TableLookup si(Module1::XData, Module1::FData, Module1::SData);
  ScatteringTable grid;
  grid.Resize(100000);
  for (int i = 2; i <= grid.rows(); ++i) {
    grid.x[std::size_t(i)] = 0.001 * std::pow(1e6, (i - 2) / double(grid.rows() - 2));
    const LookupResult r = si(std::max(grid.x[std::size_t(i)], LookupMinX));
    grid.f[std::size_t(i)] = r.f, grid.s[std::size_t(i)] = r.s;
  }
  grid.f[1] = 14, grid.s[1] = 0;
  const TableLookup lookup(grid);
  const std::vector<double> xs = MillionPoints(true);
  std::vector<double> f(xs.size()), sv(xs.size());
  for (auto _ : s) {
    if (s.range(0) == 0) {
      lookup.Many(xs.data(), xs.size(), f.data(), sv.data());
      benchmark::DoNotOptimize(f.data());
    } else {
      const CrossSectionTable t(lookup);
      for (int i = 0; i < 100; ++i) {
        CrossSectionPair p;
        t.At(std::pow(10.0, i / 33.0), &p);
        benchmark::DoNotOptimize(p);
      }
    }
  }
  s.SetItemsProcessed(s.iterations() * (s.range(0) == 0 ? xs.size() : 100));
  s.SetLabel(s.range(0) == 0 ? "1,000,000 lookups, shuffled" : "cross sections at 100 energies");
}
BENCHMARK(BM_GridTable100kRows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// sigma_coh and sigma_incoh of all 98 element tables at 100 energies (1 to
// 1000 keV, log-spaced), each table prepared once (CrossSectionTable), as
// cross-section, attenuation and Python hold them for many energies.
static void BM_CrossSectionTables98x100(benchmark::State& s) {
  SharedWork();
  std::vector<CrossSectionTable> tables;
  for (const QString& n : QDir("YEX-data").entryList({"*.yex"}))
    tables.emplace_back(TableLookup(ReadTableFile(DataFilePath(n).toStdString())));
  for (auto _ : s)
    for (const CrossSectionTable& t : tables)
      for (int i = 0; i < 100; ++i) {
        CrossSectionPair p;
        t.At(std::pow(10.0, i / 33.0), &p);
        benchmark::DoNotOptimize(p);
      }
  s.SetItemsProcessed(s.iterations() * tables.size() * 100);
}
BENCHMARK(BM_CrossSectionTables98x100)->Unit(benchmark::kMillisecond);

// 100,000 energies from 1 to 100 keV, evenly spaced.
static std::vector<double> Energies100k() {
  std::vector<double> e(100000);
  for (std::size_t i = 0; i < e.size(); ++i) e[i] = 1.0 + 99.0 * i / (e.size() - 1);
  return e;
}

// sigma_coh + sigma_incoh of Pb (arg 0) or water (arg 1, the compound table
// of 2 H and 1 O) at Energies100k, the table prepared in the timed loop.
static void BM_CrossSections100k(benchmark::State& s) {
  SharedWork();
  const auto read = [](const std::string& file) {
    return ReadTableFile(DataFilePath(QString::fromStdString(file)).toStdString());
  };
  const ScatteringTable table =
      s.range(0) == 0
          ? read("Pb.yex")
          : Synthesize(Synthesis::Compound, {{"H.yex", 2.0, 0.0}, {"O.yex", 1.0, 0.0}}, read).table;
  const TableLookup lookup(table);
  const std::vector<double> energies = Energies100k();
  for (auto _ : s) {
    const CrossSectionTable t(lookup);
    for (double e : energies) {
      CrossSectionPair p;
      t.At(e, &p);
      benchmark::DoNotOptimize(p);
    }
  }
  s.SetItemsProcessed(s.iterations() * energies.size());
  s.SetLabel(s.range(0) == 0 ? "Pb" : "H2O");
}
BENCHMARK(BM_CrossSections100k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

#ifdef YEX_HAVE_XRAYLIB
static void BM_XraylibFFRaylSFCompt(benchmark::State& s) {
  const std::vector<double> xs = QueryXs();
  for (auto _ : s)
    for (double x : xs) {
      benchmark::DoNotOptimize(FF_Rayl(14, x, nullptr));
      benchmark::DoNotOptimize(SF_Compt(14, x, nullptr));
    }
  s.SetItemsProcessed(s.iterations() * xs.size());
}
BENCHMARK(BM_XraylibFFRaylSFCompt);

// xraylib's CS_Rayl + CS_Compt for Z = 1-98 at the energies of BM_CrossSections98x100.
static void BM_XraylibCSRaylCompt98x100(benchmark::State& s) {
  for (auto _ : s)
    for (int z = 1; z <= 98; ++z)
      for (int i = 0; i < 100; ++i) {
        const double e = std::pow(10.0, i / 33.0);
        benchmark::DoNotOptimize(CS_Rayl(z, e, nullptr));
        benchmark::DoNotOptimize(CS_Compt(z, e, nullptr));
      }
  s.SetItemsProcessed(s.iterations() * 98 * 100);
}
BENCHMARK(BM_XraylibCSRaylCompt98x100)->Unit(benchmark::kMillisecond);

// xraylib's CS_Rayl + CS_Compt at Energies100k: Pb (arg 0), or water as
// 2 H + 1 O per molecule (arg 1), as a C user sums them.
static void BM_XraylibCSRaylCompt100k(benchmark::State& s) {
  const std::vector<double> energies = Energies100k();
  for (auto _ : s)
    for (double e : energies) {
      if (s.range(0) == 0) {
        benchmark::DoNotOptimize(CSb_Rayl(82, e, nullptr) + CSb_Compt(82, e, nullptr));
      } else {
        benchmark::DoNotOptimize(2 * CSb_Rayl(1, e, nullptr) + CSb_Rayl(8, e, nullptr));
        benchmark::DoNotOptimize(2 * CSb_Compt(1, e, nullptr) + CSb_Compt(8, e, nullptr));
      }
    }
  s.SetItemsProcessed(s.iterations() * energies.size());
  s.SetLabel(s.range(0) == 0 ? "Pb" : "H2O");
}
BENCHMARK(BM_XraylibCSRaylCompt100k)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// xraylib's pair on the million points of BM_TableLookupMillion.
static void BM_XraylibMillion(benchmark::State& s) {
  const std::vector<double> xs = MillionPoints(s.range(0) != 0);
  std::vector<double> f(xs.size()), sv(xs.size());
  for (auto _ : s) {
    for (std::size_t i = 0; i < xs.size(); ++i) {
      f[i] = FF_Rayl(14, xs[i], nullptr);
      sv[i] = SF_Compt(14, xs[i], nullptr);
    }
    benchmark::DoNotOptimize(f.data());
    benchmark::DoNotOptimize(sv.data());
  }
  s.SetItemsProcessed(s.iterations() * xs.size());
  s.SetLabel(s.range(0) ? "shuffled" : "sorted");
}
BENCHMARK(BM_XraylibMillion)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif

static void BM_Compound5(benchmark::State& s) {
  SharedWork();
  const char* files[] = {"Ca.yex", "P.yex", "O.yex", "H.yex", "F.yex"};
  const double counts[] = {5, 3, 12, 0.5, 0.5};
  for (auto _ : s) {
    Module1::ElementKindCount = 5;
    for (int k = 1; k <= 5; ++k) {
      Module1::ElementFile(k) = files[k - 1];
      Module1::ElementAmount(k) = counts[k - 1];
    }
    if (SaveCompound("BenchCompound").outcome != SaveOutcome::Saved) s.SkipWithError("save failed");
  }
}
BENCHMARK(BM_Compound5)->Unit(benchmark::kMicrosecond);

static void BM_Mixture10(benchmark::State& s) {
  SharedWork();
  const char* files[] = {"Si.yex", "O.yex", "Al.yex", "Fe.yex", "Ca.yex",
                         "Na.yex", "K.yex", "Mg.yex", "Ti.yex", "H.yex"};
  const double weights[] = {28.085, 15.999, 26.982, 55.845, 40.078, 22.990, 39.098, 24.305, 47.867, 1.008};
  for (auto _ : s) {
    Module1::ElementKindCount = 10;
    for (int k = 1; k <= 10; ++k) {
      Module1::ElementFile(k) = files[k - 1];
      Module1::AtomicWeight(k) = weights[k - 1];
      Module1::ElementAmount(k) = 10.0 / k;
    }
    if (SaveMixture("BenchMixture").outcome != SaveOutcome::Saved) s.SkipWithError("save failed");
  }
}
BENCHMARK(BM_Mixture10)->Unit(benchmark::kMicrosecond);

static void BM_DrawChart(benchmark::State& s) {
  SharedWork();
  LoadSi();
  QImage image = NewChartImage(QSize(kChartPixels, kChartPixels));
  SurfaceState state = NewChartState();
  for (auto _ : s) {
    QPainter p(&image);
    PainterSurface surface(p, image.size(), kChartScale, QColor(0, 0, 128), state);
    DrawChart(surface, Module1::XData, Module1::FData, Module1::SData);
  }
}
BENCHMARK(BM_DrawChart)->Unit(benchmark::kMicrosecond);

static void BM_Go(benchmark::State& s) {
  SharedWork();
  Form1& f = Windows::form1();
  f.show();
  f.File1_Click("U.yex");
  for (auto _ : s) f.Command2_Click();
}
BENCHMARK(BM_Go)->Unit(benchmark::kMicrosecond);

static void BM_FileList10000(benchmark::State& s) {
  QTemporaryDir dir;
  QFile src(QString(YEX_SHIPPED_DATA "/C.yex"));
  src.open(QIODevice::ReadOnly);
  const QByteArray bytes = src.readAll();
  for (int i = 0; i < 10000; ++i) {
    QFile f(dir.filePath(QString("T%1.yex").arg(i, 5, 10, QChar('0'))));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
  }
  FileListBox list;
  for (auto _ : s) {
    list.setPath(dir.path());
    if (list.count() != 10000) s.SkipWithError("list not filled");
  }
}
BENCHMARK(BM_FileList10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallFontSubstitutions();
#if defined(__x86_64__)
  // On some machines Qt's start-up leaves the upper halves of the AVX
  // registers in use; every later SSE instruction (glibc's exp and log among
  // them) then pays a state transition, 15 times the cost of a lookup. The
  // windows' lookups are too few for that to matter; measured here, it would
  // hide every other cost.
  if (__builtin_cpu_supports("avx")) asm volatile("vzeroupper");
#endif
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Windows::DestroyAll();
  return 0;
}
