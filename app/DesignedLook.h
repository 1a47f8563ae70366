#pragma once

#include <QPixmap>

class QWidget;

namespace app {

// What the layout file asks for that the toolkit does not draw by itself:
// the designed typefaces through metric-compatible substitutes, grey
// read-only boxes, coloured captions, labels sized to their captions, pictures, the mode list's column
// widths and grid lines, and a selection that stays visible without focus.
// Hint texts stay in the layout as a "hint" property and are not shown:
// the window leaves hints off. Called before and after the layout is built.
void installFontSubstitutes();
void applyDesignedLook(QWidget& window);

} // namespace app
