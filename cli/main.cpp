// Starts the command-line companion; everything happens in cli::Run.
#include <QGuiApplication>
#include <QTextStream>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "toolkit/fonts.h"

namespace {

// Only charts need fonts and so a GUI application (off screen); everything
// else runs on a plain core application.
bool DrawsChart(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--data") == 0) {
      ++i;
      continue;
    }
    if (argv[i][0] == '-') continue;
    return std::strcmp(argv[i], "plot") == 0;
  }
  return false;
}

// The off-screen platform complains about a missing runtime folder it never
// uses; that is no news for a user of the command line.
void QuietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("QStandardPaths:"))) return;
  QTextStream(stderr) << message << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(QuietHandler);
  std::unique_ptr<QCoreApplication> app;
  if (DrawsChart(argc, argv)) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
    yex::InstallFontSubstitutions();
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  return yex::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
}
