// Every window of the program on a 1920 by 1080 screen at twice the scale (960
// by 540 to lay windows out in), at the program's type and a larger one: each
// opens whole on the screen, frame and all, and the configuration dialog's
// pages scroll only down, never cutting a group off at the side.
#include "core/spending/TariffComparison.h"
#include "gui/meter/LargeFormFixture.h"
#include "gui/meter/TSpendForm.h"
#include "gui/setup/TSetupForm.h"
#include "gui/shell/HelpWindow.h"
#include "gui/shell/ScreenPlace.h"
#include "gui/shell/TAboutForm.h"
#include "gui/shell/TPortSetupForm.h"
#include "gui/shell/TTariffForm.h"
#include "gui/shell/TTitleForm.h"
#include "gui/shell/TWelcomeForm.h"
#include "gui/spending/TCompareForm.h"
#include "gui/spending/TSpendingForm.h"
#include "gui/viewer/TDataForm.h"
#include "gui/viewer/TProgressForm.h"
#include "gui/widgets/PageScrollArea.h"

#include <QGroupBox>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>

class TestScreenFit : public QObject, LargeFormFixture {
    Q_OBJECT

    std::unique_ptr<QWidget> open(const QString& form) {
        std::unique_ptr<QWidget> w;
        if (form == QLatin1String("main window") || form == QLatin1String("small box")) {
            set("Default Setup Information", "WindowToLoad", form == QLatin1String("small box") ? "1" : "0");
            return makeWindow();
        }
        if (form == QLatin1String("help")) {
            auto help = std::make_unique<HelpWindow>(QStringLiteral(DIALTALLY_HELP_SOURCE));
            help->showTopic(1);
            return help;
        }
        if (form == QLatin1String("progress")) {
            auto progress = std::make_unique<TProgressForm>();
            progress->WithProgress(QStringLiteral("Sorting"), QStringLiteral("Sorting calls.."));
            return progress;
        }
        if (form == QLatin1String("splash"))
            w = std::make_unique<TTitleForm>();
        else if (form == QLatin1String("wizard"))
            w = std::make_unique<TWelcomeForm>(services);
        else if (form == QLatin1String("port chooser"))
            w = std::make_unique<TPortSetupForm>(services);
        else if (form == QLatin1String("call charges page"))
            w = std::make_unique<TTariffForm>(services);
        else if (form == QLatin1String("viewer"))
            w = std::make_unique<TDataForm>(services);
        else if (form == QLatin1String("Spending window"))
            w = std::make_unique<TSpendingForm>(services);
        else if (form == QLatin1String("comparison"))
            w = std::make_unique<TCompareForm>(TariffComparison(dir->path(), QStringLiteral("Test")),
                                               QStringLiteral("£"), false, &help);
        else if (form == QLatin1String("setup dialog"))
            w = std::make_unique<TSetupForm>(services);
        else if (form == QLatin1String("spend warning")) {
            auto warning = std::make_unique<TSpendForm>();
            warning->setMessage(QStringLiteral("This call has cost more than your spend limit of £1.00"));
            w = std::move(warning);
        } else
            w = std::make_unique<TAboutForm>(services);
        w->show();
        return w;
    }

    static void setPoints(double points) {
        QFont font = QApplication::font();
        font.setPointSizeF(points);
        QApplication::setFont(font);
    }

private slots:
    void init() { reset(); }
    void cleanup() { setPoints(9); }

    void theScreenIsSmall() {
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 960, 540));
    }

    void everyWindowFitsTheScreen_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<double>("points");
        for (const char* form : {"main window", "small box", "splash", "wizard", "port chooser",
                                 "call charges page", "about box", "setup dialog", "viewer",
                                 "Spending window", "comparison", "spend warning", "progress", "help"})
            for (double points : {9.0, 11.25})
                QTest::addRow("%s, %g points", form, points) << QString::fromLatin1(form) << points;
    }
    void everyWindowFitsTheScreen() {
        QFETCH(QString, form);
        QFETCH(double, points);
        setPoints(points);
        auto w = open(form);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QRect screen = w->screen()->availableGeometry();
        QVERIFY2(screen.contains(w->frameGeometry()), qPrintable(QStringLiteral("%1 x %2 at %3, %4")
                                                                     .arg(w->frameGeometry().width())
                                                                     .arg(w->frameGeometry().height())
                                                                     .arg(w->frameGeometry().x())
                                                                     .arg(w->frameGeometry().y())));
    }

    // Where the screen is too narrow for a page's rows, they go on over
    // another line: the page scrolls down, and every group is whole in width.
    void setupPagesScrollOnlyDown_data() {
        QTest::addColumn<double>("points");
        QTest::newRow("the program's type") << 9.0;
        QTest::newRow("a larger type") << 11.25;
    }
    void setupPagesScrollOnlyDown() {
        QFETCH(double, points);
        setPoints(points);
        auto w = open(QStringLiteral("setup dialog"));
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (PageScrollArea* page : w->findChildren<PageScrollArea*>()) {
            child<QTabWidget>(*w, "PageControl1")->setCurrentWidget(page);
            QCoreApplication::processEvents();
            QVERIFY2(!page->horizontalScrollBar()->isVisible(), qPrintable(page->objectName()));
            for (QGroupBox* group : page->widget()->findChildren<QGroupBox*>()) {
                const int left = group->mapTo(page->viewport(), QPoint()).x();
                QVERIFY2(left >= 0 && left + group->width() <= page->viewport()->width(),
                         qPrintable(group->objectName()));
            }
        }
    }

    // The rule itself: as much of the wanted size as the area holds beside the frame.
    void aWindowTakesWhatTheScreenHolds_data() {
        QTest::addColumn<QSize>("wanted");
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QSize>("taken");
        QTest::newRow("room to spare") << QSize(400, 300) << QSize(8, 30) << QSize(400, 300);
        QTest::newRow("too tall") << QSize(860, 560) << QSize(8, 30) << QSize(860, 510);
        QTest::newRow("too wide and tall") << QSize(1720, 1120) << QSize(8, 30) << QSize(952, 510);
        QTest::newRow("a frame as large as the area") << QSize(100, 100) << QSize(960, 540) << QSize(0, 0);
    }
    void aWindowTakesWhatTheScreenHolds() {
        QFETCH(QSize, wanted);
        QFETCH(QSize, frame);
        QFETCH(QSize, taken);
        QCOMPARE(ScreenPlace::fitted(wanted, frame, QRect(0, 0, 960, 540)), taken);
    }
};

int main(int argc, char** argv) {
    // Qt's screen for tests is 800 pixels square; this one is a common monitor's.
    QTemporaryDir config;
    const QString screens = config.filePath(QStringLiteral("screens.json"));
    QFile file(screens);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(R"({"screens": [{"name": "Monitor", "x": 0, "y": 0, "width": 1920, "height": 1080}]})") <
            0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScreenFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_screenfit.moc"
