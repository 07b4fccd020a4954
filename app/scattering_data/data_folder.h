// The windows' data folder, "YEX-data" under the current directory, as the
// core's table store: every window finds, reads, lists and writes tables
// through it.
#pragma once

#include <QString>

#include "core/tables/table_store.h"

namespace yex {

QString DataFolder();
void SetDataFolder(const QString& folder);
// DataFolder + "/" + name, as the windows' messages and WorkPath name it.
QString DataFilePath(const QString& name);
// The store of DataFolder (a light object: make one where it is used).
FolderStore DataStore();

}  // namespace yex
