#include "support/RecordedBoxes.h"

#include "platform/BackgroundThread.h"
#include "platform/ManualClock.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>

#include <atomic>

using platform::BackgroundThread;
using platform::ManualClock;
using platform::ScopedClock;

TEST(MessageBox, BoxFromBackgroundThreadIsShownOnUserInterfaceThreadWhileTheThreadWaits)
{
    ManualClock clock;
    ScopedClock scoped(clock);
    RecordedBoxes boxes;
    std::atomic<int> result{0};
    BackgroundThread asker("asker", [&](std::stop_token stop) {
        result = platform::showMessageBox(nullptr, "Error...", "Error reading COM-List",
                                          platform::kBoxIconInformation, stop);
    }, clock);

    clock.settle(); // the thread has queued its box and waits for it
    EXPECT_EQ(boxes.count(), 0u);
    EXPECT_EQ(result, 0);

    EXPECT_TRUE(platform::deliverQueuedMessageBoxes());
    asker.join();
    ASSERT_EQ(boxes.count(), 1u);
    EXPECT_TRUE(boxes.last().shownOnUserInterfaceThread);
    EXPECT_TRUE(boxes.last().call.fromBackgroundThread);
    EXPECT_EQ(boxes.last().call.title, "Error...");
    EXPECT_EQ(boxes.last().call.flags, platform::kBoxIconInformation);
    EXPECT_EQ(result, platform::kBoxResultOk);
}

TEST(MessageBox, StopRequestEndsTheWaitAndDropsTheBox)
{
    ManualClock clock;
    ScopedClock scoped(clock);
    RecordedBoxes boxes;
    {
        BackgroundThread asker("asker", [&](std::stop_token stop) {
            platform::showMessageBox(nullptr, "Error...", "never shown", platform::kBoxIconInformation, stop);
        }, clock);
        clock.settle();
    } // stop and join while the box is still queued
    EXPECT_FALSE(platform::deliverQueuedMessageBoxes());
    EXPECT_EQ(boxes.count(), 0u);
}

TEST(MessageBox, TextFromOutsideIsShownAsItStandsNeverAsMarkup)
{
    // A port or file named so would otherwise show a big green all-clear.
    const QString forged = "<h1 style='color:green'>Adapter found, all OK</h1>";
    const auto box = platform::makeMessageBox(
        {nullptr, "Error...", "Velmora Adapter is not found on Communication Port " + forged, platform::kBoxIconError,
         false});
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->text().endsWith(forged));
}
