#include "system/SerialDeviceList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(SerialDevice)

// The list is read from a /dev and /sys laid out by the test.
class TestSerialDeviceList : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;

    QString path(const QString& name) const { return m_root->filePath(name); }
    void put(const QString& name, const QByteArray& content = {}) {
        QVERIFY(QDir().mkpath(QFileInfo(path(name)).absolutePath()));
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    void link(const QString& target, const QString& name) {
        QVERIFY(QDir().mkpath(QFileInfo(path(name)).absolutePath()));
        QVERIFY(QFile::link(target, path(name)));
    }
    SerialDevice at(const QString& name, const QString& shown) const { return {path(name), shown}; }

private slots:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
    }

    void listsThePortsThatHaveAUartAndEveryUsbDevice() {
        // The kernel's nodes for ports that may or may not be there.
        for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyS10", "ttyS"})
            put(QStringLiteral("dev/") + QLatin1String(name));
        put("sys/class/tty/ttyS0/type", "4\n");  // a 16550A
        put("sys/class/tty/ttyS1/type", "0\n");  // no hardware behind the node
        put("sys/class/tty/ttyS10/type", "4\n"); // sorted by number, not by text
        // ttyS2 has no type to read, and does not answer as a port.
        put("dev/ttyUSB0");
        put("dev/ttyUSB1");
        put("dev/ttyACM0");
        put("dev/ttyUSB"); // not a device of a number
        put("dev/tty0");   // a console, not a serial device
        const QString ftdi = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        link(QStringLiteral("../../ttyUSB0"), QStringLiteral("dev/serial/by-id/") + ftdi);
        link(QStringLiteral("../../ttyUSB7"), QStringLiteral("dev/serial/by-id/usb-unplugged-if00-port0"));

        const QList<SerialDevice> expected = {
            at("dev/ttyS0", "ttyS0"),
            at("dev/ttyS10", "ttyS10"),
            at(QStringLiteral("dev/serial/by-id/") + ftdi, ftdi), // in place of ttyUSB0
            at("dev/ttyUSB1", "ttyUSB1"),
            at("dev/ttyACM0", "ttyACM0"),
        };
        QCOMPARE(SerialDeviceList(m_root->path()).present(), expected);
    }

    void aMachineWithoutSerialDevicesListsNone() {
        QVERIFY(SerialDeviceList(path("nothing here")).present().isEmpty());
        put("dev/null");
        QVERIFY(SerialDeviceList(m_root->path()).present().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSerialDeviceList)
#include "test_serialdevicelist.moc"
