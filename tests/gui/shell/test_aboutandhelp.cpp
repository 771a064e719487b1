// The about box's slide and links, and the help window's topics.
#include "gui/meter/LargeFormFixture.h"

#include "gui/shell/HelpWindow.h"
#include "gui/shell/TAboutForm.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTreeWidget>

class TestAboutAndHelp : public QObject, LargeFormFixture {
    Q_OBJECT
    QList<QUrl> m_opened;

public slots:
    void open(const QUrl& url) { m_opened << url; }

private slots:
    void initTestCase() {
        for (const char* scheme : {"mailto", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    void init() {
        reset();
        m_opened.clear();
    }

    // A link opens as a button does: a left click released over it.
    void aboutLinksOpenOnALeftClick_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("releasedOver");
        QTest::addColumn<QString>("opened");
        QTest::newRow("e-mail address")
            << "Label4" << Qt::LeftButton << true << QStringLiteral("mailto:") + TAboutForm::EmailAddress;
        QTest::newRow("web page") << "Label6" << Qt::LeftButton << true << TAboutForm::WebAddress;
        QTest::newRow("right click") << "Label6" << Qt::RightButton << true << "";
        QTest::newRow("middle click") << "Label4" << Qt::MiddleButton << true << "";
        QTest::newRow("released away from it") << "Label6" << Qt::LeftButton << false << "";
    }
    void aboutLinksOpenOnALeftClick() {
        QFETCH(QString, link);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, releasedOver);
        QFETCH(QString, opened);
        TAboutForm about;
        auto* label = child<QLabel>(about, link.toLatin1().constData());
        QTest::mousePress(label, button, {}, QPoint(3, 3));
        QTest::mouseRelease(label, button, {}, releasedOver ? QPoint(4, 4) : QPoint(4, label->height() + 40));
        QCOMPARE(m_opened, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
    }

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

    // The contents are the file's topics and their parts; choosing one goes
    // there, as the topic's own help button does.
    void helpWindowContents() {
        HelpWindow window(QStringLiteral(DIALTALLY_HELP_SOURCE));
        window.resize(500, 200);
        window.showTopic(8);
        const int topic8 = window.browser()->verticalScrollBar()->value();
        window.showTopic(1);
        QTreeWidget* contents = window.contents();
        QCOMPARE(contents->topLevelItemCount(), 7);
        QCOMPARE(contents->currentItem()->text(0), QStringLiteral("The main window"));
        QCOMPARE(contents->currentItem()->child(0)->text(0), QStringLiteral("The meter"));
        const auto found =
            contents->findItems(QStringLiteral("The call log viewer (Past Calls)"), Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        contents->setCurrentItem(found[0]);
        QCOMPARE(window.browser()->verticalScrollBar()->value(), topic8);

        HelpWindow missing(QStringLiteral("/nonexistent/Dialtaly.html"));
        missing.showTopic(1);
        QCOMPARE(missing.contents()->topLevelItemCount(), 0);
    }

    void helpWindowClosesByButtonOrEscape() {
        HelpWindow window(QStringLiteral(DIALTALLY_HELP_SOURCE));
        window.showTopic(1);
        QTest::keyClick(window.browser(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        window.showTopic(1);
        child<QPushButton>(window, "CloseButton")->click();
        QVERIFY(!window.isVisible());
    }

    // Help opens over the window that asked for it, whole on the screen; once
    // open it stays where the user puts it.
    void helpOpensOverTheWindowThatAsked_data() {
        QTest::addColumn<QRect>("asking");
        QTest::addColumn<bool>("centred"); // else whole in the screen's corner
        QTest::newRow("mid-screen") << QRect(150, 120, 300, 200) << true;
        QTest::newRow("in a corner") << QRect(0, 0, 100, 60) << false;
    }
    void helpOpensOverTheWindowThatAsked() {
        QFETCH(QRect, asking);
        QFETCH(bool, centred);
        QWidget window;
        window.setGeometry(asking);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        HelpWindow help(QStringLiteral(DIALTALLY_HELP_SOURCE));
        help.resize(400, 300);
        help.showTopic(1);
        // Centred as far as the frame, still unknown before the window is shown, allows.
        if (centred)
            QVERIFY((help.frameGeometry().center() - window.frameGeometry().center()).manhattanLength() <= 4);
        else
            QCOMPARE(help.frameGeometry().topLeft(), window.screen()->availableGeometry().topLeft());
        help.move(10, 20);
        help.showTopic(3);
        QCOMPARE(help.pos(), QPoint(10, 20));
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
