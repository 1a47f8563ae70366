#include "platform/FileDialog.h"
#include "platform/WholeFile.h"
#include "support/QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(FileChoice, FiltersBecomeNameFiltersThatMatchInAnyCase)
{
    struct Case {
        QString filter;
        QStringList nameFilters;
    };
    for (const Case& c : {
             Case{"RFW-files|*.rfw|All files|*.*", {"RFW-files (*.rfw *.RFW)", "All files (*)"}},
             Case{"RCM-files|*.rcm", {"RCM-files (*.rcm *.RCM)"}},
             Case{"Images|*.rfw;*.bin", {"Images (*.rfw *.RFW *.bin *.BIN)"}},
             Case{"", {}},
         }) {
        EXPECT_EQ(platform::nameFilters(c.filter), c.nameFilters) << c.filter.toStdString();
    }
}

TEST(FileChoice, ANamedPipeIsUnreadableWithoutWaitingForAWriter)
{
    QTemporaryDir directory;
    const QString pipe = directory.filePath("pipe.rfw");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(platform::readWholeFile(pipe, 1024).result, platform::FileRead::Unreadable);
}

TEST(FileChoice, AFileIsReadWholeUpToTheLimit)
{
    QTemporaryDir directory;
    const QString path = directory.filePath("mode.rcm");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(80, '\x07'));
    file.close();
    EXPECT_EQ(platform::readWholeFile(path, 80).data, QByteArray(80, '\x07'));
    EXPECT_EQ(platform::readWholeFile(path, 79).result, platform::FileRead::TooLarge);
}
