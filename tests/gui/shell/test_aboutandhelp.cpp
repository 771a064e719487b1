// The about box's slide and links, and the help window's topics.
#include "gui/meter/LargeFormFixture.h"

#include "core/spending/TariffComparison.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/TAboutForm.h"
#include "gui/spending/TCompareForm.h"
#include "gui/spending/TSpendingForm.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextTable>
#include <QTreeWidget>

#include <cmath>

namespace {
// WCAG's contrast of two colours: 1 for the same, 21 for black on white.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A dark desktop's palette, as a dark GTK theme gives it.
QPalette darkPalette() {
    QPalette dark;
    const std::pair<QPalette::ColorRole, const char*> roles[] = {
        {QPalette::Window, "#353535"},      {QPalette::WindowText, "#eeeeec"},
        {QPalette::Base, "#2d2d2d"},        {QPalette::AlternateBase, "#383838"},
        {QPalette::Text, "#eeeeec"},        {QPalette::Link, "#62a0ea"},
        {QPalette::Highlight, "#15539e"},   {QPalette::HighlightedText, "#ffffff"},
        {QPalette::Mid, "#555555"},         {QPalette::ToolTipBase, "#262626"},
        {QPalette::ToolTipText, "#ffffff"}, {QPalette::Button, "#353535"},
        {QPalette::ButtonText, "#eeeeec"}};
    for (const auto& [role, colour] : roles)
        dark.setColor(role, QColor(QLatin1String(colour)));
    return dark;
}

// Every piece of text of the shown help, with its colour and what it lies on,
// where the two are too alike to read.
QStringList unreadable(QTextBrowser& browser) {
    const QPalette palette = browser.palette();
    QStringList found;
    QTextDocument* document = browser.document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QColor ground = palette.color(QPalette::Base);
        QTextCursor at(block);
        if (QTextTable* table = at.currentTable()) {
            const QBrush cell = table->cellAt(block.position()).format().background();
            if (cell.style() != Qt::NoBrush)
                ground = cell.color();
        }
        if (block.blockFormat().background().style() != Qt::NoBrush)
            ground = block.blockFormat().background().color();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment piece = it.fragment();
            const QTextCharFormat format = piece.charFormat();
            const QColor back =
                format.background().style() != Qt::NoBrush ? format.background().color() : ground;
            const QColor fore = format.foreground().style() != Qt::NoBrush ? format.foreground().color()
                                                                           : palette.color(QPalette::Text);
            if (!piece.text().trimmed().isEmpty() && contrast(fore, back) < 3)
                found
                    << QStringLiteral("\"%1\" %2 on %3").arg(piece.text().left(20), fore.name(), back.name());
        }
    }
    return found;
}
} // namespace

class TestAboutAndHelp : public QObject, LargeFormFixture {
    Q_OBJECT
    QList<QUrl> m_opened;

public slots:
    void open(const QUrl& url) { m_opened << url; }

private slots:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() {
        reset();
        m_opened.clear();
    }

