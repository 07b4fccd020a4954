#include "compound_editor/compound_synthesis.h"

#include <QDir>

#include "app/scattering_data/data_folder.h"

namespace yex {

SaveResult SaveCompound(const QString& baseName, bool replace) {
  return SaveTable(baseName, Synthesis::Compound,
                   QDir::toNativeSeparators(DataFilePath(baseName + QStringLiteral(".yex"))), replace);
}

}  // namespace yex
