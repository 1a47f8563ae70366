#include "DesignedLook.h"

#include "FocusOutline.h"
#include "ReadableColours.h"

#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace app {

namespace {

// Draws cells as a report-style list view does: grid lines on each cell's
// right and bottom edges, and a row's state image hard at the left edge of
// its first cell with the caption right after it, so that a caption as wide
// as "00" still fits a narrow first column beside the image.
class ListViewDelegate final : public QStyledItemDelegate {
public:
    ListViewDelegate(QObject* parent, bool gridLines)
        : QStyledItemDelegate(parent)
        , gridLines_(gridLines)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        if (cell.features.testFlag(QStyleOptionViewItem::HasDecoration))
            paintWithStateImage(painter, cell);
        else
            QStyledItemDelegate::paint(painter, option, index);
        if (gridLines_)
            paintGridLines(painter, option);
    }

private:
    static constexpr int kImageSize = 16;
    static constexpr int kImageMargin = 1;
    static constexpr int kCaptionGap = 3;

    static void paintWithStateImage(QPainter* painter, QStyleOptionViewItem& cell)
    {
        const QIcon image = cell.icon;
        const QString caption = cell.text;
        cell.icon = QIcon();
        cell.text.clear();
        cell.features &= ~(QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasDisplay);
        QStyle* style = cell.widget != nullptr ? cell.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget); // background and selection

        const QRect imageRect(cell.rect.left() + kImageMargin, cell.rect.center().y() - kImageSize / 2 + 1,
                              kImageSize, kImageSize);
        image.paint(painter, imageRect);
        const QRect captionRect = cell.rect.adjusted(kImageMargin + kImageSize + kCaptionGap, 0, 0, 0);
        const bool selected = cell.state.testFlag(QStyle::State_Selected);
        const QPalette::ColorGroup group = !cell.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
            : cell.state.testFlag(QStyle::State_Active)                               ? QPalette::Active
                                                                                      : QPalette::Inactive;
        painter->save();
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter,
                          cell.fontMetrics.elidedText(caption, Qt::ElideRight, captionRect.width()));
        painter->restore();
    }

    static void paintGridLines(QPainter* painter, const QStyleOptionViewItem& option)
    {
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }

    bool gridLines_;
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
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText,
                         readableOn(QColor(colour), palette.color(group, label.backgroundRole())));
    label.setPalette(palette);
}

// The designed MS Sans Serif 8 at the pixel size that keeps captions inside their boxes.
void sizeDesignedFont(QWidget& widget, int pixelSize)
{
    QFont font = widget.font();
    if (font.family() != QLatin1String("MS Sans Serif"))
        return;
    font.setPixelSize(pixelSize);
    widget.setFont(font);
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

DesignedFace chooseDesignedFace(const QStringList& installed)
{
    // A family several foundries make is listed once for each, as "Nimbus Sans [urw]".
    for (const DesignedFace& face : kDesignedFaces)
        for (const QString& listed : installed)
            if (listed == face.family || listed.startsWith(face.family + QStringLiteral(" [")))
                return face;
    return {QStringLiteral("Sans Serif"), 10};
}

void installDesignedFonts(const QString& family)
{
    for (const char* designed : {"MS Sans Serif", "Arial"}) {
        QFont::removeSubstitutions(QString::fromLatin1(designed));
        QFont::insertSubstitution(QString::fromLatin1(designed), family);
    }
    // Boxes and dialogs draw in the window's family, at the desktop's size.
    QFont dialogs = QApplication::font();
    dialogs.setFamilies({family});
    QApplication::setFont(dialogs);
}

void applyDesignedLook(QWidget& window, const DesignedFace& face)
{
    sizeDesignedFont(window, face.pixelSize);
    for (QWidget* child : window.findChildren<QWidget*>()) {
        sizeDesignedFont(*child, face.pixelSize);
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
        if (qobject_cast<QAbstractItemView*>(child) != nullptr || qobject_cast<QPlainTextEdit*>(child) != nullptr)
            new FocusOutline(*child); // owned by the child
        if (auto* list = qobject_cast<QTreeWidget*>(child)) {
            setColumnWidths(*list, list->property("columnWidths").toString());
            list->setItemDelegate(new ListViewDelegate(list, list->property("gridLines").toBool()));
            keepSelectionVisible(*list);
        }
    }
}

} // namespace app
