#include "support/WindowFixture.h"

#include "app/ContactLinks.h"

#include <QClipboard>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QTest>

namespace {

class AboutPage : public WindowFixture {
protected:
    static void hover(QWidget& link)
    {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(&link, &enter);
    }
    static void leave(QWidget& link)
    {
        QEvent left(QEvent::Leave);
        QCoreApplication::sendEvent(&link, &left);
    }
};

} // namespace

TEST_F(AboutPage, BothLinksUnderlineUnderTheMouseAndKeepTheirTypeface)
{
    startWindow();
    for (QLabel* link : {ui().lbRef, ui().lbMail}) {
        const QFont designed = link->font();
        hover(*link);
        EXPECT_TRUE(link->font().underline()) << link->objectName().toStdString();
        EXPECT_TRUE(link->font().bold());
        EXPECT_TRUE(link->font().italic());
        EXPECT_EQ(link->font().family(), designed.family());
        EXPECT_EQ(link->font().pointSize(), designed.pointSize());
        leave(*link);
        EXPECT_EQ(link->font(), designed) << link->objectName().toStdString();
    }
}

TEST_F(AboutPage, TheWebLinkOpensItsAddressAndTheMailLinkADatedOrder)
{
    today = QDate(2027, 1, 1);
    startWindow();
    QTest::mouseClick(ui().lbRef, Qt::LeftButton);
    QTest::mouseClick(ui().lbMail, Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<QString>{
                          "https://www.korvane.example/",
                          "mailto:order@korvane.example?subject=Order%20for%20Velmora%20Adapter%20-%2020270101",
                      }));
}

TEST_F(AboutPage, WithoutAVersionBlockTheLinksUseTheirDesignedCaptions)
{
    today = QDate(2026, 12, 9);
    startWindow(std::nullopt);
    QTest::mouseClick(ui().lbRef, Qt::LeftButton);
    QTest::mouseClick(ui().lbMail, Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<QString>{"www", "mailto:e-mail?subject=Order%20for%20%20Adapter%20-%2020261209"}));
}

TEST(OrderMailLink, PutsTheAddressAndTheProductNameInUnencoded)
{
    EXPECT_EQ(app::orderMailLink("a b@x.example", "Velmora Pro", QDate(987, 7, 4)),
              "mailto:a b@x.example?subject=Order%20for%20Velmora Pro%20Adapter%20-%2009870704");
}

TEST_F(AboutPage, CopyToBufferCopiesTheWholeReplyLogAndLeavesItSelected)
{
    startWithAdapter(sim::standardProfile());
    search();
    QGuiApplication::clipboard()->clear();
    ui().btCopy->click();
    const QString log = ui().memLog->toPlainText();
    EXPECT_TRUE(log.startsWith("CR:(c) 2026 Korvane"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), log);
    EXPECT_EQ(ui().memLog->textCursor().selectionStart(), 0);
    EXPECT_EQ(ui().memLog->textCursor().selectionEnd(), log.size());
}

TEST_F(AboutPage, ALinkTheDesktopCannotOpenIsReportedInABox)
{
    startWindow();
    shellOpens = false; // no browser, no mail program
    QTest::mouseClick(ui().lbRef, Qt::LeftButton);
    QTest::mouseClick(ui().lbMail, Qt::LeftButton);
    ASSERT_EQ(boxes.count(), 2u);
    EXPECT_EQ(boxes.all()[0].call.text,
              "https://www.korvane.example/ could not be opened: no web browser is set up on this desktop.");
    EXPECT_EQ(boxes.all()[1].call.text, "No e-mail program is set up on this desktop to write the order with.\n"
                                        "Write to order@korvane.example from the one you use.");
    EXPECT_EQ(boxes.last().call.flags, platform::kBoxIconError);
    EXPECT_EQ(opened.size(), 2u);
}
