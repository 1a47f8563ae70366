#pragma once

#include <QString>

namespace platform {

// The operating system's own text for an error number, in the user's language.
QString systemErrorText(int code);

} // namespace platform
