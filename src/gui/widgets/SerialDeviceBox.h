#pragma once

#include <QComboBox>

class SerialDevices;

// Chooses the serial device the modem is on: lists the devices present by
// the names people know them by, and takes any path typed in (a device that
// is unplugged just now, or one the list does not know). The list is read
// afresh each time it drops down, so a device plugged in meanwhile shows.
class SerialDeviceBox : public QComboBox {
    Q_OBJECT
public:
    // devices may be null: then only a typed path can be chosen.
    explicit SerialDeviceBox(const SerialDevices* devices, QWidget* parent = nullptr);

    // The chosen device's path; empty when none is chosen. A bare name
    // ("ttyUSB0") is taken as a device in /dev.
    QString device() const;
    void setDevice(const QString& path);
    void refresh();

    void showPopup() override;

private:
    const SerialDevices* m_devices;
};
