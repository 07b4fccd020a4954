// Runs the built yex-cli (YEX_CLI_PATH) as a user would, optionally feeding
// its standard input.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace yex::test {

struct CliResult {
  int status;
  QString out;
  QString err;
};

inline CliResult RunCli(const QStringList& args, const QByteArray& input = {}) {
  QProcess p;
  p.start(QStringLiteral(YEX_CLI_PATH), args);
  if (!input.isEmpty()) p.write(input);
  p.closeWriteChannel();
  if (!p.waitForFinished(120000)) qFatal("yex-cli did not finish");
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace yex::test
