#include "toolkit/fonts.h"

namespace yex {

void InstallFontSubstitutions() {
  QFont::insertSubstitution(kMsGothic, QStringLiteral("IPAGothic"));
  QFont::insertSubstitution(kMsPGothic, QStringLiteral("IPAPGothic"));
  QFont::insertSubstitution(kMsMincho, QStringLiteral("IPAMincho"));
  QFont::insertSubstitution(kHgMaruGothic, QStringLiteral("MotoyaLMaru"));
  QFont::insertSubstitution(kTimes, QStringLiteral("Liberation Serif"));
}

QFont VbFont(const QString& face, double points, bool italic) {
  QFont f(face);
  f.setPointSizeF(points);
  f.setItalic(italic);
  // Fixed-width columns of the table lines need a fixed-pitch fallback too.
  if (face == kMsGothic)
    f.setStyleHint(QFont::Monospace);
  else if (face == kTimes)
    f.setStyleHint(QFont::Serif);
  return f;
}

}  // namespace yex
