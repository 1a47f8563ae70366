#include "FocusOutline.h"

#include <QEvent>
#include <QPainter>

namespace app {

FocusOutline::FocusOutline(QWidget& watched)
    : QWidget(&watched)
    , watched_(watched)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(watched.rect());
    raise();
    hide();
    watched.installEventFilter(this);
}

bool FocusOutline::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &watched_) {
        switch (event->type()) {
        case QEvent::FocusIn:
            setVisible(watched_.hasFocus());
            raise();
            break;
        case QEvent::FocusOut:
            hide();
            break;
        case QEvent::Resize:
            setGeometry(watched_.rect());
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusOutline::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Active, QPalette::Highlight), kWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(kWidth / 2.0, kWidth / 2.0, -kWidth / 2.0, -kWidth / 2.0));
}

} // namespace app
