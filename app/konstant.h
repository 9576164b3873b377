#pragma once

#include <QString>

namespace Konstant {
inline const QString Version = QStringLiteral(TINTOREL_VERSION);
inline const QString VersionCaption = QStringLiteral("Tintorel QELM MIX  Version ") + Version;
}  // namespace Konstant
