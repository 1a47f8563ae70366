#include "ReplyParser.h"

#include "ReplyLines.h"
#include "Windows1251.h"
#include "ui_UnitMain.h"

namespace adapter {

namespace {

void showText(QLineEdit& box, const QByteArray& value)
{
    box.setText(fromWindows1251(value));
}

void setWidth(QWidget& widget, int width)
{
    widget.resize(width, widget.height());
}

} // namespace

TReplyParser::TReplyParser(Ui::TfrmMain& ui, ModeList& modes, const CopyRightWidths& widths,
                           ActiveModeStore storeActiveMode)
    : ui_(ui)
    , modes_(modes)
    , widths_(widths)
    , storeActiveMode_(std::move(storeActiveMode))
{
}

void TReplyParser::ApplyReplyLog(const QByteArrayList& log, const QWidget* focusControl)
{
    for (const QByteArray& line : log)
        ParseReplyLine(line);
    // The stored "Mode" is what the last match names, written once: a reply
    // that names the active mode many times costs one settings write.
    std::optional<QByteArray> activeMode;
    for (const QByteArray& line : log) {
        if (std::optional<QByteArray> named = ApplySelectedModeLine(line, focusControl))
            activeMode = std::move(named);
    }
    if (activeMode)
        storeActiveMode_(*activeMode);
}

bool TReplyParser::ParseReplyLine(const QByteArray& line)
{
    const ReplyLine reply = classifyReplyLine(line);
    switch (reply.field) {
    case ReplyField::None:
        return false;
    case ReplyField::Mode: {
        ModeIdLength = static_cast<int>(reply.value.size());
        // Rows are numbered from 00 in their order of arrival.
        const QByteArray number = QByteArray::number(modes_.count()).rightJustified(2, '0');
        modes_.append(number, reply.value, reply.description);
        return true;
    }
    case ReplyField::ProductLine:
    case ReplyField::Serial:
    case ReplyField::Signature:
    case ReplyField::Firmware:
    case ReplyField::Hardware:
        showText(*identityBox(reply.field), reply.value);
        return true;
    case ReplyField::Bootloader:
        showText(*ui_.edBootVer, reply.value);
        ui_.pcOptions->setTabVisible(ui_.pcOptions->indexOf(ui_.tsTest), true);
        setWidth(*ui_.edCopyRight, widths_.narrow);
        return true;
    case ReplyField::Power:
        applyPower(line);
        return true;
    case ReplyField::Voltage:
        applyVoltage(reply.value);
        return true;
    }
    return false;
}

std::optional<QByteArray> TReplyParser::ApplySelectedModeLine(const QByteArray& line, const QWidget* focusControl)
{
    const std::optional<QByteArray> named = selectedModeText(line);
    if (!named)
        return std::nullopt;
    bool matched = false;
    // Read with the length of the last mode line's ID, whatever the others' lengths.
    const QByteArray id = named->left(ModeIdLength);
    for (int index = 0; index < modes_.count(); ++index) {
        QTreeWidgetItem& row = *modes_.row(index);
        if (ModeList::idOf(row) != id) {
            modes_.setStateImage(row, ModeList::kNoImage);
            continue;
        }
        matched = true;
        modes_.setStateImage(row, ModeList::kActiveImage);
        if (focusControl == ui_.lvModes)
            modes_.focus(row);
        modes_.select(row);
        modes_.showSelected();
        ui_.btModeSelect->setEnabled(false);
        modes_.SelectedItem = &row;
    }
    return matched ? named : std::nullopt;
}

QLineEdit* TReplyParser::identityBox(ReplyField field) const
{
    switch (field) {
    case ReplyField::ProductLine: return ui_.edCopyRight;
    case ReplyField::Serial: return ui_.edSerial;
    case ReplyField::Signature: return ui_.edSignature;
    case ReplyField::Firmware: return ui_.edVersion;
    case ReplyField::Hardware: return ui_.edHardware;
    default: return nullptr;
    }
}

void TReplyParser::applyPower(const QByteArray& line)
{
    // Disabled while it is set, so that the change is not taken for the user's click.
    ui_.cbPower->setEnabled(false);
    ui_.cbPower->setChecked(powerLineTicks(line));
    ui_.cbPower->setEnabled(true);
    ui_.cbPower->setVisible(true);
    // Make room for the power box: end where the hardware box begins.
    if (ui_.edCopyRight->width() == widths_.wide)
        setWidth(*ui_.edCopyRight, ui_.edHardware->x() - ui_.edCopyRight->x());
}

void TReplyParser::applyVoltage(const QByteArray& value)
{
    ui_.edPower->setVisible(true);
    ui_.lbPower->setVisible(true);
    ui_.edPower->setText(QString::fromLatin1(supplyVoltageText(value)));
}

} // namespace adapter
