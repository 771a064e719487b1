#pragma once

#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/tariff/RateFile.h"
#include "gui/meter/TLargeForm.h"

#include "fakes/FakeCarrierSource.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeHelpViewer.h"
#include "fakes/FakeLineMonitor.h"
#include "fakes/FakeNetworkLinks.h"
#include "fakes/FakePrompter.h"
#include "fakes/FakeSoundPlayer.h"
#include "fakes/FakeTrayIcon.h"
#include "fakes/FakeWindowSystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// A program directory with the rate file "Test" active (6p a minute local
// daytime, 3p evening, 12p regional daytime, tax 17.5%), daytime 08:00 to
// 18:00, used before, and a main window over it with fake services.
class LargeFormFixture {
public:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QTemporaryDir> own; // the program's own files: its default sounds
    FakeClock clock;
    FakePrompter prompter;
    FakeSoundPlayer sound;
    FakeLineMonitor line;
    FakeNetworkLinks links;
    FakeCarrierSource carrier;
    FakeTrayIcon tray;
    FakeHelpViewer help;
    FakeWindowSystem windows;
    Services services;

    static QDateTime wednesday(int h, int m, int s = 0) { // 2026-12-09 was a Wednesday
        return QDateTime(QDate(2026, 12, 9), QTime(h, m, s));
    }

    static RateTable sampleRates() {
        RateTable t;
        for (int slot = 1; slot <= 12; ++slot)
            t.slot(slot) = QStringLiteral("0.00");
        t.slot(1) = QStringLiteral(" 6.00");
        t.slot(2) = QStringLiteral(" 3.00");
        t.slot(4) = QStringLiteral("12.00");
        t.slot(TaxSlot) = QStringLiteral("17.50");
        t.slot(MinimumSlot) = QStringLiteral(" 0.00");
        t.slot(ConnectionSlot) = QStringLiteral(" 0.00");
        t.slot(DiscountSlot) = QStringLiteral(" 0.00");
        return t;
    }

    QString path(const QString& name) const { return dir->filePath(name); }
    SettingsFile settings() const { return SettingsFile(path(QStringLiteral("Dialtaly.ini"))); }
    void set(const char* section, const char* key, const QString& value) const {
        QVERIFY(settings().WriteSettingString(QLatin1String(section), QLatin1String(key), value));
    }

    static void touch(const QString& path) {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void reset() {
        dir = std::make_unique<QTemporaryDir>();
        own = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid() && own->isValid());
        for (const auto& keys : SettingsKeys::Sounds) {
            touch(dir->filePath(QLatin1String(keys.fileName)));
            touch(own->filePath(QLatin1String(keys.fileName)));
        }
        QVERIFY(writeRateFile(path(QStringLiteral("Test.dtr")), sampleRates()));
        set("Telephone Rate Information", "ActiveRateFile", QStringLiteral("Test"));
        set("Telephone Rate Information", "DayTimeStart", QStringLiteral(" 8:00"));
        set("Telephone Rate Information", "DayTimeEnd", QStringLiteral("18:00"));
        set("Default Setup Information", "SubSymbol", QStringLiteral("p"));
        set("Default Setup Information", "Times Used", QStringLiteral("1")); // not the first use
        clock.set(wednesday(10, 0));
        prompter.clear();
        sound = FakeSoundPlayer();
        line = FakeLineMonitor();
        links = FakeNetworkLinks();
        carrier = FakeCarrierSource();
        tray = FakeTrayIcon();
        help = FakeHelpViewer();
        windows = FakeWindowSystem();
        services = Services();
        services.programDirectory = dir->path();
        services.stateDirectory = dir->filePath(QStringLiteral("state"));
        services.resourceDirectory = own->path();
        services.clock = &clock;
        services.prompter = &prompter;
        services.sound = &sound;
        services.line = &line;
        services.links = &links;
        services.carrier = &carrier;
        services.tray = &tray;
        services.help = &help;
        services.windowSystem = &windows;
    }

    std::unique_ptr<TLargeForm> makeWindow() {
        return std::make_unique<TLargeForm>(services, [] { return 0; });
    }

    template <typename T> static T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QLatin1String(name));
        if (!c)
            qFatal("no child %s", name);
        return c;
    }
    static QString text(QWidget& w, const char* name) { return child<QLabel>(w, name)->text(); }
    static QString button(QWidget& w) { return child<QAbstractButton>(w, "StartStopButton")->text(); }

    // Runs work on the modal window of type T once it is open.
    template <typename T> static void whenModalOpens(QObject* context, std::function<void(T&)> work) {
        QTimer::singleShot(0, context, [context, work] {
            if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget()))
                work(*modal);
            else
                whenModalOpens<T>(context, work);
        });
    }

    // Lets the queued boxes show, as the event loop would.
    static void settle() { QCoreApplication::processEvents(); }

    // Lets the clock finish its sweep after a stop, as the 45 ms timer would.
    static void finishSweep(TLargeForm& w) {
        auto* timer = child<QTimer>(w, "AnimationTimer");
        for (int i = 0; i < 100 && timer->isActive(); ++i)
            w.meter().AnimationTimerTimer();
        QVERIFY(!timer->isActive());
    }
};
