#include "DevicePropertiesDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace app {

DevicePropertiesDialog::DevicePropertiesDialog(QWidget* parent, const QString& portText,
                                               const QByteArray& deviceId,
                                               const std::vector<serdev::DeviceProperty>& properties)
    : QDialog(parent)
{
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(QStringLiteral("Properties of ") + portText);
    auto* layout = new QVBoxLayout(this);
    // The device's path and properties come from udev: shown as they are, never as markup.
    auto* where = new QLabel(QString::fromUtf8(deviceId), this);
    where->setTextFormat(Qt::PlainText);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where);

    if (properties.empty()) {
        auto* gone = new QLabel(QStringLiteral("The device is no longer present."), this);
        gone->setTextFormat(Qt::PlainText);
        layout->addWidget(gone);
    } else {
        auto* table = new QTableWidget(static_cast<int>(properties.size()), 2, this);
        table->setHorizontalHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
        table->verticalHeader()->hide();
        table->horizontalHeader()->setStretchLastSection(true);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        for (int row = 0; row < static_cast<int>(properties.size()); ++row) {
            table->setItem(row, 0, new QTableWidgetItem(QString::fromUtf8(properties[row].name)));
            table->setItem(row, 1, new QTableWidgetItem(QString::fromUtf8(properties[row].value)));
        }
        table->resizeColumnToContents(0);
        layout->addWidget(table);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 420);
}

} // namespace app
