#include "compound_editor/compound_synthesis.h"

#include <QDir>

#include "app/scattering_data/table_file.h"
#include "editor_shared/synthesis_math.h"

namespace yex {

bool CombineCompound(QString* detail) {
  if (CombineConstituents(Weights::Amounts)) return true;
  *detail = QStringLiteral("the atom counts give a negative or infinite sum");
  return false;
}

SaveResult SaveCompound(const QString& baseName) {
  return SaveTable(baseName, CombineCompound,
                   QDir::toNativeSeparators(DataFilePath(baseName + QStringLiteral(".yex"))));
}

}  // namespace yex
