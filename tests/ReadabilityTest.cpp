#include "support/WindowFixture.h"

#include "app/ReadableColours.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

using app::contrastRatio;

TEST(ReadableColours, ContrastFollowsWcagAndADesignedColourIsKeptWhereverItReadsWell)
{
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor("#777777"), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(contrastRatio(QColor("#800080"), QColor("#353535")), 1.30, 0.01);

    struct Case {
        QColor designed, background;
        bool kept;
    };
    for (const Case& c : {Case{QColor("#800000"), QColor("#efefef"), true}, Case{QColor("#800080"), Qt::white, true},
                          Case{QColor("#800080"), QColor("#353535"), false},
                          Case{QColor("#800000"), QColor("#232323"), false},
                          Case{QColor("#ffff80"), Qt::white, false}}) {
        const QColor readable = app::readableOn(c.designed, c.background);
        EXPECT_GE(contrastRatio(readable, c.background), app::kReadableContrast) << c.designed.name().toStdString();
        EXPECT_EQ(readable == c.designed, c.kept) << c.designed.name().toStdString();
    }
}

namespace {

// A dark palette as desktops commonly set one.
QPalette darkPalette()
{
    QPalette palette;
    const QColor window("#353535"), base("#232323"), text(Qt::white), highlight("#2a82da");
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::AlternateBase, window);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Button, window);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Highlight, highlight);
        palette.setColor(group, QPalette::HighlightedText, text);
        palette.setColor(group, QPalette::Link, highlight);
    }
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor("#7f7f7f"));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor("#7f7f7f"));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor("#7f7f7f"));
    return palette;
}

// The colours a control draws its text in and on, from its own palette.
std::pair<QColor, QColor> textColours(const QWidget& control)
{
    const QPalette& palette = control.palette();
    if (qobject_cast<const QLineEdit*>(&control) || qobject_cast<const QPlainTextEdit*>(&control))
        return {palette.color(QPalette::Text), palette.color(QPalette::Base)};
    if (qobject_cast<const QCheckBox*>(&control) || qobject_cast<const QRadioButton*>(&control)
        || qobject_cast<const QLabel*>(&control))
        return {palette.color(control.foregroundRole()), palette.color(control.backgroundRole())};
    return {palette.color(QPalette::ButtonText), palette.color(QPalette::Button)}; // buttons, the port list
}

struct PaletteCase {
    const char* name;
    QPalette (*make)();
};

QPalette lightPalette() { return QApplication::style()->standardPalette(); }

void PrintTo(const PaletteCase& c, std::ostream* out) { *out << c.name; }

class ReadableText : public WindowFixture, public ::testing::WithParamInterface<PaletteCase> {
protected:
    ReadableText()
        : previous_(QApplication::palette())
    {
        QApplication::setPalette(GetParam().make());
    }
    ~ReadableText() override
    {
        window.reset();
        QApplication::setPalette(previous_);
    }

    // "name: ratio" for each enabled control whose text reads badly, on every page.
    QStringList hardToRead()
    {
        QStringList found;
        for (int page = 0; page < ui().pcOptions->count(); ++page) {
            ui().pcOptions->setCurrentIndex(page);
            for (QWidget* control : window->findChildren<QWidget*>()) {
                // Text of a disabled control needs no contrast (WCAG 2.1, 1.4.3).
                if (!control->isVisible() || !control->isEnabled() || !showsText(*control))
                    continue;
                const auto [text, background] = textColours(*control);
                const double ratio = contrastRatio(text, background);
                if (ratio < app::kReadableContrast)
                    found << QStringLiteral("%1: %2").arg(control->objectName()).arg(ratio, 0, 'f', 2);
            }
        }
        found.removeDuplicates();
        return found;
    }

private:
    static bool showsText(const QWidget& control)
    {
        if (auto* label = qobject_cast<const QLabel*>(&control))
            return !label->text().isEmpty();
        if (auto* button = qobject_cast<const QAbstractButton*>(&control))
            return !button->text().isEmpty();
        return qobject_cast<const QLineEdit*>(&control) || qobject_cast<const QPlainTextEdit*>(&control)
               || qobject_cast<const QComboBox*>(&control);
    }

    QPalette previous_;
};

} // namespace

TEST_P(ReadableText, EveryTextOfEveryPageReadsAtFourAndAHalfToOne)
{
    searchAdapter(); // every page and box in use
    ui().pcOptions->setTabVisible(ui().pcOptions->indexOf(ui().tsTest), true);
    EXPECT_EQ(hardToRead(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Palettes, ReadableText,
                         ::testing::Values(PaletteCase{"Light", lightPalette}, PaletteCase{"Dark", darkPalette}),
                         [](const ::testing::TestParamInfo<PaletteCase>& info) { return info.param.name; });

using DesignedColours = ReadableText;

TEST_P(DesignedColours, HoldWhereTheyReadWellAndGiveWayWhereTheyWouldNot)
{
    startWindow();
    const bool light = std::string(GetParam().name) == "Light";
    for (const auto& [label, designed] : {std::pair{ui().lbName, "#800000"}, std::pair{ui().lbRef, "#800080"},
                                          std::pair{ui().lbMail, "#800080"}}) {
        const QColor drawn = label->palette().color(QPalette::WindowText);
        EXPECT_EQ(drawn == QColor(designed), light) << label->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Palettes, DesignedColours,
                         ::testing::Values(PaletteCase{"Light", lightPalette}, PaletteCase{"Dark", darkPalette}),
                         [](const ::testing::TestParamInfo<PaletteCase>& info) { return info.param.name; });

namespace {

class KeyboardFocus : public WindowFixture {};

} // namespace

// Each control that the keyboard can reach looks different while it has the
// focus: the lists and logs, empty ones too, as much as buttons and boxes.
TEST_F(KeyboardFocus, IsVisibleOnEveryControlThatCanTakeIt)
{
    searchAdapter();
    ui().pcOptions->setTabVisible(ui().pcOptions->indexOf(ui().tsTest), true);
    ui().lvModes->clear(); // the empty list
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_Tab); // from now on the focus moves as by the keyboard
    QStringList unmarked;
    for (int page = 0; page < ui().pcOptions->count(); ++page) {
        ui().pcOptions->setCurrentIndex(page);
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (!control->isVisible() || !control->isEnabled() || !(control->focusPolicy() & Qt::TabFocus)
                || control == ui().pcOptions)
                continue;
            control->clearFocus();
            const QImage without = control->grab().toImage();
            control->setFocus(Qt::TabFocusReason);
            const QImage with = control->grab().toImage();
            if (with == without)
                unmarked << control->objectName();
        }
    }
    EXPECT_EQ(unmarked, QStringList());
}
