#include "support/WindowFixture.h"

#include "app/DevicePropertiesDialog.h"

#include <QLabel>

#include <functional>

namespace {

const serdev::SerialPort kCom1{"/dev/ttyS0", "serial8250", "/sys/devices/platform/serial8250/tty/ttyS0"};
const serdev::SerialPort kCom3{"/dev/ttyS2", "serial8250", ""};
const serdev::SerialPort kCom4{"/dev/ttyS3", "serial8250", ""};

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

public:
    using WindowFixture::configHome;
    using WindowFixture::storeSettings;
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

TEST_F(PortList, DamagedSettingsAreReportedOnceWithTheFileAndTheListStillFollowsThePorts)
{
    struct Case {
        const char* what;
        std::function<void(PortList&)> damage;
        QString said; // part of what the box says besides the file's name
    };
    const std::vector<Case> cases{
        {"a stored port of the wrong kind",
         [](PortList& f) { f.storeSettings({{"Port", 42}, {"SortCol", 1}}); },
         "holds 42 as \"Port\", which is not a text."},
        {"a settings file that cannot be read or written",
         [](PortList&) { QDir().mkpath(app::settingsFile()); }, "cannot be read or written"},
        {"a settings folder that cannot be made",
         [](PortList& f) {
             QFile blocker(f.configHome() + "/velmora-configurator");
             ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
         },
         "cannot be read or written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(configHome()).removeRecursively();
        QDir().mkpath(configHome());
        c.damage(*this);
        setComPorts(std::vector{kCom1, kCom3});
        boxes.clear();
        startWindow();

        EXPECT_EQ(entries().size(), 2);
        EXPECT_EQ(ui().cbCOM->currentIndex(), 0);
        EXPECT_TRUE(ui().btSearch->isEnabled());
        // Start-up meets the same file when it reads the sort order, and says so in its own box.
        ASSERT_GE(boxes.count(), 1u);
        const QString said = boxes.all().front().call.text;
        EXPECT_TRUE(said.contains(app::settingsFile())) << said.toStdString();
        EXPECT_TRUE(said.contains(c.said)) << said.toStdString();
        const std::size_t boxesAtStart = boxes.count();

        // The refresh goes on, and says nothing more about the same trouble.
        setComPorts(std::vector{kCom1, kCom3, kCom4});
        refreshOnce();
        EXPECT_EQ(entries().size(), 3);
        EXPECT_EQ(boxes.count(), boxesAtStart);
        restartProgram();
    }
}

TEST_F(PortList, AStoredPortOfTheWrongKindIsReplacedAndTheFileKeptAsideWhole)
{
    storeSettings({{"Port", 42}, {"SortCol", 1}});
    setComPorts(std::vector{kCom1});
    startWindow();
    EXPECT_EQ(storedSettings().value("Port"), "/dev/ttyS0");
    EXPECT_EQ(storedSettings().value("SortCol"), 1);
    const QStringList kept = QDir(QFileInfo(app::settingsFile()).path()).entryList({"settings.json.unreadable-*"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(boxes.last().call.text.contains(kept.first()));
    QFile keptFile(QFileInfo(app::settingsFile()).path() + "/" + kept.first());
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(keptFile.readAll()).object().value("Port"), 42);
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

TEST_F(PortList, MarkupInADevicesPathOrNameIsShownAsItStands)
{
    const serdev::SerialPort forged{"/dev/ttyS9", "<b>serial</b>", "/sys/devices/<h1>Adapter found, all OK</h1>"};
    setComPorts(std::vector{forged});
    startWindow();
    EXPECT_EQ(ui().cbCOM->currentText(), "/dev/ttyS9 (<b>serial</b>)");
    ui().btPortProp->click();
    auto* dialog = window->findChild<QDialog*>(app::DevicePropertiesDialog::kObjectName);
    ASSERT_NE(dialog, nullptr);
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
    dialog->close();
}
