#pragma once

#include "QtPrinters.h"
#include "RecordedBoxes.h"
#include "platform/Library.h"
#include "platform/ManualClock.h"
#include "serdev/SerDev.h"
#include "sim/SimD2xx.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

// Which files the D2XX library names load in a test, and which names were asked for.
class LibraryFiles {
public:
    LibraryFiles()
    {
        platform::setLibraryResolver([this](const std::string& name) -> std::optional<std::string> {
            std::lock_guard guard(mutex_);
            asked_.push_back(name);
            auto it = files_.find(name);
            if (it == files_.end())
                return std::nullopt;
            return it->second;
        });
    }
    ~LibraryFiles() { platform::setLibraryResolver({}); }

    void provide(const std::string& name, const std::string& path)
    {
        std::lock_guard guard(mutex_);
        files_[name] = path;
    }
    void remove(const std::string& name)
    {
        std::lock_guard guard(mutex_);
        files_.erase(name);
    }
    std::vector<std::string> asked() const
    {
        std::lock_guard guard(mutex_);
        return asked_;
    }
    void forgetAsked()
    {
        std::lock_guard guard(mutex_);
        asked_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> files_;
    std::vector<std::string> asked_;
};

// A manual clock, recorded boxes and the D2XX test library as "libdvd2xx.so".
// The COM enumeration lists what the test puts in comPorts.
class DeviceFixture : public ::testing::Test {
protected:
    DeviceFixture()
    {
        resetD2xxLibrary();
        clock.setPump([] { return platform::deliverQueuedMessageBoxes(); });
    }

    // The D2XX test library with no devices, on the manual clock, found as "libdvd2xx.so".
    void resetD2xxLibrary()
    {
        simd2xx::reset();
        simd2xx::setClock([this] { return clock.nowMs(); });
        libraries.provide("libdvd2xx.so", SIM_D2XX_PATH);
    }

    ~DeviceFixture() override { simd2xx::setClock({}); }

    serdev::SerialPortSource comSource()
    {
        return [this]() -> std::optional<std::vector<serdev::SerialPort>> {
            std::lock_guard guard(comMutex);
            return comPorts;
        };
    }
    void setComPorts(std::optional<std::vector<serdev::SerialPort>> ports)
    {
        std::lock_guard guard(comMutex);
        comPorts = std::move(ports);
    }

    std::unique_ptr<serdev::TSerDev> makeDevice()
    {
        auto device = std::make_unique<serdev::TSerDev>(nullptr, comSource());
        clock.settle();
        return device;
    }

    static serdev::PortLists collect(serdev::TSerDev& device)
    {
        serdev::PortLists lists;
        device.CollectPorts(lists.names, lists.descriptions, lists.deviceIds);
        return lists;
    }

    platform::ManualClock clock;
    platform::ScopedClock useManualClock{clock};
    RecordedBoxes boxes;
    LibraryFiles libraries;
    std::mutex comMutex;
    std::optional<std::vector<serdev::SerialPort>> comPorts = std::vector<serdev::SerialPort>{};
};
