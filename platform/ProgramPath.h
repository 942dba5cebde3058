#pragma once

#include <QString>

namespace Platform {

// Absolute path of the running program's file. Works before the application object exists.
QString programFilePath();

} // namespace Platform
