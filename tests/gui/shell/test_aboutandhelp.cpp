// The about box's slide and the help window's topics.
#include "gui/meter/LargeFormFixture.h"

#include "gui/shell/HelpWindow.h"
#include "gui/shell/TAboutForm.h"

#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>

class TestAboutAndHelp : public QObject, LargeFormFixture {
    Q_OBJECT

private slots:
    void init() { reset(); }

    // 62 ticks of 50 ms bring the clock up to (5, 4) and the title in to
    // (60, 12); a new box starts over.
    void aboutBoxSlidesInAndStops() {
        for (int opening = 0; opening < 2; ++opening) {
            TAboutForm about;
            auto* timer = child<QTimer>(about, "Timer1");
            QVERIFY(timer->isActive());
            QCOMPARE(timer->interval(), 50);
            QCOMPARE(child<QLabel>(about, "SlideClock")->pos(), QPoint(5, 190));
            QCOMPARE(child<QLabel>(about, "SlideTitle")->pos(), QPoint(246, 12));
            for (int tick = 0; tick < 61; ++tick)
                about.Timer1Timer();
            QVERIFY(timer->isActive());
            about.Timer1Timer();
            QVERIFY(!timer->isActive());
            QCOMPARE(child<QLabel>(about, "SlideClock")->pos(), QPoint(5, 4));
            QCOMPARE(child<QLabel>(about, "SlideTitle")->pos(), QPoint(60, 12));
        }
    }

    // Every topic the program opens is in the help file, and the window goes
    // to it.
    void helpWindowShowsEveryTopic() {
        QFile file(QStringLiteral(DIALTALLY_HELP_SOURCE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        HelpWindow window(file.fileName());
        window.resize(400, 150);
        int lastScroll = -1;
        for (int topic : {1, 4, 3, 6, 7, 8}) {
            QVERIFY2(text.contains(QStringLiteral("<a name=\"topic%1\">").arg(topic)),
                     qPrintable(QString::number(topic)));
            window.showTopic(topic);
            QVERIFY(window.isVisible());
            QCOMPARE(window.browser()->source().fragment(), QStringLiteral("topic%1").arg(topic));
            const int scroll = window.browser()->verticalScrollBar()->value();
            QVERIFY(scroll > lastScroll); // the topics follow each other down the page
            lastScroll = scroll;
        }
        HelpWindow missing(QStringLiteral("/nonexistent/Dialtaly.html"));
        missing.showTopic(1);
        QVERIFY(missing.browser()->toPlainText().contains(QStringLiteral("cannot be found")));
    }

    // Asked for from a window that waits for an answer, help is not shut out by it.
    void helpAboveAWaitingWindow() {
        HelpWindow window(QStringLiteral(DIALTALLY_HELP_SOURCE));
        QDialog waiting(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint); // as the wizard is
        whenModalOpens<QDialog>(this, [&](QDialog& d) {
            window.showTopic(4);
            d.accept();
        });
        waiting.exec();
        QCOMPARE(window.windowModality(), Qt::ApplicationModal);
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        window.showTopic(1);
        QCOMPARE(window.windowModality(), Qt::NonModal);
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
};

QTEST_MAIN(TestAboutAndHelp)
#include "test_aboutandhelp.moc"
