#include "SerDev.h"

#include "ComPort.h"
#include "D2xxApi.h"
#include "platform/MessageBox.h"
#include "platform/SystemError.h"

#include <cerrno>

namespace serdev {

namespace {

// What a Linux user can do about the errors met most often on a serial port.
QString remedyFor(int code)
{
    switch (code) {
    case EACCES:
        return QStringLiteral("You may not use this port: add your user to the dialout group "
                              "(sudo usermod -aG dialout $USER), then log out and in again.");
    case EBUSY:
        if (const std::optional<PortHolder> holder = comPortHolderOfLastRefusal())
            return QStringLiteral("Another program holds this port: %1 (process %2). Close it, then try again.")
                .arg(QString::fromLocal8Bit(holder->program))
                .arg(holder->pid);
        return QStringLiteral("Another program holds this port: close it, then try again.");
    case ETIMEDOUT:
        return QStringLiteral("The port took no data in time: check the cable and that the "
                              "adapter is powered.");
    case ENOTTY:
        return QStringLiteral("This is not a serial port: choose another port.");
    case EIO:
    case ENXIO:
    case ENODEV:
        return QStringLiteral("The port is gone: check that the adapter is still plugged in.");
    default:
        return {};
    }
}

} // namespace

bool isLostPortError(std::int32_t kind, Dword code)
{
    // A terminal whose device is gone is hung up: every call on it fails so.
    return kind == kKindCom && (code == EIO || code == ENXIO || code == ENODEV);
}

QString deviceErrorText(std::int32_t kind, Dword code)
{
    if (kind == kKindUsb)
        return QString::asprintf("USB Device Error: %d (%s)", static_cast<int>(code), ftStatusText(code).constData());
    QString text = platform::systemErrorText(static_cast<int>(code));
    const QString remedy = remedyFor(static_cast<int>(code));
    if (!remedy.isEmpty())
        text += '\n' + remedy;
    return text;
}

void TSerDev::ReportError(const QByteArray& caption, const QByteArray& text)
{
    const QString title = QString::fromLocal8Bit(caption);
    if (!text.isEmpty()) {
        platform::showMessageBox(Owner, title, QString::fromLocal8Bit(text),
                                 platform::kBoxOk | platform::kBoxIconInformation);
        return;
    }
    // The column of the port kind in use keeps the code of its own failed call.
    const int column = Kind == kKindUsb ? kKindUsb : kKindCom;
    reportCode(caption, CommApi[column].get<CommOp::GetLastError>()(Handle));
}

void TSerDev::reportCode(const QByteArray& caption, Dword code)
{
    LastError = code;
    if (!ShowErrors || LastError == 0)
        return;
    platform::showMessageBox(Owner, QString::fromLocal8Bit(caption), deviceErrorText(Kind, LastError),
                             platform::kBoxOk | platform::kBoxIconInformation);
}

} // namespace serdev
