#include "DesignedLook.h"

#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace app {

namespace {

// Draws each cell's right and bottom edges, as a list view with grid lines does.
class GridLineDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
};

void paintGrey(QWidget& box)
{
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    box.setPalette(palette);
}

void paintText(QWidget& label, const QString& colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, QColor(colour));
    label.setPalette(palette);
}

void setColumnWidths(QTreeWidget& list, const QString& widths)
{
    const QStringList parts = widths.split(QLatin1Char(','));
    for (int column = 0; column < parts.size(); ++column)
        list.header()->resizeSection(column, parts[column].toInt());
}

void keepSelectionVisible(QWidget& list)
{
    QPalette palette = list.palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    list.setPalette(palette);
}

} // namespace

void installFontSubstitutes()
{
    // Liberation Sans has the metrics of Arial and is close to MS Sans Serif,
    // so captions fit the designed geometry.
    for (const char* designed : {"MS Sans Serif", "Arial"})
        QFont::insertSubstitution(QString::fromLatin1(designed), QStringLiteral("Liberation Sans"));
}

void applyDesignedLook(QWidget& window)
{
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (child->property("greyBackground").toBool())
            paintGrey(*child);
        if (const QString colour = child->property("textColour").toString(); !colour.isEmpty())
            paintText(*child, colour);
        if (auto* label = qobject_cast<QLabel*>(child)) {
            if (const QString picture = label->property("picture").toString(); !picture.isEmpty())
                label->setPixmap(QPixmap(picture));
            else
                label->adjustSize(); // captions size their labels, growing to the right
        }
        if (auto* list = qobject_cast<QTreeWidget*>(child)) {
            setColumnWidths(*list, list->property("columnWidths").toString());
            if (list->property("gridLines").toBool())
                list->setItemDelegate(new GridLineDelegate(list));
            keepSelectionVisible(*list);
        }
    }
}

} // namespace app
