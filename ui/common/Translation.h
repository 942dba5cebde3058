#pragma once

#include <QString>

namespace Translation {

// Installs the program's Chinese translation (":/qm/cn.qm") into the application when language is "cn".
// The translator is created once and lives until exit; installing twice does nothing more. Returns true when
// the Chinese translation was loaded and installed.
bool installForLanguage(const QString& language);

} // namespace Translation
