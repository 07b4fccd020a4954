// The faces the windows are specified in, mapped onto Debian's fonts.
#pragma once

#include <QFont>
#include <QString>

namespace yex {

inline const QString kMsGothic = QStringLiteral("ＭＳ ゴシック");
inline const QString kMsPGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kMsMincho = QStringLiteral("ＭＳ 明朝");
inline const QString kHgMaruGothic = QStringLiteral("HG丸ｺﾞｼｯｸM-PRO");
inline const QString kTimes = QStringLiteral("Times New Roman");

// Registers the substitutions (ＭＳ ゴシック → IPAGothic, ...); call once
// after the application object exists.
void InstallFontSubstitutions();

// A font of the given specified face and point size.
QFont VbFont(const QString& face, double points, bool italic = false);

}  // namespace yex
