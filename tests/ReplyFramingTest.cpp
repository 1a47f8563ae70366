#include "adapter/ReplyFraming.h"

#include <gtest/gtest.h>

using adapter::FrameReply;

namespace {

// Feeds the pieces one after another, framing after each as the exchange does.
struct Framed {
    QByteArrayList blocks;
    QByteArray left;
    bool inBlock = false;
};

Framed frameAll(const QByteArrayList& pieces)
{
    Framed result;
    for (const QByteArray& piece : pieces) {
        result.left += piece;
        QByteArray block;
        while (FrameReply(result.left, result.inBlock, block))
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

TEST(ReplyFraming, WithoutAMarkerNothingIsFramedAndNothingDropped)
{
    const Framed framed = frameAll({"SN:1\r\n\r\n"});
    EXPECT_TRUE(framed.blocks.isEmpty());
    EXPECT_EQ(framed.left, "SN:1\r\n\r\n");
    EXPECT_FALSE(framed.inBlock);
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
