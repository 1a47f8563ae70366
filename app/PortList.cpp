// The port list of the main window: the enumeration threads' lists merged
// into the drop-down, the remembered port, refreshing and device properties.

#include "DevicePropertiesDialog.h"
#include "SettingsStore.h"
#include "UnitMain.h"
#include "UnitMainData.h"
#include "platform/MessageBox.h"
#include "platform/SettingsKey.h"
#include "ui_UnitMain.h"

#include <QScopeGuard>

namespace app {

namespace {

bool sameLists(const QByteArrayList& names, const QByteArrayList& descriptions, const QByteArrayList& ids,
               const QByteArrayList& oldNames, const QByteArrayList& oldDescriptions, const QByteArrayList& oldIds)
{
    if (names.size() != oldNames.size())
        return false;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i] != oldNames[i] || descriptions.value(i) != oldDescriptions.value(i)
            || ids.value(i) != oldIds.value(i))
            return false;
    }
    return true;
}

QString entryText(const QByteArray& name, const QByteArray& description)
{
    return QString::fromUtf8(name + " (" + description + ")");
}

} // namespace

void TfrmMain::RefreshPortList(bool force)
{
    QByteArrayList names;
    QByteArrayList descriptions;
    QByteArrayList ids;
    Device->CollectPorts(names, descriptions, ids);
    if (!force && sameLists(names, descriptions, ids, PortNames, PortDescriptions, PortDeviceIds))
        return;

    // While an exchange runs, the controls it disabled stay disabled; it
    // enables them again by the same rules when it finishes.
    const bool exchangeRunning = Exchange->isRunning();
    // Read before the lists are emptied: whatever the settings file holds,
    // the lists are rebuilt.
    QByteArray remembered;
    if (!names.isEmpty()) {
        const SettingRead port = ReadStringSettingOrDefault(QStringLiteral("Port"), names.first());
        remembered = port.value;
        reportSettingsTrouble(port.trouble);
    }
    PortNames.clear();
    PortDescriptions.clear();
    PortDeviceIds.clear();
    ui->cbCOM->clear();
    int selected = -1;
    if (!names.isEmpty()) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            PortNames.append(names[i]);
            PortDescriptions.append(descriptions.value(i));
            PortDeviceIds.append(ids.value(i));
            ui->cbCOM->addItem(entryText(names[i], descriptions.value(i)));
            if (names[i] == remembered)
                selected = static_cast<int>(i); // the last of several equal names wins
        }
    }
    if (selected < 0 && ui->cbCOM->count() > 0)
        selected = 0; // "Port" keeps the absent name until the user picks one
    ui->cbCOM->setCurrentIndex(selected);
    if (!exchangeRunning) {
        if (selected >= 0)
            enablePortProperties(selected);
        ui->btSearch->setEnabled(ui->cbCOM->count() > 0);
    }
}

void TfrmMain::tmrRefreshTimer()
{
    tmrRefresh->setInterval(0);
    // Re-armed whatever the refresh meets, so that the list goes on following the ports.
    const auto rearm = qScopeGuard([this] { tmrRefresh->setInterval(kRefreshPeriodMs); });
    if (Device)
        RefreshPortList(false);
}

void TfrmMain::btRefreshClick()
{
    Device->RescanUsb();
    tmrRefresh->setInterval(1); // refresh at once; the timer returns to its period by itself
}

void TfrmMain::cbCOMClick()
{
    const int index = ui->cbCOM->currentIndex();
    if (index < 0) {
        ui->btSearch->setEnabled(false);
        return;
    }
    enablePortProperties(index);
    try {
        WriteStringSetting(QStringLiteral("Port"), PortNames.value(index));
    } catch (const platform::SettingsError& error) {
        reportSettingsTrouble(settingsWriteTrouble(QStringLiteral("Port"), error.reason()));
    }
}

void TfrmMain::reportSettingsTrouble(const QString& trouble)
{
    // Said once: the list is refreshed every second, and the file stays as it is until the user acts.
    if (trouble.isEmpty() || reportedSettingsTroubles_.contains(trouble))
        return;
    reportedSettingsTroubles_.insert(trouble);
    AppMessageBox(this, QStringLiteral("Error..."), trouble, platform::kBoxIconError);
}

void TfrmMain::btPortPropClick()
{
    const int index = ui->cbCOM->currentIndex();
    const QByteArray deviceId = PortDeviceIds.value(index);
    if (index < 0 || deviceId.isEmpty())
        return; // no device to show, as for a port listed by path
    auto* dialog = new DevicePropertiesDialog(this, ui->cbCOM->currentText(), deviceId,
                                              serdev::udevDeviceProperties(deviceId));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void TfrmMain::enablePortProperties(int index)
{
    ui->btPortProp->setEnabled(!PortDeviceIds.value(index).isEmpty());
}

} // namespace app
