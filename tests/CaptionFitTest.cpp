#include "support/WindowFixture.h"

#include "app/DesignedLook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabBar>

namespace {

// Where a caption does not fit: "name: caption (needs W x H, has W x H)".
class CaptionCheck {
public:
    void expectFits(const QWidget& control, const QString& caption, QSize needed, QSize room)
    {
        if (needed.width() > room.width() || needed.height() > room.height())
            cut_ << QStringLiteral("%1: \"%2\" needs %3 x %4, has %5 x %6")
                        .arg(control.objectName(), caption)
                        .arg(needed.width())
                        .arg(needed.height())
                        .arg(room.width())
                        .arg(room.height());
    }
    // Every visible control of `page` that shows a caption.
    void walk(QWidget& page)
    {
        for (QWidget* control : page.findChildren<QWidget*>()) {
            if (!control->isVisible())
                continue;
            if (auto* label = qobject_cast<QLabel*>(control))
                checkLabel(*label);
            else if (auto* button = qobject_cast<QAbstractButton*>(control))
                checkButton(*button);
            else if (auto* header = qobject_cast<QHeaderView*>(control))
                checkHeader(*header);
        }
    }
    const QStringList& cut() const { return cut_; }

private:
    // A label grows to the right with its caption: it must neither run past
    // its parent's edge nor under the control beside it.
    void checkLabel(const QLabel& label)
    {
        if (label.text().isEmpty() || !label.pixmap().isNull())
            return;
        const QFontMetrics metrics(label.font());
        const QRect caption(label.pos(), QSize(metrics.horizontalAdvance(label.text()), metrics.height()));
        int right = label.parentWidget()->width();
        for (const QWidget* sibling : label.parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (sibling != &label && sibling->isVisible() && sibling->x() >= label.x()
                && sibling->geometry().top() < caption.bottom() && sibling->geometry().bottom() > caption.top())
                right = std::min(right, sibling->x());
        expectFits(label, label.text(), caption.size(), QSize(right - label.x(), label.height()));
    }
    // The style's own room for the caption, beside the check or inside the frame.
    void checkButton(const QAbstractButton& button)
    {
        if (button.text().isEmpty())
            return;
        QStyleOptionButton option;
        option.initFrom(&button);
        option.text = button.text();
        const QStyle::SubElement contents = qobject_cast<const QCheckBox*>(&button) ? QStyle::SE_CheckBoxContents
            : qobject_cast<const QRadioButton*>(&button)                            ? QStyle::SE_RadioButtonContents
                                                                                    : QStyle::SE_PushButtonContents;
        const QRect room = button.style()->subElementRect(contents, &option, &button);
        const QFontMetrics metrics(button.font());
        // A push button's caption keeps a margin from the frame on either side.
        const int margins = contents == QStyle::SE_PushButtonContents ? 2 * 3 : 0;
        expectFits(button, button.text(), QSize(metrics.horizontalAdvance(button.text()) + margins, metrics.height()),
                   room.size());
    }
    void checkHeader(const QHeaderView& header)
    {
        const QFontMetrics metrics(header.font());
        for (int section = 0; section < header.count(); ++section) {
            const QString caption = header.model()->headerData(section, header.orientation()).toString();
            const int padding = 2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
            expectFits(header, caption, QSize(metrics.horizontalAdvance(caption) + padding, metrics.height()),
                       QSize(header.sectionSize(section), header.height()));
        }
    }

    QStringList cut_;
};

struct FontCase {
    const char* name;
    QStringList installed; // the font families the machine has
    QString drawnIn;
};

void PrintTo(const FontCase& c, std::ostream* out) { *out << c.name; }

class CaptionsWhole : public WindowFixture, public ::testing::WithParamInterface<FontCase> {
protected:
    CaptionsWhole() { fontFamilies = GetParam().installed; }

    // Every page, in the state the window is in now.
    QStringList cutCaptions()
    {
        CaptionCheck check;
        check.walk(*window); // the identity strip
        for (int page = 0; page < ui().pcOptions->count(); ++page) {
            ui().pcOptions->setCurrentIndex(page);
            check.walk(*ui().pcOptions->currentWidget());
        }
        ui().pcOptions->setCurrentIndex(0);
        return check.cut();
    }
};

} // namespace

TEST_P(CaptionsWhole, EveryCaptionOfEveryPageAndBothStatesOfTheStripFitsItsBox)
{
    startWithAdapter(sim::standardProfile());
    ui().pcOptions->setTabVisible(ui().pcOptions->indexOf(ui().tsTest), true); // shown once an adapter says "BW:"
    EXPECT_TRUE(QFontInfo(ui().Label2->font()).family().startsWith(GetParam().drawnIn))
        << QFontInfo(ui().Label2->font()).family().toStdString();
    // Boxes and dialogs take the application's font: the same family.
    EXPECT_TRUE(QFontInfo(QApplication::font()).family().startsWith(GetParam().drawnIn));
    EXPECT_EQ(cutCaptions(), QStringList()) << "at start: wide product-line box, no power box";

    search(); // the power box shown, the product-line box narrowed
    ASSERT_TRUE(ui().cbPower->isVisible());
    EXPECT_EQ(cutCaptions(), QStringList()) << "after a search";
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, CaptionsWhole,
    ::testing::Values(
        FontCase{"TheChosenFace", {"DejaVu Sans", "Liberation Sans", "Nimbus Sans [urw]"}, "Liberation Sans"},
        FontCase{"OnlyTheFallback", {"DejaVu Sans", "Nimbus Sans [urw]"}, "Nimbus Sans"}),
    [](const ::testing::TestParamInfo<FontCase>& info) { return info.param.name; });
