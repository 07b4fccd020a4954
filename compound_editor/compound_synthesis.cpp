#include "compound_editor/compound_synthesis.h"

#include <QDir>

#include "app/scattering_data/table_file.h"
#include "editor_shared/synthesis_math.h"

namespace yex {

SaveResult SaveCompound(const QString& baseName) {
  auto combine = [](QString* detail) {
    if (CombineConstituents(Weights::Amounts)) return true;
    *detail = QStringLiteral("the atom counts give a negative or infinite sum");
    return false;
  };
  return SaveTable(baseName, combine,
                   QDir::toNativeSeparators(DataFilePath(baseName + QStringLiteral(".yex"))));
}

}  // namespace yex
