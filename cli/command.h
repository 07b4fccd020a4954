// What every yex-cli command shares: standard output and error, the data
// folder as a table store, and the commands. Requests are parsed and
// computed by the core; a command only hands it the arguments and writes
// what comes back. Errors are the core's, mapped to an exit status in Run.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/requests/report.h"
#include "core/requests/request.h"

namespace yex::cli {

constexpr int kOk = 0, kDataError = 1, kUsage = 2;

// Standard output and error: what the core's writer hands over.
void Out(const std::string& text);
void Err(const std::string& text);
// A RecordWriter to standard output.
RecordWriter StdoutWriter(OutputStyle style);

// A note on standard error ("yex-cli: note: ..."), when there is one.
void Note(const std::string& note);
// Status 0, or 1 with the warning of points left empty.
int Finished(const RunSummary& s);

// A command whose arguments make one request of the core: its help, the
// request parsed, its lines on standard output, a note on standard error,
// and status 1 where points were left empty.
template <typename Parse, typename Write>
int RequestCommand(const std::vector<std::string>& args, const char* help, const KnownOptions& known,
                   const Parse& parse, const Write& write) {
  if (WantsHelp(args)) return Out(help), kOk;
  const auto r = parse(SplitArguments(args, known));
  RecordWriter w = StdoutWriter(r.style);
  const RunSummary s = write(r, w);
  Note(s.note);
  return Finished(s);
}

// The data folder, ./YEX-data unless --data said otherwise.
void SetDataFolder(const std::string& folder);
FolderStore& Store();
// Tables read from CSV files of x,F,S (--table-csv FILE), found by their
// file's name in front of the data folder's: what the commands that read
// tables look in.
void AddCsvTable(const std::string& path);
const TableStore& Tables();
// The program and version for the first # line.
Provenance Program();

// The commands; each gets the arguments after its name and throws the
// core's Error for anything wrong.
int List(const std::vector<std::string>& args);
int Show(const std::vector<std::string>& args);
int Lookup(const std::vector<std::string>& args);
int Compound(const std::vector<std::string>& args);
int Mixture(const std::vector<std::string>& args);
int Plot(const std::vector<std::string>& args);
int Curve(const std::vector<std::string>& args);
int CrossSection(const std::vector<std::string>& args);
int Average(const std::vector<std::string>& args);
int Dispersion(const std::vector<std::string>& args);
int Attenuation(const std::vector<std::string>& args);
int Edges(const std::vector<std::string>& args);
int Lines(const std::vector<std::string>& args);
int Materials(const std::vector<std::string>& args);
int Index(const std::vector<std::string>& args);
int Reflectivity(const std::vector<std::string>& args);

}  // namespace yex::cli
