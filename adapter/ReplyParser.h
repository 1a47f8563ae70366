#pragma once

#include "ModeList.h"
#include "ReplyLines.h"

#include <QByteArrayList>

#include <functional>
#include <optional>

class QLineEdit;
class QWidget;

namespace Ui {
class TfrmMain;
}

namespace adapter {

// The widths between which the product-line box switches: its designed
// width, and the width that reaches the right edge of the firmware box.
struct CopyRightWidths {
    int narrow = 0;
    int wide = 0;
};

// Puts what the adapter's reply lines say into the window: the identity
// boxes, the power box and voltage, the Test tab and the mode list, whose
// active mode it marks.
class TReplyParser {
public:
    // Keeps the text that names the active mode (the program never reads it back).
    using ActiveModeStore = std::function<void(const QByteArray& text)>;

    TReplyParser(Ui::TfrmMain& ui, ModeList& modes, const CopyRightWidths& widths, ActiveModeStore storeActiveMode);

    // Parses every line of the log, first to last; then marks the active
    // mode, so that it is matched against the complete list. `focusControl`
    // is the control the running exchange ends on: a marked row becomes the
    // list's focused row when that is the list.
    void ApplyReplyLog(const QByteArrayList& log, const QWidget* focusControl);
    // Applies one line; true when the line was recognised.
    bool ParseReplyLine(const QByteArray& line);
    // Marks the row that a "Selected Mode: " line names, clearing every other
    // mark. The text that names the active mode, when a row matched it.
    std::optional<QByteArray> ApplySelectedModeLine(const QByteArray& line, const QWidget* focusControl);

    // The ID length of the last mode line parsed.
    int ModeIdLength = 0;

private:
    // The box of the identity strip that shows a field given as plain text.
    QLineEdit* identityBox(ReplyField field) const;
    void applyPower(const QByteArray& line);
    void applyVoltage(const QByteArray& value);

    Ui::TfrmMain& ui_;
    ModeList& modes_;
    const CopyRightWidths& widths_;
    ActiveModeStore storeActiveMode_;
};

} // namespace adapter
