#pragma once

#include "serdev/SerialPortEnumeration.h"

#include <QDialog>

#include <vector>

namespace app {

// The properties of a port's device as udev knows them: what the Windows
// program's device-properties dialog shows, as far as Linux has it.
class DevicePropertiesDialog final : public QDialog {
public:
    DevicePropertiesDialog(QWidget* parent, const QString& portText, const QByteArray& deviceId,
                           const std::vector<serdev::DeviceProperty>& properties);

    static constexpr char kObjectName[] = "devicePropertiesDialog";
};

} // namespace app
