#pragma once

#include "DeviceFixture.h"
#include "app/SettingsStore.h"
#include "app/UnitMain.h"
#include "app/UnitMainData.h"
#include "platform/Shell.h"
#include "ui_UnitMain.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>
#include <optional>

// The real main window, offscreen, on the manual clock, with the D2XX test
// library for hardware, recorded boxes and shell requests, and a settings
// folder of its own.
class WindowFixture : public DeviceFixture {
protected:
    static constexpr char kAdapterSerial[] = "VM4A7C21";
    static constexpr char kAdapterPort[] = "USB:VM4A7C21";

    WindowFixture()
        : previousConfigHome_(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", configHome_.path().toUtf8());
        resetUnitData();
        platform::setShellOpener([this](const QString& item) {
            opened.push_back(item);
            return shellOpens;
        });
    }
    ~WindowFixture() override
    {
        window.reset();
        clock.settle();
        platform::setShellOpener({});
        qputenv("XDG_CONFIG_HOME", previousConfigHome_);
    }

    // Creates and shows the window; `versionBlock` stands in for the program's own.
    void startWindow(std::optional<QByteArray> versionBlock = app::programVersionBlock())
    {
        app::TfrmMain::Environment environment;
        environment.versionBlock = [versionBlock] { return versionBlock; };
        environment.comPorts = comSource();
        environment.today = [this] { return today; };
        if (fontFamilies)
            environment.fontFamilies = [families = *fontFamilies] { return families; };
        window = std::make_unique<app::TfrmMain>(std::move(environment));
        clock.settle();
        window->show();
    }

    // Ends this run of the program, so that the test can start another.
    void restartProgram()
    {
        window.reset();
        clock.settle();
        resetUnitData();
    }

    Ui::TfrmMain& ui() { return window->form(); }

    // An FTDI device with a simulated adapter behind it.
    void attachAdapter(const sim::AdapterProfile& profile, const char* description = "Velmora VT-2")
    {
        simd2xx::addDevice(kAdapterSerial, description);
        simd2xx::attachAdapter(kAdapterSerial, profile);
    }

    // The program with the adapter's port remembered and selected, the adapter behind it.
    void startWithAdapter(const sim::AdapterProfile& profile)
    {
        QJsonObject settings = storedSettings();
        settings.insert("Port", QString::fromLatin1(kAdapterPort));
        storeSettings(settings);
        attachAdapter(profile);
        startWindow();
        ASSERT_EQ(ui().cbCOM->currentIndex(), 0);
    }
    // A search that finds the adapter, from the program's start.
    void searchAdapter(const sim::AdapterProfile& profile = sim::standardProfile())
    {
        startWithAdapter(profile);
        search();
        ASSERT_EQ(boxes.count(), 0u);
    }
    // The bytes the program has written to the adapter's port.
    std::string written() { return simd2xx::written(kAdapterSerial); }
    // The mode list's rows in list order, as "#|ID|Description".
    QStringList modeRows()
    {
        QStringList rows;
        for (int i = 0; i < ui().lvModes->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = ui().lvModes->topLevelItem(i);
            rows << row->text(0) + "|" + row->text(1) + "|" + row->text(2);
        }
        return rows;
    }

    // Runs the exchange the window has started until it ends (a minute at most).
    void runExchange()
    {
        for (int waited = 0; window->exchange().isRunning() && waited < 60000; waited += 10)
            clock.advance(10);
    }
    void search()
    {
        ui().btSearch->click();
        runExchange();
    }

    // The settings file as JSON, and writing it before the window starts.
    QJsonObject storedSettings() const
    {
        QFile file(app::settingsFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    void storeSettings(const QJsonObject& values)
    {
        QFile file(app::settingsFile());
        QDir().mkpath(QFileInfo(file).absolutePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(values).toJson());
    }
    QString configHome() const { return configHome_.path(); }

    std::unique_ptr<app::TfrmMain> window;
    std::vector<QString> opened; // what the program asked the shell to open
    bool shellOpens = true;      // whether the desktop has a program for it
    QDate today = QDate(2027, 3, 14); // the local date as the program sees it
    std::optional<QStringList> fontFamilies; // the machine's, unless a test says which are installed

private:
    // As the program entry finds it; the key path as start-up sets it, so
    // that a test can store settings before the window starts.
    static void resetUnitData()
    {
        app::initialiseUnitData();
        app::SettingsKeyPath = app::makerSettingsKeyPath();
    }

    QTemporaryDir configHome_;
    QByteArray previousConfigHome_;
};