    // The data folder opens as a link does: a left click released over it.
    void dataFolderOpensOnALeftClick_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("releasedOver");
        QTest::addColumn<bool>("opens");
        QTest::newRow("left click") << Qt::LeftButton << true << true;
        QTest::newRow("right click") << Qt::RightButton << true << false;
        QTest::newRow("middle click") << Qt::MiddleButton << true << false;
        QTest::newRow("released away from it") << Qt::LeftButton << false << false;
    }
    void dataFolderOpensOnALeftClick() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, releasedOver);
        QFETCH(bool, opens);
        TAboutForm about(services);
        auto* label = child<QLabel>(about, "Label4");
        QTest::mousePress(label, button, {}, QPoint(3, 3));
        QTest::mouseRelease(label, button, {}, releasedOver ? QPoint(4, 4) : QPoint(4, label->height() + 40));
        QCOMPARE(m_opened, opens ? QList<QUrl>{QUrl::fromLocalFile(dir->path())} : QList<QUrl>());
    }

    // What the box tells: the version, the licence, where the data is (under
    // the home folder as "~"), and no invented address; its help button opens
    // the help.
    void aboutBoxTellsWhatTheProgramIs_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("shown");
        const QString home = QDir::homePath();
        QTest::newRow("under the home folder")
            << home + "/.local/share/dialtally-pro" << QStringLiteral("~/.local/share/dialtally-pro");
        QTest::newRow("elsewhere") << QStringLiteral("/srv/calls") << QStringLiteral("/srv/calls");
        QTest::newRow("a name that only starts like the home folder") << home + "x/calls" << home + "x/calls";
        QTest::newRow("very long") << QStringLiteral("/srv/") + QString(200, QLatin1Char('d'))
                                   << QStringLiteral("\u2026");
    }
    void aboutBoxTellsWhatTheProgramIs() {
        QFETCH(QString, folder);
        QFETCH(QString, shown);
        services.programDirectory = folder;
        TAboutForm about(services);
        QStringList texts;
        for (QLabel* label : about.findChildren<QLabel*>())
            texts << label->text();
        const QString all = texts.join(QLatin1Char('\n'));
        QVERIFY(all.contains(QStringLiteral("Version 1.0")));
        QVERIFY(all.contains(TAboutForm::Licence));
        QVERIFY2(!all.contains(QStringLiteral("example"), Qt::CaseInsensitive), qPrintable(all));
        QVERIFY2(!all.contains(QLatin1Char('@')), qPrintable(all));
        const QString link = text(about, "Label4");
        QVERIFY2(shown.startsWith(QChar(0x2026)) ? link.contains(shown.at(0)) : link == shown,
                 qPrintable(link));
        QVERIFY(child<QLabel>(about, "Label4")->width() <= about.screen()->availableGeometry().width() / 2);
        child<QPushButton>(about, "HelpButton")->click();
        QCOMPARE(help.topics, QList<int>{TAboutForm::HelpTopic});
    }

    // 62 ticks of 50 ms bring the clock up to (5, 4) and the title in to
    // (60, 12); a new box starts over. In a box grown for a larger type the
    // pictures come from its grown edges to the same places.
    void aboutBoxSlidesInAndStops_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("the program's type") << 9;
        QTest::newRow("a larger type") << 16;
    }
    void aboutBoxSlidesInAndStops() {
        QFETCH(int, points);
        const QFont type = QApplication::font();
        QFont larger = type;
        larger.setPointSize(points);
        QApplication::setFont(larger);
        for (int opening = 0; opening < 2; ++opening) {
            TAboutForm about(services);
            auto* timer = child<QTimer>(about, "Timer1");
            QVERIFY(timer->isActive());
            QCOMPARE(timer->interval(), 50);
            const QSize growth = about.size() - QSize(271, 179);
            QCOMPARE(growth.isNull(), points == 9);
            QCOMPARE(child<QLabel>(about, "SlideClock")->pos(), QPoint(5, 190 + growth.height()));
            QCOMPARE(child<QLabel>(about, "SlideTitle")->pos(), QPoint(246 + growth.width(), 12));
            const int ticks = 62 + (std::max(growth.width(), growth.height()) + 2) / 3;
            for (int tick = 1; tick < ticks; ++tick)
                about.Timer1Timer();
            QVERIFY(timer->isActive());
            about.Timer1Timer();
            QVERIFY(!timer->isActive());
            QCOMPARE(child<QLabel>(about, "SlideClock")->pos(), QPoint(5, 4));
            QCOMPARE(child<QLabel>(about, "SlideTitle")->pos(), QPoint(60, 12));
        }
        QApplication::setFont(type);
    }

    // The about box as it first opens, and at every tick of the slide: the
    // pictures come in clear of every text line and button, at the program's
    // type and larger ones.
    void aboutBoxPicturesNeverCoverItsTexts_data() {
        QTest::addColumn<double>("points");
        for (double points : {9.0, 11.25, 16.0})
            QTest::addRow("%g points", points) << points;
    }
    void aboutBoxPicturesNeverCoverItsTexts() {
        QFETCH(double, points);
        const QFont type = QApplication::font();
        const auto restore = qScopeGuard([&type] { QApplication::setFont(type); });
        QFont larger = type;
        larger.setPointSizeF(points);
        QApplication::setFont(larger);
        TAboutForm about(services);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        auto* timer = child<QTimer>(about, "Timer1");
        QStringList covered;
        for (int tick = 0; tick < 200 && timer->isActive(); ++tick) {
            for (const char* picture : {"SlideTitle", "SlideClock"}) {
                const QRect place = child<QLabel>(about, picture)->geometry();
                for (QWidget* w : about.findChildren<QWidget*>()) {
                    if ((qobject_cast<QLabel*>(w) || qobject_cast<QPushButton*>(w)) &&
                        !w->objectName().startsWith(QLatin1String("Slide")) &&
                        place.intersects(w->geometry()))
                        covered << QStringLiteral("%1 over %2 at tick %3")
                                       .arg(picture, w->objectName())
                                       .arg(tick);
                }
            }
            about.Timer1Timer();
        }
        QVERIFY(!timer->isActive());
        QVERIFY2(covered.isEmpty(), qPrintable(covered.join(QStringLiteral("; "))));
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
        for (int topic : {1, 4, 3, 9, 6, 7, 8, 10, 11, 12, 13}) {
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
        QCOMPARE(contents->topLevelItemCount(), 12);
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

    // The help's colours are the desktop's: the file names none, and every
    // text of it reads on what it lies on, in a light palette, a dark one, and
    // after the desktop turns dark while it is open.
    void helpHoldsNoColourOfItsOwn() {
        QFile file(QStringLiteral(DIALTALLY_HELP_SOURCE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString markup = QString::fromUtf8(file.readAll());
        // The style sheet and the tags, less the links to places in the file.
        markup.remove(QRegularExpression(QStringLiteral("href=\"[^\"]*\"")));
        QStringList styling;
        const QRegularExpression tag(QStringLiteral("<style>.*?</style>|<[^>]*>"),
                                     QRegularExpression::DotMatchesEverythingOption);
        for (auto it = tag.globalMatch(markup); it.hasNext();)
            styling << it.next().captured();
        const QRegularExpression colour(QStringLiteral("colou?r|background|#[0-9a-f]{3}|rgb|<font"),
                                        QRegularExpression::CaseInsensitiveOption);
        QCOMPARE(colour.match(styling.join(QLatin1Char('\n'))).captured(), QString());
    }
    void helpReadsInAnyPalette_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<bool>("changedWhileOpen");
        QTest::newRow("light") << QPalette() << false;
        QTest::newRow("dark") << darkPalette() << false;
        QTest::newRow("turned dark while open") << darkPalette() << true;
    }
    void helpReadsInAnyPalette() {
        QFETCH(QPalette, palette);
        QFETCH(bool, changedWhileOpen);
        // The desktop's palette is the application's.
        const QPalette was = QApplication::palette();
        const auto restore = qScopeGuard([&was] { QApplication::setPalette(was); });
        if (!changedWhileOpen)
            QApplication::setPalette(palette);
        HelpWindow window(QStringLiteral(DIALTALLY_HELP_SOURCE));
        window.showTopic(6);
        const int shown = window.browser()->verticalScrollBar()->value();
        if (changedWhileOpen) {
            QApplication::setPalette(palette);
            // What the application tells every window once its event loop runs.
            QEvent changed(QEvent::ApplicationPaletteChange);
            QCoreApplication::sendEvent(&window, &changed);
        }
        const QStringList found = unreadable(*window.browser());
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
        QCOMPARE(window.browser()->verticalScrollBar()->value(), shown);
    }

    // The Spending and comparison windows open their topics from their Help
    // button and with F1.
    void windowsOpenTheirTopics_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<int>("topic");
        for (bool byKey : {false, true}) {
            QTest::addRow("Spending, %s", byKey ? "F1" : "Help") << "Spending" << byKey << 10;
            QTest::addRow("Compare Tariffs, %s", byKey ? "F1" : "Help") << "Compare Tariffs" << byKey << 11;
        }
    }
    void windowsOpenTheirTopics() {
        QFETCH(QString, window);
        QFETCH(bool, byKey);
        QFETCH(int, topic);
        std::unique_ptr<QDialog> w;
        if (window == QLatin1String("Spending"))
            w = std::make_unique<TSpendingForm>(services);
        else
            w = std::make_unique<TCompareForm>(TariffComparison(dir->path(), QStringLiteral("Test")),
                                               QStringLiteral("£"), false, &help);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        if (byKey)
            QTest::keyClick(w.get(), Qt::Key_F1);
        else
            child<QPushButton>(*w, "HelpButton")->click();
        QCOMPARE(help.topics, QList<int>{topic});
        QFile file(QStringLiteral(DIALTALLY_HELP_SOURCE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(
            QString::fromUtf8(file.readAll()).contains(QStringLiteral("<a name=\"topic%1\">").arg(topic)));
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
        // Centred as far as the frame, still guessed from a title bar before the
        // window is shown, allows.
        const int titleBar = help.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &help);
        if (centred)
            QVERIFY((help.frameGeometry().center() - window.frameGeometry().center()).manhattanLength() <=
                    titleBar / 2 + 4);
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
