#pragma once

#include <QString>

namespace platform {

// Puts `text` on the clipboard as plain text.
void copyToClipboard(const QString& text);

} // namespace platform
