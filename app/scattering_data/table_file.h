// Table files in the data folder for the windows: Qt's strings over the
// core's plain file layer, and the folder's list as the file lists show it.
#pragma once

#include <QString>
#include <QStringList>

#include "app/scattering_data/module1.h"

namespace yex {

// "YEX-data", relative to the current directory. The windows always use it;
// the command line may point it elsewhere.
QString DataFolder();
void SetDataFolder(const QString& folder);
// DataFolder + "/" + name.
QString DataFilePath(const QString& name);

// Reads the first 45 lines of a table file into `table`. On failure (missing,
// not a plain file, unreadable, fewer than 45 lines) returns false with a
// short English reason and leaves `table` unspecified.
bool ReadTableFile(const QString& path, ScatteringTable& table, QString* reason = nullptr);

// Writes rows 1..45 of XData, FData, SData (Module1::CurrentTable) as 45
// CR LF lines. The file is
// replaced only when complete, so a failed write leaves any old table intact.
bool WriteTableFile(const QString& path, QString* reason = nullptr);

// The bare names of the folder's "*.yex" files in the order the lists show
// them; empty when the folder is missing.
QStringList ListTableFiles(const QString& folder);

}  // namespace yex
