#include "support/WindowFixture.h"

#include "app/HandlerGuard.h"
#include "platform/TimerResolution.h"

#include <QScreen>

namespace {

const serdev::SerialPort kFirstPort{"/dev/ttyS0", "serial8250", "/sys/devices/platform/serial8250/tty/ttyS0"};
const serdev::SerialPort kSecondPort{"/dev/ttyUSB0", "FT232R USB UART", ""};

QByteArray versionBlock(const QByteArray& productName, const QByteArray& extra = {})
{
    return R"({"StringFileInfo": {"040904E4": {"ProductName": ")" + productName
           + R"(", "InternalName": "Configurator", "FileVersion": "2.0.0.1", "CompanyName": "Korvane")" + extra
           + "}}}";
}

class Startup : public WindowFixture {
protected:
    Startup() { setComPorts(std::vector{kFirstPort, kSecondPort}); }
};

} // namespace

TEST_F(Startup, AFirstStartShowsTheDesignedWindowAndStoresTheDefaults)
{
    startWindow();
    EXPECT_EQ(window->windowTitle(), "Velmora Configurator Version 1.7.0.8");
    EXPECT_EQ(app::applicationTitle(), "Velmora Configurator Version 1.7.0.8");
    EXPECT_EQ(window->size(), QSize(592, 354));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(ui().pcOptions->currentWidget(), ui().tsSettings);
    EXPECT_FALSE(ui().pcOptions->isTabVisible(ui().pcOptions->indexOf(ui().tsTest)));
    EXPECT_EQ(ui().edCopyRight->width(), 527);
    EXPECT_EQ(ui().lbCopy->text(), "Copyright (C) 2026 Korvane");
    EXPECT_EQ(ui().lbRef->text(), "https://www.korvane.example/");
    EXPECT_EQ(ui().lbMail->text(), "order@korvane.example");
    EXPECT_EQ(ui().rbAddMode->text(), "Repair Velmora");
    EXPECT_TRUE(!ui().imgLogo->isHidden());
    EXPECT_FALSE(!ui().imgLogo_CDV->isHidden());
    EXPECT_EQ(app::CommandPrefixes, (QByteArrayList{"!zatTPN_UD_", "!KORVANE_JwtljzqZuiwdab_"}));
    EXPECT_TRUE(platform::preciseTimersRequested());
    EXPECT_EQ(clock.nowMs(), serdev::TSerDev::kUsbRescanWaitMs);

    const QJsonObject stored = storedSettings();
    EXPECT_EQ(stored.value("SortCol"), 0);
    EXPECT_EQ(stored.value("SortDir"), 0);
    EXPECT_EQ(stored.value("Port"), QString::fromUtf8(kFirstPort.name));
    EXPECT_FALSE(stored.contains("WinTop"));
    EXPECT_EQ(boxes.count(), 0u);

    window->move(40, 30);
    window->close();
    EXPECT_EQ(storedSettings().value("WinTop"), window->y());
    EXPECT_EQ(storedSettings().value("WinLeft"), window->x());
    EXPECT_FALSE(platform::preciseTimersRequested());
}

TEST_F(Startup, TheDesignedFontsAreDrawnAtTheirPixelHeights)
{
    startWindow();
    const std::vector<std::pair<QWidget*, int>> heights{
        {window.get(), 10}, {ui().edSerial, 10}, {ui().lbName, 19}, {ui().lbVersion, 13},
        {ui().lbRef, 16}, {ui().Label8, 12},
    };
    for (const auto& [widget, pixels] : heights) {
        const QFontInfo drawn(widget->font());
        EXPECT_EQ(drawn.pixelSize(), pixels) << widget->objectName().toStdString();
        EXPECT_EQ(drawn.family(), "Liberation Sans") << widget->objectName().toStdString();
    }
    EXPECT_TRUE(ui().btPortProp->font().bold());
    EXPECT_TRUE(ui().lbRef_Over->font().underline());
    EXPECT_FALSE(ui().lbRef->font().underline());
}

