#include "support/WindowFixture.h"

#include <QTreeWidget>

namespace {

// What the window shows after a reply log has been applied to it.
struct Shown {
    bool powerVisible = false;
    bool powerTicked = false;
    int copyRightWidth = 527;
    bool testTab = false;
    QString serial = {};
    QString voltage = {};
    QStringList modeNumbers = {};
};

struct LogCase {
    const char* name;
    QByteArrayList log;
    Shown shown;
};

class ReplyParsing : public WindowFixture {
protected:
    ReplyParsing() { startWindow(); } // as a search leaves it before parsing: wide, hidden, empty

    Shown apply(const QByteArrayList& log)
    {
        window->ReplyParser->ApplyReplyLog(log, nullptr);
        Shown shown;
        shown.powerVisible = !ui().cbPower->isHidden();
        shown.powerTicked = ui().cbPower->isChecked();
        shown.copyRightWidth = ui().edCopyRight->width();
        shown.testTab = ui().pcOptions->isTabVisible(ui().pcOptions->indexOf(ui().tsTest));
        shown.serial = ui().edSerial->text();
        shown.voltage = ui().edPower->isHidden() ? QString() : ui().edPower->text();
        for (int i = 0; i < ui().lvModes->topLevelItemCount(); ++i)
            shown.modeNumbers << ui().lvModes->topLevelItem(i)->text(0);
        return shown;
    }
};

} // namespace

TEST_F(ReplyParsing, EachLogShowsWhatItsLinesSay)
{
    const std::vector<LogCase> cases{
        {"power off", {"PW:Off"}, {.powerVisible = true, .powerTicked = false, .copyRightWidth = 395}},
        {"power on", {"PW:On"}, {.powerVisible = true, .powerTicked = true, .copyRightWidth = 395}},
        {"power, no state", {"PW:"}, {.powerVisible = true, .powerTicked = true, .copyRightWidth = 395}},
        {"power, then bootloader", {"PW:On", "BW:1.3"},
         {.powerVisible = true, .powerTicked = true, .copyRightWidth = 285, .testTab = true}},
        {"bootloader, then power", {"BW:1.3", "PW:On"},
         {.powerVisible = true, .powerTicked = true, .copyRightWidth = 285, .testTab = true}},
        {"voltage", {"UP: 55"}, {.voltage = "11.9"}},
        {"later value wins", {"SN:12345", "Serial Number: 777"}, {.serial = "777"}},
        {"short form in lower case", {"sn:12345"}, {}},
        {"modes numbered from 00", {"01 - Stage 1", "OK", "ABC - x", "0 - "}, {.modeNumbers = {"00", "01", "02"}}},
    };
    for (const LogCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Shown shown = apply(c.log);
        EXPECT_EQ(shown.powerVisible, c.shown.powerVisible);
        EXPECT_EQ(shown.powerTicked, c.shown.powerTicked);
        EXPECT_EQ(shown.copyRightWidth, c.shown.copyRightWidth);
        EXPECT_EQ(shown.testTab, c.shown.testTab);
        EXPECT_EQ(shown.serial, c.shown.serial);
        EXPECT_EQ(shown.voltage, c.shown.voltage);
        EXPECT_EQ(shown.modeNumbers, c.shown.modeNumbers);
        restartProgram();
        startWindow();
    }
}

TEST_F(ReplyParsing, APowerLineSetsTheBoxWithoutCountingAsAClick)
{
    int clicks = 0;
    QObject::connect(ui().cbPower, &QCheckBox::clicked, [&] { ++clicks; });
    apply({"PW:On", "PW:Off"});
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(ui().cbPower->isEnabled());
    EXPECT_FALSE(window->exchange().isRunning());
}

TEST_F(ReplyParsing, ReplyTextIsShownDecodedAndModeIdsKeepTheirBytes)
{
    apply({"CR:\xc0\xe4\xe0\xef\xf2\xe5\xf0", "7 - \xd0\xe5\xe6\xe8\xec"});
    EXPECT_EQ(ui().edCopyRight->text(), QStringLiteral(u"Адаптер"));
    const QTreeWidgetItem* row = ui().lvModes->topLevelItem(0);
    EXPECT_EQ(row->text(2), QStringLiteral(u"Режим"));
    EXPECT_EQ(adapter::ModeList::idOf(*row), "7");
}
