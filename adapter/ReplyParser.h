#pragma once

#include "ModeList.h"
#include "ReplyLines.h"

#include <QByteArrayList>

class QLineEdit;

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
// boxes, the power box and voltage, the Test tab and the mode list.
class TReplyParser {
public:
    TReplyParser(Ui::TfrmMain& ui, ModeList& modes, const CopyRightWidths& widths);

    // Parses every line of the log, first to last.
    void ApplyReplyLog(const QByteArrayList& log);
    // Applies one line; true when the line was recognised.
    bool ParseReplyLine(const QByteArray& line);

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
};

} // namespace adapter
