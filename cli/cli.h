// yex-cli: the tables, lookups, compounds, mixtures and charts of YEX from
// the command line, through the very code the windows use.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace yex::cli {

// Exit status: 0 done, 1 a data error, 2 a usage error.
int Run(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace yex::cli
