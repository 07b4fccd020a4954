#include "compound_editor/compound_synthesis.h"

#include <QDir>

#include "app/scattering_data/table_file.h"

namespace yex {

SaveResult SaveCompound(const QString& baseName) {
  return SaveTable(baseName, Synthesis::Compound,
                   QDir::toNativeSeparators(DataFilePath(baseName + QStringLiteral(".yex"))));
}

}  // namespace yex
