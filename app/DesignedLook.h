#pragma once

#include <QList>
#include <QPixmap>
#include <QStringList>

class QWidget;

namespace app {

// The layout was designed in MS Sans Serif 8 and Arial. It is drawn in the
// first installed of these faces with the metrics of Arial (Nimbus Sans has
// those of Helvetica, which Arial shares), MS Sans Serif 8 at the pixel size
// at which every caption stays inside its designed box in that face: Nimbus
// Sans, hinted otherwise, is a pixel wider on many captions at 10.
struct DesignedFace {
    QString family;
    int pixelSize; // for MS Sans Serif 8
};
inline const QList<DesignedFace> kDesignedFaces = {
    {QStringLiteral("Liberation Sans"), 10},
    {QStringLiteral("Arimo"), 10},
    {QStringLiteral("Nimbus Sans"), 9},
};

// The first of kDesignedFaces among `installed`; the generic sans-serif face
// at 10 pixels when none is.
DesignedFace chooseDesignedFace(const QStringList& installed);

// What the layout file asks for that the toolkit does not draw by itself:
// the designed typefaces drawn in `face`, whose family dialogs and boxes share,
// grey read-only boxes, coloured captions (made lighter or darker where the
// palette would leave them hard to read), labels sized to their captions,
// pictures, the mode list's column widths and grid lines, a selection that
// stays visible without focus, and a focus ring on lists and logs. Hint texts
// stay in the layout as a "hint" property and are not shown: the window
// leaves hints off. Called before and after the layout is built.
void installDesignedFonts(const QString& family);
void applyDesignedLook(QWidget& window, const DesignedFace& face);

} // namespace app
