#include "gui/widgets/SerialDeviceBox.h"

#include "core/seams/SerialDevices.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QScrollBar>

SerialDeviceBox::SerialDeviceBox(const SerialDevices* devices, QWidget* parent)
    : QComboBox(parent), m_devices(devices) {
    setEditable(true);
    // A typed path is the choice itself, not a new entry of the list.
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(16);
    // A screen reader says the box by the device it shows, the entry and the list by these.
    setAccessibleName(QStringLiteral("Serial device"));
    lineEdit()->setAccessibleName(accessibleName());
    view()->setAccessibleName(QStringLiteral("Serial devices present"));
    refresh();
}

QString SerialDeviceBox::device() const {
    const QString text = currentText().trimmed();
    if (text.isEmpty())
        return {};
    const int listed = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (listed >= 0)
        return itemData(listed).toString();
    return text.startsWith(QLatin1Char('/')) ? text : QStringLiteral("/dev/") + text;
}

void SerialDeviceBox::setDevice(const QString& path) {
    const int listed = findData(path);
    if (listed >= 0)
        setCurrentIndex(listed);
    else
        setEditText(path);
}

void SerialDeviceBox::refresh() {
    const QString chosen = device();
    clear();
    if (m_devices) {
        for (const SerialDevice& found : m_devices->present()) {
            addItem(found.name, found.path);
            setItemData(count() - 1, found.path, Qt::ToolTipRole);
        }
    }
    setDevice(chosen);
}

void SerialDeviceBox::showPopup() {
    refresh();
    // The list drops down wide enough for the long by-id names, whatever the box's own width.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + view()->frameWidth() * 2 +
                            view()->verticalScrollBar()->sizeHint().width());
    QComboBox::showPopup();
}