TEST_F(Startup, TheVersionBlockNamesTheProgram)
{
    startWindow(versionBlock("CANdunVEL", R"(, "Support": "x@y.example")"));
    EXPECT_EQ(window->windowTitle(), "CANdunVEL Configurator Version 2.0.0.1");
    EXPECT_TRUE(!ui().imgLogo_CDV->isHidden());
    EXPECT_FALSE(!ui().imgLogo->isHidden());
    EXPECT_EQ(ui().lbCopy->text(), ""); // a missing key reads as empty text
    EXPECT_EQ(ui().lbMail->text(), "x@y.example");
}

TEST_F(Startup, OnlyTheExactVariantNameShowsTheVariantLogo)
{
    startWindow(versionBlock("candunvel"));
    EXPECT_TRUE(!ui().imgLogo->isHidden());
    EXPECT_FALSE(!ui().imgLogo_CDV->isHidden());
}

TEST_F(Startup, WithoutAVersionBlockTheDesignedCaptionsStay)
{
    startWindow(std::nullopt);
    EXPECT_EQ(app::applicationTitle(), "Configurator");
    EXPECT_EQ(window->windowTitle(), "Name...");
    EXPECT_EQ(ui().lbName->text(), "Name");
    EXPECT_EQ(ui().lbVersion->text(), "Version ");
    EXPECT_EQ(ui().lbRef->text(), "www");
    EXPECT_EQ(ui().rbAddMode->text(), "Repair");
    EXPECT_TRUE(!ui().imgLogo->isHidden());
    EXPECT_TRUE(!ui().imgLogo_CDV->isHidden());
    EXPECT_EQ(app::CommandPrefixes[1], "!_JwtljzqZuiwdab_");
    EXPECT_TRUE(app::AppProductName.isEmpty());
}

TEST_F(Startup, AStoredSortColumnOutsideTheListIsResetAtOnce)
{
    for (const auto& [stored, taken] : std::vector<std::pair<int, int>>{{3, 0}, {7, 0}, {2, 2}}) {
        storeSettings({{"SortCol", stored}, {"SortDir", 7}});
        startWindow();
        EXPECT_EQ(window->SortColumn, taken);
        EXPECT_EQ(storedSettings().value("SortCol"), taken);
        EXPECT_EQ(window->SortDescending, 7);
        window->close();
        EXPECT_EQ(storedSettings().value("SortDir"), 7);
        restartProgram();
    }
}

TEST_F(Startup, TextWhereAnIntegerBelongsStopsTheStartWithAnErrorAndTheWindowStillOpens)
{
    storeSettings({{"SortCol", "wide"}});
    startWindow();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.text, "Invalid data type for 'SortCol'");
    EXPECT_EQ(boxes.last().call.title, "Velmora Configurator Version 1.7.0.8");
    EXPECT_EQ(boxes.last().call.flags, platform::kBoxIconError);
    // The steps after the failing one were skipped.
    EXPECT_FALSE(storedSettings().contains("SortDir"));
    EXPECT_FALSE(platform::preciseTimersRequested());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(ui().cbCOM->count(), 2); // the steps before it ran
}

TEST_F(Startup, AStoredPositionIsUsedOnlyWhenBothHalvesExist)
{
    storeSettings({{"WinTop", 5000}, {"WinLeft", -3000}});
    startWindow();
    EXPECT_EQ(window->pos(), QPoint(-3000, 5000)); // taken as stored, even off every screen
    restartProgram();

    storeSettings({{"WinTop", 100}});
    startWindow();
    const QPoint centred = window->screen()->availableGeometry().center() - window->rect().center();
    EXPECT_EQ(window->pos(), centred);
    window->close();
    EXPECT_TRUE(storedSettings().contains("WinLeft"));
}

