#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

class QWidget;

namespace fwupdate {
class TFWUpdate;
}

namespace serdev {
class TSerDev;
}

namespace adapter {

// What an exchange needs of the main window beyond its widgets.
class ExchangeWindow {
public:
    virtual QWidget& widget() = 0;
    virtual serdev::TSerDev& device() = 0;
    virtual fwupdate::TFWUpdate& firmwareUpdate() = 0;
    // The mode file the repair writes, as read when it started.
    virtual const QByteArray& modeFileData() const = 0;
    // Enables the Update tab's Run button by its rule.
    virtual void EnableUpdateRun() = 0;
    // The exchange has ended, its port closed and its controls enabled.
    virtual void exchangeFinished() = 0;
    // The port list's entry at `index` (the index of the port drop-down).
    virtual QByteArray portName(int index) const = 0;
    virtual QByteArray portDeviceId(int index) const = 0;
    // The window's error box: caption "Error...", the error icon.
    virtual void showError(const QString& text) = 0;
    // The window's box for an error that escaped a step.
    virtual void showEscapedError(std::exception_ptr error) = 0;
    virtual QByteArray productName() const = 0;
    virtual QByteArray baudSetting(int index) const = 0;
    virtual QByteArray commandPrefix(int index) const = 0;

protected:
    ~ExchangeWindow() = default;
};

} // namespace adapter
