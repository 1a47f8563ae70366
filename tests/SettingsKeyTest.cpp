#include "platform/SettingsKey.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::SettingsError;
using platform::SettingsKey;

namespace {

class SettingsKeyFile : public ::testing::Test {
protected:
    QString path() const { return home.path() + QStringLiteral("/SOFTWARE/Maker/settings.json"); }
    void writeFile(const QByteArray& content)
    {
        QDir().mkpath(home.path() + QStringLiteral("/SOFTWARE/Maker"));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray fileContent() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir home;
};

} // namespace

TEST_F(SettingsKeyFile, IntegersAndTextsKeepTheirKindAcrossOpens)
{
    {
        SettingsKey key(path());
        EXPECT_FALSE(key.valueExists(QStringLiteral("SortCol")));
        key.writeInteger(QStringLiteral("SortCol"), -7);
        key.writeString(QStringLiteral("Port"), "/dev/ttyUSB0");
    }
    SettingsKey key(path());
    EXPECT_EQ(key.readInteger(QStringLiteral("SortCol")), -7);
    EXPECT_EQ(key.readString(QStringLiteral("Port")), "/dev/ttyUSB0");
    EXPECT_TRUE(fileContent().contains("\"SortCol\": -7"));
    EXPECT_TRUE(fileContent().contains("\"Port\": \"/dev/ttyUSB0\""));
}

TEST_F(SettingsKeyFile, AValueOfTheOtherKindExistsButCannotBeRead)
{
    writeFile(R"({"SortCol": "abc", "Port": 3, "Half": 1.5, "Huge": 4294967296, "Flag": true})");
    SettingsKey key(path());
    for (const char* name : {"SortCol", "Port", "Half", "Huge", "Flag"})
        EXPECT_TRUE(key.valueExists(QString::fromLatin1(name))) << name;
    EXPECT_THROW(key.readInteger(QStringLiteral("SortCol")), SettingsError);
    EXPECT_THROW(key.readString(QStringLiteral("Port")), SettingsError);
    EXPECT_THROW(key.readInteger(QStringLiteral("Half")), SettingsError);
    EXPECT_THROW(key.readInteger(QStringLiteral("Huge")), SettingsError);
    EXPECT_THROW(key.readString(QStringLiteral("Flag")), SettingsError);
    try {
        key.readInteger(QStringLiteral("SortCol"));
    } catch (const SettingsError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'SortCol'");
    }
}

TEST_F(SettingsKeyFile, AnUnreadableFileIsKeptAsideReportedOnceAndTheKeyStartsEmpty)
{
    writeFile("{\"SortCol\": 1, garbage");
    std::vector<std::pair<QString, QString>> reports;
    auto report = [&](const QString& where, const QString& keptAs) { reports.emplace_back(where, keptAs); };

    {
        SettingsKey key(path(), report);
        EXPECT_FALSE(key.valueExists(QStringLiteral("SortCol")));
        key.writeInteger(QStringLiteral("SortCol"), 2);
    }
    SettingsKey again(path(), report);
    EXPECT_EQ(again.readInteger(QStringLiteral("SortCol")), 2);

    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, path());
    QFile kept(reports[0].second);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "{\"SortCol\": 1, garbage");
}

TEST_F(SettingsKeyFile, AKeyWhoseFolderCannotBeMadeHasNoValuesAndRefusesWrites)
{
    QFile blocker(home.path() + QStringLiteral("/SOFTWARE"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder belongs

    SettingsKey key(path());
    EXPECT_FALSE(key.valueExists(QStringLiteral("SortCol")));
    try {
        key.writeInteger(QStringLiteral("SortCol"), 0);
        ADD_FAILURE() << "the write should fail";
    } catch (const SettingsError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'SortCol'");
    }
}

TEST(SettingsFilePath, FollowsTheKeyPathBelowTheConfigFolderAndNeverClimbsOut)
{
    EXPECT_EQ(platform::settingsFilePath(QStringLiteral("/home/u/.config"), "SOFTWARE\\korvane.example Company ::."),
              QStringLiteral("/home/u/.config/SOFTWARE/korvane.example Company ::./settings.json"));
    EXPECT_EQ(platform::settingsFilePath(QStringLiteral("/c"), "..\\a/b\\\\.\\c"),
              QStringLiteral("/c/a_b/c/settings.json"));
}
