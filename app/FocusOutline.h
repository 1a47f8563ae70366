#pragma once

#include <QWidget>

namespace app {

// A ring in the palette's highlight colour around a list or log while it has
// the keyboard focus. The style marks the focus of buttons, boxes and edits,
// but not of an item view or a read-only log, least of all an empty one.
// It lies over the watched widget, takes no input and follows its focus.
class FocusOutline final : public QWidget {
public:
    static constexpr int kWidth = 2;

    explicit FocusOutline(QWidget& watched);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget& watched_;
};

} // namespace app