TEST_F(Startup, AnUnreadableSettingsFileIsReportedKeptAsideAndReplaced)
{
    QDir().mkpath(QFileInfo(app::settingsFile()).absolutePath());
    QFile file(app::settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not json");
    file.close();

    startWindow();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(boxes.last().call.text.contains(app::settingsFile()));
    EXPECT_EQ(boxes.last().call.title, "Velmora Configurator Version 1.7.0.8 - Error...");
    const QStringList kept = QFileInfo(app::settingsFile()).dir().entryList({"settings.json.unreadable-*"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(storedSettings().value("SortCol"), 0);
}

TEST_F(Startup, AFailedWriteAtCloseIsReportedAndTheWindowClosesAnyway)
{
    startWindow();
    // Put a file where the settings folder belongs, so that no write can succeed.
    QDir(configHome()).removeRecursively();
    QDir().mkpath(configHome());
    QFile blocker(configHome() + "/velmora-configurator");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(boxes.last().call.text.startsWith("Failed to set data for 'SortCol'"));
    EXPECT_FALSE(platform::preciseTimersRequested());
}

TEST(EscapedErrors, AreShownWithTheirTextAndTheProgramGoesOn)
{
    RecordedBoxes boxes;
    app::initialiseUnitData();
    bool after = false;
    app::runHandler([] { throw std::runtime_error("Disk full"); });
    app::runHandler([] { throw 42; });
    app::runHandler([&] { after = true; });
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.all()[0].call.text, "Disk full");
    EXPECT_EQ(boxes.all()[0].call.title, "Configurator");
    EXPECT_EQ(boxes.all()[0].call.flags, platform::kBoxIconError);
    EXPECT_EQ(boxes.all()[1].call.text, "");
    EXPECT_TRUE(after);
}

TEST(EscapedErrors, TheApplicationCatchesWhatEscapesAnEventHandler)
{
    class Throwing : public QObject {
    public:
        bool event(QEvent*) override { throw std::runtime_error("from an event"); }
    } target;
    RecordedBoxes boxes;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&target, &event);
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_EQ(boxes.last().call.text, "from an event");
}

// Earlier versions kept the settings in a folder per part of the key path.
TEST_F(Startup, SettingsFromWhereEarlierVersionsKeptThemAreMovedOnceAndTheNewerFileHolds)
{
    const QString legacy = configHome() + "/SOFTWARE/korvane.example Company ::./settings.json";
    const auto writeLegacy = [&] {
        QDir().mkpath(QFileInfo(legacy).absolutePath());
        QFile file(legacy);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"SortCol": 2, "SortDir": 1, "Port": "/dev/ttyUSB0", "Mode": "B7 - Valet"})");
    };
    writeLegacy();
    startWindow();
    EXPECT_EQ(app::settingsFile(), configHome() + "/velmora-configurator/settings.json");
    EXPECT_FALSE(QFileInfo::exists(legacy));
    EXPECT_FALSE(QFileInfo::exists(configHome() + "/SOFTWARE")); // nothing else was there
    EXPECT_EQ(storedSettings().value("Mode"), "B7 - Valet");
    EXPECT_EQ(window->SortColumn, 2);
    EXPECT_EQ(window->SortDescending, 1);
    EXPECT_EQ(ui().cbCOM->currentIndex(), 1); // /dev/ttyUSB0
    EXPECT_EQ(boxes.count(), 0u);

    restartProgram(); // an older version wrote its file again: the moved one holds
    writeLegacy();
    QJsonObject newer = storedSettings();
    newer.insert("SortCol", 1);
    storeSettings(newer);
    startWindow();
    EXPECT_EQ(window->SortColumn, 1);
    EXPECT_TRUE(QFileInfo::exists(legacy));
}

TEST_F(Startup, SettingsThatCannotBeMovedAreLeftWhereTheyAreAndTheBoxSaysWhere)
{
    const QString legacy = configHome() + "/SOFTWARE/korvane.example Company ::./settings.json";
    QDir().mkpath(QFileInfo(legacy).absolutePath());
    QFile file(legacy);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"SortCol": 2})");
    file.close();
    QFile blocker(configHome() + "/velmora-configurator"); // a file where the folder belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    startWindow();
    ASSERT_GE(boxes.count(), 1u);
    EXPECT_TRUE(boxes.all()[0].call.text.startsWith("The settings file " + legacy + " could not be moved to "
                                                    + app::settingsFile()));
    EXPECT_TRUE(QFileInfo::exists(legacy));
}
