#pragma once

#include <QString>

namespace Konstant {
inline const QString Version = QStringLiteral("1.8");
inline const QString VersionCaption = QStringLiteral("Tintorel QELM MIX  Version ") + Version;
}  // namespace Konstant
