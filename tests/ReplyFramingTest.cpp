#include "adapter/ReplyFraming.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using adapter::FrameReply;

namespace {

// Feeds the pieces one after another, framing after each as the exchange does.
struct Framed {
    QByteArrayList blocks;
    QByteArray left;
    bool inBlock = false;
    qsizetype endScannedTo = 0;
};

Framed frameAll(const QByteArrayList& pieces)
{
    Framed result;
    for (const QByteArray& piece : pieces) {
        result.left += piece;
        QByteArray block;
        while (FrameReply(result.left, result.inBlock, block, result.endScannedTo))
            result.blocks.append(block);
    }
    return result;
}

} // namespace

TEST(ReplyFraming, TakesTheTextBetweenTheMarkersLineEndAndTheEmptyLine)
{
    const Framed framed = frameAll({"\r\nCR:Model 7\r\nSN:1\r\n\r\n"});
    EXPECT_EQ(framed.blocks, QByteArrayList{"CR:Model 7\r\nSN:1"});
    EXPECT_TRUE(framed.left.isEmpty());
    EXPECT_FALSE(framed.inBlock);
}

TEST(ReplyFraming, FindsMarkersAndTerminatorsSplitAcrossReads)
{
    const Framed framed = frameAll({"noise\r", "\nC", "R:A\r\n", "\r", "\n"});
    EXPECT_EQ(framed.blocks, QByteArrayList{"CR:A"});
}

TEST(ReplyFraming, DropsWhatComesBeforeTheMarkerAndKeepsWhatFollowsTheBlock)
{
    const Framed framed = frameAll({QByteArray("\x00\xff#\r\nUSB-Interface 2\r\n\r\n\r\nCR", 28)});
    EXPECT_EQ(framed.blocks, QByteArrayList{"USB-Interface 2"});
    EXPECT_EQ(framed.left, "\r\nCR");
}

TEST(ReplyFraming, TheCopyrightMarkerWinsEvenWhenTheUsbMarkerComesFirst)
{
    const Framed framed = frameAll({"\r\nUSB-x\r\n\r\nCR:y\r\n\r\n"});
    // The block starts at CR LF "CR:", so the earlier USB block is dropped with the rest before it.
    EXPECT_EQ(framed.blocks, QByteArrayList{"CR:y"});
}

TEST(ReplyFraming, WithoutAMarkerOnlyTheTailThatMayStillBeginOneIsKept)
{
    // Each piece is framed as it comes, as on every tick of a port that keeps sending.
    const std::vector<std::pair<QByteArray, QByteArray>> cases{
        {"SN:1\r\n\r\n", "\r\n"},
        {"$GPGGA,1*3A\r\nUS", "\r\nUS"},
        {"xx\r\nCR", "\r\nCR"},
        {"xx\r\nCRx", ""},
        {QByteArray(100000, 'A'), ""},
    };
    for (const auto& [received, kept] : cases) {
        SCOPED_TRACE(received.left(20).toStdString());
        const Framed framed = frameAll({received});
        EXPECT_TRUE(framed.blocks.isEmpty());
        EXPECT_EQ(framed.left, kept);
        EXPECT_FALSE(framed.inBlock);
    }
    // What was kept still completes a marker that the next read finishes.
    EXPECT_EQ(frameAll({QByteArray(5000, '$') + "\r\nUS", "B-x\r\n\r\n"}).blocks, QByteArrayList{"USB-x"});
}

TEST(ReplyFraming, AnOpenBlockIsSearchedForItsEndOnlyWhereNewBytesCanComplete)
{
    Framed framed;
    QByteArray block;
    framed.left = "\r\nCR:A\r";
    EXPECT_FALSE(FrameReply(framed.left, framed.inBlock, block, framed.endScannedTo));
    EXPECT_EQ(framed.endScannedTo, framed.left.size() - 3);
    framed.left += QByteArray(1000, 'x');
    EXPECT_FALSE(FrameReply(framed.left, framed.inBlock, block, framed.endScannedTo));
    EXPECT_EQ(framed.endScannedTo, framed.left.size() - 3);
    // A terminator split over reads is found from where the last search stopped.
    framed.left += "\r\n\r";
    EXPECT_FALSE(FrameReply(framed.left, framed.inBlock, block, framed.endScannedTo));
    framed.left += "\n";
    ASSERT_TRUE(FrameReply(framed.left, framed.inBlock, block, framed.endScannedTo));
    EXPECT_EQ(block, "CR:A\r" + QByteArray(1000, 'x'));
    EXPECT_EQ(framed.endScannedTo, 0);
}

TEST(ReplyFraming, AnOpenBlockWaitsForItsEnd)
{
    const Framed framed = frameAll({"x\r\nCR:A\r\nSN:"});
    EXPECT_TRUE(framed.blocks.isEmpty());
    EXPECT_TRUE(framed.inBlock);
    EXPECT_EQ(framed.left, "\r\nCR:A\r\nSN:");
}

TEST(ReplyFraming, BlockLinesAreSplitAtCrLfOnly)
{
    EXPECT_EQ(adapter::blockLines("CR:A\r\nSN:1\nx"), (QByteArrayList{"CR:A", "SN:1\nx"}));
    EXPECT_EQ(adapter::blockLines("CR:A"), QByteArrayList{"CR:A"});
}
