#include "support/WindowFixture.h"

#include "app/DevicePropertiesDialog.h"

namespace {

const serdev::SerialPort kCom1{"/dev/ttyS0", "serial8250", "/sys/devices/platform/serial8250/tty/ttyS0"};
const serdev::SerialPort kCom3{"/dev/ttyS2", "serial8250", ""};

class PortList : public WindowFixture {
protected:
    QStringList entries()
    {
        QStringList texts;
        for (int i = 0; i < ui().cbCOM->count(); ++i)
            texts << ui().cbCOM->itemText(i);
        return texts;
    }
    // The user picks an entry of the drop-down.
    void pick(int index)
    {
        ui().cbCOM->setCurrentIndex(index);
        emit ui().cbCOM->activated(index);
    }
    void refreshOnce() { clock.advance(app::TfrmMain::kRefreshPeriodMs + serdev::TListCOM::kCyclePeriodMs); }
};

} // namespace

TEST_F(PortList, AFirstStartListsComPortsThenFtdiDevicesAndRemembersTheFirst)
{
    setComPorts(std::vector{kCom1, kCom3});
    simd2xx::addDevice("A1B2C3D4", "FT232R USB UART");
    startWindow();

    EXPECT_EQ(entries(), (QStringList{"/dev/ttyS0 (serial8250)", "/dev/ttyS2 (serial8250)",
                                      "USB:A1B2C3D4 (FT232R USB UART)"}));
    EXPECT_EQ(ui().cbCOM->currentIndex(), 0);
    EXPECT_EQ(storedSettings().value("Port"), "/dev/ttyS0");
    EXPECT_TRUE(ui().btSearch->isEnabled());
    EXPECT_TRUE(ui().btPortProp->isEnabled()); // /dev/ttyS0 has a device id
}

TEST_F(PortList, AnAbsentRememberedPortFallsBackToTheFirstAndIsFoundAgainAfterRefresh)
{
    setComPorts(std::vector{kCom1});
    storeSettings({{"Port", "USB:A1B2C3D4"}});
    startWindow();
    EXPECT_EQ(ui().cbCOM->currentIndex(), 0);
    EXPECT_EQ(storedSettings().value("Port"), "USB:A1B2C3D4");

    simd2xx::addDevice("A1B2C3D4", "FT232R USB UART");
    const std::int64_t before = clock.nowMs();
    ui().btRefresh->click();
    EXPECT_EQ(clock.nowMs() - before, serdev::TSerDev::kUsbRescanWaitMs); // the window is held for the rescan
    clock.advance(1);
    EXPECT_EQ(ui().cbCOM->currentText(), "USB:A1B2C3D4 (FT232R USB UART)");
    EXPECT_FALSE(ui().btPortProp->isEnabled()); // FTDI entries have no device id
}

TEST_F(PortList, PickingAPortRemembersItAtOnce)
{
    setComPorts(std::vector{kCom1, kCom3});
    startWindow();
    pick(1);
    EXPECT_EQ(storedSettings().value("Port"), "/dev/ttyS2");
    EXPECT_FALSE(ui().btPortProp->isEnabled());
    pick(0);
    EXPECT_EQ(storedSettings().value("Port"), "/dev/ttyS0");
    EXPECT_TRUE(ui().btPortProp->isEnabled());
}

TEST_F(PortList, TheDropDownIsRebuiltOnlyWhenTheListsChange)
{
    setComPorts(std::vector{kCom1, kCom3});
    startWindow();
    ui().cbCOM->setCurrentIndex(1); // looked at, not picked: nothing is stored
    refreshOnce();
    EXPECT_EQ(ui().cbCOM->currentIndex(), 1);

    serdev::SerialPort renamed = kCom3;
    renamed.description = "16550A";
    setComPorts(std::vector{kCom1, renamed});
    refreshOnce();
    EXPECT_EQ(entries().value(1), "/dev/ttyS2 (16550A)");
    EXPECT_EQ(ui().cbCOM->currentIndex(), 0); // the rebuild selects the remembered port again
}

TEST_F(PortList, LosingTheLastPortEmptiesTheListAndDisablesSearch)
{
    setComPorts(std::vector{kCom1});
    startWindow();
    setComPorts(std::vector<serdev::SerialPort>{});
    refreshOnce();
    EXPECT_EQ(ui().cbCOM->count(), 0);
    EXPECT_EQ(ui().cbCOM->currentIndex(), -1);
    EXPECT_FALSE(ui().btSearch->isEnabled());
}

TEST_F(PortList, ARebuildDuringAnExchangeLeavesItsControlsDisabled)
{
    setComPorts(std::vector{kCom1});
    storeSettings({{"Port", QString::fromLatin1(kAdapterPort)}});
    attachAdapter(*sim::scenarioProfile("silent"));
    startWindow();
    ASSERT_EQ(ui().cbCOM->currentText(), "USB:VM4A7C21 (Velmora VT-2)");
    ui().btSearch->click();
    clock.advance(20);
    ASSERT_TRUE(window->exchange().isRunning());

    setComPorts(std::vector{kCom1, kCom3});
    refreshOnce();
    EXPECT_EQ(ui().cbCOM->count(), 3);
    EXPECT_FALSE(ui().btSearch->isEnabled());
    EXPECT_FALSE(ui().btPortProp->isEnabled());
    EXPECT_FALSE(ui().cbCOM->isEnabled());

    runExchange();
    EXPECT_TRUE(ui().btSearch->isEnabled());
    EXPECT_TRUE(ui().cbCOM->isEnabled());
}

TEST_F(PortList, PortPropertiesShowTheDevicesUdevRecordOrNothingWithoutOne)
{
    setComPorts(std::vector{kCom1, kCom3});
    startWindow();
    ui().cbCOM->setCurrentIndex(1);
    window->btPortPropClick();
    EXPECT_EQ(window->findChild<QDialog*>(app::DevicePropertiesDialog::kObjectName), nullptr);

    ui().cbCOM->setCurrentIndex(0);
    ui().btPortProp->click();
    auto* dialog = window->findChild<QDialog*>(app::DevicePropertiesDialog::kObjectName);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Properties of /dev/ttyS0 (serial8250)");
    dialog->close();
}
