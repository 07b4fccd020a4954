#include "mixture_editor/mixture_synthesis.h"

namespace yex {

SaveResult SaveMixture(const QString& baseName) {
  return SaveTable(baseName, Synthesis::Mixture, baseName + QStringLiteral(".yex"));
}

}  // namespace yex
