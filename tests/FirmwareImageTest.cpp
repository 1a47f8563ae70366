#include "fwupdate/BootloaderFrames.h"
#include "fwupdate/FirmwareImage.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace fwupdate;

namespace {

// Bytes 0, 1, 2, ... so that every region shows where it was cut from.
QByteArray counting(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

} // namespace

TEST(FirmwareImage, TheTwoLayoutsCutTheSameFileAtFixedOffsets)
{
    struct Case {
        qsizetype fileSize, primaryPages, altBlock, altPages;
    };
    for (const Case& c : {Case{80, 0, 0, 0}, Case{81, 1, 1, 0}, Case{200, 120, 120, 0}, Case{264, 184, 184, 0},
                          Case{265, 185, 184, 1}, Case{1000, 920, 184, 736}}) {
        const QByteArray image = counting(c.fileSize);
        SCOPED_TRACE(c.fileSize);
        EXPECT_EQ(primaryHeader(image), image.left(80));
        EXPECT_EQ(primaryPageData(image), image.mid(80, c.primaryPages));
        EXPECT_EQ(alternativeHeaderBlock(image), image.mid(80, c.altBlock));
        EXPECT_EQ(alternativePageData(image), image.mid(264, c.altPages));
        // The alternative header block is the front of the primary page data.
        EXPECT_TRUE(primaryPageData(image).startsWith(alternativeHeaderBlock(image)));
    }
}

TEST(FirmwareImage, PagesAreWholeAndNeverPadded)
{
    const QByteArray data = counting(200);
    EXPECT_EQ(pageCount(data, 64), 3); // the last 8 bytes are never sent
    EXPECT_EQ(page(data, 64, 0), data.mid(0, 64));
    EXPECT_EQ(page(data, 64, 2), data.mid(128, 64));
    for (const std::int32_t beyond : {3, 4, 65534})
        EXPECT_TRUE(page(data, 64, beyond).isEmpty()) << beyond;
    EXPECT_EQ(pageCount(data, 256), 0);
    EXPECT_TRUE(page(data, 256, 0).isEmpty());
    EXPECT_EQ(pageCount(data, 0), 0); // no size, no pages: nothing divides by zero
    EXPECT_TRUE(page(data, 0, 0).isEmpty());
    // A page size and number as large as the wire can carry stay inside the data.
    EXPECT_TRUE(page(data, 65535, 65534).isEmpty());
}

TEST(BootloaderFrames, NumbersTravelLowByteFirstAndChecksumsWrapAt65536)
{
    EXPECT_EQ(checksum("abc"), 294);
    EXPECT_EQ(wordToBytes(294), QByteArray("\x26\x01", 2));
    EXPECT_EQ(bytesToWord('\x26', '\x01'), 294);
    EXPECT_EQ(bytesToWord('\xff', '\xff'), 65535);
    EXPECT_EQ(checksum(QByteArray(258, '\xff')), (258 * 255) % 65536); // each byte counts as 0 to 255
    EXPECT_EQ(checksum({}), 0);
}

TEST(BootloaderFrames, APacketCarriesAChecksumOnlyWithAPayload)
{
    EXPECT_EQ(packet("<", {}), "<");
    EXPECT_EQ(packet(QByteArray("@\xff\xff", 3), {}), QByteArray("@\xff\xff", 3));
    EXPECT_EQ(packet(QByteArray("@\x05\x00", 3), "abc"), QByteArray("@\x05\x00\x26\x01" "abc", 8));
}

TEST(BootloaderFrames, FramesAreCutFromTheFrontAndAnIncompleteOneWaits)
{
    struct Case {
        const char* name;
        QByteArray buffer;
        QList<QByteArray> frames; // cut in order until none is complete
        QByteArray left;          // what waits for more bytes
    };
    const QList<Case> cases = {
        {"empty", {}, {}, {}},
        {"one of each", QByteArray(">+\x00-.\x05\x00", 7), {">", QByteArray("+\x00", 2), "-", QByteArray(".\x05\x00", 3)}, {}},
        {"ack with its payload", QByteArray("+\x02\x00\x01", 4), {QByteArray("+\x02\x00\x01", 4)}, {}},
        {"noise dropped one byte at a time", QByteArray("xy\x00<-", 5), {"-"}, {}},
        {"only noise", "abc", {}, {}},
        {"ack waiting for its length", "+", {}, "+"},
        {"ack waiting for its payload", QByteArray("+\x02\x00", 3), {}, QByteArray("+\x02\x00", 3)},
        {"request waiting for its number", QByteArray(".\x05", 2), {}, QByteArray(".\x05", 2)},
        {"a length of 128 or more is a length", QByteArray("+\x80", 2) + QByteArray(128, 'p') + "-",
         {QByteArray("+\x80", 2) + QByteArray(128, 'p'), "-"}, {}},
        {"frame behind a complete one waits", QByteArray("-+\x03\x00", 4), {"-"}, QByteArray("+\x03\x00", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray buffer = c.buffer;
        std::int32_t length = -1;
        QByteArray frame;
        QList<QByteArray> cut;
        while (takeFrame(buffer, length, frame))
            cut << frame;
        EXPECT_EQ(cut, c.frames);
        EXPECT_EQ(buffer, c.left);
        EXPECT_EQ(length, -1);
    }
}

TEST(BootloaderFrames, AnAckTooShortToCarryANumberCarriesNone)
{
    EXPECT_EQ(ackedNumber(QByteArray("+\x02\x00\x01", 4)), 256);
    EXPECT_EQ(ackedNumber(QByteArray("+\x03\xff\xff\x07", 5)), 65535);
    EXPECT_EQ(ackedNumber(QByteArray("+\x01\x40", 3)), std::nullopt);
    EXPECT_EQ(ackedNumber(QByteArray("+\x00", 2)), std::nullopt);
    EXPECT_EQ(requestedPage(QByteArray(".\x34\x12", 3)), 0x1234);
}
