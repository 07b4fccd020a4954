#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <charconv>
#include <cmath>

#include "app/scattering_data/numeric.h"
#include "app/scattering_data/table_file.h"
#include "app/scattering_data/table_name.h"
#include "cli/command.h"
#include "science/units.h"

namespace yex::cli {

int Context::Usage(const QString& message) {
  err << "yex-cli: " << message << "\n"
      << "Try 'yex-cli --help'.\n";
  return kUsage;
}

QString MissingDataFolder() {
  QString shipped =
      QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" YEX_REL_DATA));
  if (!QFileInfo(shipped).isDir()) shipped = QStringLiteral(YEX_SOURCE_DATA);
  return QStringLiteral("no data folder %1 (looked in %2); the shipped tables are in %3, or give --data DIR")
      .arg(QDir::toNativeSeparators(DataFolder()),
           QDir::toNativeSeparators(QFileInfo(DataFolder()).absoluteFilePath()),
           QDir::toNativeSeparators(shipped));
}

int Context::Data(const QString& message) {
  err << "yex-cli: " << message << "\n";
  return kDataError;
}

bool Arguments::has(const QString& option) const {
  for (const auto& item : items)
    if (item.first == option) return true;
  return false;
}

QStringList Arguments::values(const QString& option) const {
  QStringList out;
  for (const auto& item : items)
    if (item.first == option) out << item.second;
  return out;
}

namespace {

bool LooksLikeOption(const QString& a) {
  if (a == QStringLiteral("-h")) return true;
  return a.startsWith(QStringLiteral("--")) && a.size() > 2 && !a[2].isDigit() && a[2] != '.';
}

}  // namespace

std::optional<Arguments> ParseArguments(Context& c, const QStringList& args, const KnownOptions& known,
                                        int* status) {
  Arguments parsed;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (!LooksLikeOption(a)) {
      parsed.items.append({QString(), a});
    } else if (known.valued.contains(a)) {
      if (i + 1 >= args.size()) {
        *status = c.Usage(a + QStringLiteral(" needs a value"));
        return std::nullopt;
      }
      parsed.items.append({a, args[++i]});
    } else if (known.flags.contains(a) || a == QStringLiteral("--help") || a == QStringLiteral("-h")) {
      parsed.items.append({a, QString()});
    } else {
      *status = c.Usage(QStringLiteral("unknown option %1").arg(a));
      return std::nullopt;
    }
  }
  return parsed;
}

bool WantsHelp(const QStringList& args) {
  return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

std::optional<QString> TableFileName(const QString& typed) {
  QString name = typed;
  if (!name.endsWith(QStringLiteral(".yex"), Qt::CaseInsensitive)) {
    name += QStringLiteral(".yex");
    // The lists show "D.YEX" as well; a bare name finds it when no "D.yex"
    // is there.
    if (!QFileInfo::exists(DataFilePath(name)))
      for (const QString& listed : ListTableFiles(DataFolder()))
        if (listed.compare(name, Qt::CaseInsensitive) == 0 && listed.startsWith(typed)) {
          name = listed;
          break;
        }
  }
  if (!IsCreatableTableName(name.toStdString())) return std::nullopt;
  return name;
}

QString TableDisplayName(const QString& fileName) {
  return fileName.endsWith(QStringLiteral(".yex"), Qt::CaseInsensitive) ? fileName.chopped(4) : fileName;
}

QString Shortest(double v) { return QString::fromStdString(ShortestText(v)); }

std::optional<double> StrictNumber(const QString& text) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<double> PositiveNumber(Context& c, const QString& option, const QString& text, int* status) {
  const std::optional<double> n = StrictNumber(text);
  if (!n) {
    *status = c.Usage(QStringLiteral("%1 %2: not a number").arg(option, text));
    return std::nullopt;
  }
  if (*n <= 0) {
    *status = c.Usage(QStringLiteral("%1 %2: must be positive").arg(option, text));
    return std::nullopt;
  }
  return n;
}

std::optional<double> WavelengthOption(Context& c, const Arguments& a, int* status) {
  const QStringList energies = a.values(QStringLiteral("--energy"));
  const QStringList wavelengths = a.values(QStringLiteral("--wavelength"));
  if (energies.size() + wavelengths.size() > 1) {
    *status = c.Usage(QStringLiteral("give one of --energy and --wavelength, once"));
    return std::nullopt;
  }
  if (!energies.isEmpty()) {
    const std::optional<double> e = PositiveNumber(c, QStringLiteral("--energy"), energies[0], status);
    if (!e) return std::nullopt;
    return WavelengthFromEnergy(*e);
  }
  if (!wavelengths.isEmpty())
    return PositiveNumber(c, QStringLiteral("--wavelength"), wavelengths[0], status);
  return std::nullopt;
}

std::optional<ScatteringTable> LoadTable(Context& c, const QString& typed, int* status) {
  const std::optional<QString> name = TableFileName(typed);
  if (!name) {
    *status = c.Usage(QStringLiteral("\"%1\" is not a table name").arg(typed));
    return std::nullopt;
  }
  if (!QFileInfo(DataFolder()).isDir()) {
    *status = c.Data(MissingDataFolder());
    return std::nullopt;
  }
  ScatteringTable t;
  QString reason;
  if (!ReadTableFile(DataFilePath(*name), t, &reason)) {
    *status = c.Data(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(DataFilePath(*name)), reason));
    return std::nullopt;
  }
  return t;
}

}  // namespace yex::cli
