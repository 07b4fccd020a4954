#include "mixture_editor/mixture_synthesis.h"

namespace yex {

SaveResult SaveMixture(const QString& baseName, bool replace) {
  return SaveTable(baseName, Synthesis::Mixture, baseName + QStringLiteral(".yex"), replace);
}

}  // namespace yex
