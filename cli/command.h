// What every yex-cli command shares: the output streams and exit statuses,
// the option parser, table names and numbers as typed.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>
#include <string>

#include "app/scattering_data/module1.h"

namespace yex::cli {

constexpr int kOk = 0, kDataError = 1, kUsage = 2;

class Context {
 public:
  Context(QTextStream& out, QTextStream& err) : out(out), err(err) {}
  QTextStream& out;
  QTextStream& err;
  // Reports a usage error (status 2) or a data error (status 1).
  int Usage(const QString& message);
  int Data(const QString& message);
};

// The command line of one command, options and operands in the order given.
// An operand has an empty option name.
struct Arguments {
  QList<QPair<QString, QString>> items;
  bool has(const QString& option) const;
  // Values of an option (or, for "", the operands) in the order given.
  QStringList values(const QString& option) const;
  QStringList operands() const { return values(QString()); }
};

// Options a command knows: `valued` take the next argument, `flags` none.
// "--help"/"-h" are always known. A word starting with "--" followed by a
// digit or "." is an operand (a negative number), as is "-" alone.
struct KnownOptions {
  QStringList valued;
  QStringList flags;
};

// Splits `args`; an unknown option or a missing value is a usage error.
std::optional<Arguments> ParseArguments(Context& c, const QStringList& args, const KnownOptions& known,
                                        int* status);

bool WantsHelp(const QStringList& args);

// The error for a data folder that is not there: where it was looked for and
// where the shipped tables are.
QString MissingDataFolder();

// A table name as typed ("C", "C.yex" or "C.YEX") to its file name, or
// nothing for a name that would leave the data folder.
std::optional<QString> TableFileName(const QString& typed);
// The display name of a table: its file name without the extension.
QString TableDisplayName(const QString& fileName);

// A whole text that is a finite number, or nothing.
std::optional<double> StrictNumber(const QString& text);
// The value of `option`, which must be a positive number (usage error).
std::optional<double> PositiveNumber(Context& c, const QString& option, const QString& text, int* status);

// λ in Å from --energy KEV or --wavelength A, at most one of them, once;
// nothing when neither is given (*status stays 0) or on a usage error.
std::optional<double> WavelengthOption(Context& c, const Arguments& a, int* status);

// Reads a table of the data folder; on failure reports it and returns nothing.
std::optional<ScatteringTable> LoadTable(Context& c, const QString& typed, int* status);

inline QString Str(const std::string& s) { return QString::fromStdString(s); }
// The shortest text that reads back to the same double.
QString Shortest(double v);

// The commands; each gets the arguments after its name.
int List(Context& c, const QStringList& args);
int Show(Context& c, const QStringList& args);
int Lookup(Context& c, const QStringList& args);
int Compound(Context& c, const QStringList& args);
int Mixture(Context& c, const QStringList& args);
int Plot(Context& c, const QStringList& args);
int Curve(Context& c, const QStringList& args);
int CrossSection(Context& c, const QStringList& args);
int Average(Context& c, const QStringList& args);

}  // namespace yex::cli
