// The Spending window driven through its controls and keys, its chart, the
// budget's line, and the chart written to files with and without a window.
#include "core/calllog/AddressBook.h"
#include "core/calllog/CallNumberLog.h"
#include "core/calllog/RateNameStore.h"
#include "core/settings/BudgetSettings.h"
#include "core/settings/ProgramFiles.h"
#include "core/spending/BudgetPace.h"
#include "core/tariff/RateFile.h"
#include "gui/spending/ChartImage.h"
#include "gui/spending/TSpendingForm.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeFileChooser.h"
#include "fakes/FakePrompter.h"
#include "fakes/FileSizeLimit.h"
#include "fakes/SampleCall.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QDateTime Now(QDate(2025, 3, 5), QTime(14, 0)); // a Wednesday
const QString Pound = QStringLiteral("\u00a3");
} // namespace

class TestSpendingForm : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
    FakePrompter m_prompter;
    FakeFileChooser m_files;
    Services m_services;
    std::unique_ptr<TSpendingForm> m_form;

    QString path(const QString& name) const { return ProgramFiles::path(m_dir->path(), name); }
    void open() {
        m_form = std::make_unique<TSpendingForm>(m_services);
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    template <typename T> T* find(const char* name) const {
        return m_form->findChild<T*>(QLatin1String(name));
    }
    QByteArray bytes(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

private slots:
    // Two calls today, one yesterday and one a week ago, in all three bands
    // and in two rates.
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_clock.set(Now);
        m_prompter.clear();
        m_files.chosenFilter = -1;
        m_services.programDirectory = m_dir->path();
        m_services.clock = &m_clock;
        m_services.prompter = &m_prompter;
        m_services.files = &m_files;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        const RateNameStore store(path(ProgramFiles::RateNameStoreName));
        store.RateNameKeyFor(QStringLiteral("BT Daytime"));
        store.RateNameKeyFor(QStringLiteral("Mercury"));
        QVERIFY(
            CallLog(path(ProgramFiles::CallLogName))
                .append({sampleCall(Now.addSecs(-3600), 1.25f, 1, 1),
                         sampleCall(Now.addSecs(-7200), 0.5f, 2, 2), sampleCall(Now.addDays(-1), 2.0f, 3, 1),
                         sampleCall(Now.addDays(-7), 4.0f, 2, 2)}));
        const auto start = [](const QDateTime& time) { return DayCount::fromDateTime(time); };
        QVERIFY(CallNumberLog(path(ProgramFiles::CallNumbersName))
                    .append({{start(Now.addSecs(-3600)), QStringLiteral("01632960000")},
                             {start(Now.addSecs(-7200)), QStringLiteral("08454500000")},
                             {start(Now.addDays(-1)), QStringLiteral("01632960000")}}));
        AddressBook book;
        book.entries = {{QStringLiteral("0845"), QStringLiteral("Provider")}};
        QVERIFY(book.write(AddressBook::pathIn(m_dir->path())));
    }
    void cleanup() { m_form.reset(); }

    // From the month view it opens on to a view and back with M, Ctrl+3
    // and Alt+M; a button's Alt key clicks it a moment later, as a hand would.
    void viewsByKey_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("view");
        QTest::newRow("D") << int(Qt::Key_D) << int(Qt::NoModifier) << int(SpendView::Day);
        QTest::newRow("W") << int(Qt::Key_W) << int(Qt::NoModifier) << int(SpendView::Week);
        QTest::newRow("Ctrl+1") << int(Qt::Key_1) << int(Qt::ControlModifier) << int(SpendView::Day);
        QTest::newRow("Ctrl+2") << int(Qt::Key_2) << int(Qt::ControlModifier) << int(SpendView::Week);
        QTest::newRow("Alt+D") << int(Qt::Key_D) << int(Qt::AltModifier) << int(SpendView::Day);
        QTest::newRow("Alt+W") << int(Qt::Key_W) << int(Qt::AltModifier) << int(SpendView::Week);
    }
    void viewsByKey() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, view);
        open();
        const char* const buttons[] = {"DayButton", "WeekButton", "MonthButton"};
        const std::pair<int, int> back[] = {
            {Qt::Key_M, Qt::NoModifier}, {Qt::Key_3, Qt::ControlModifier}, {Qt::Key_M, Qt::AltModifier}};
        for (auto [backKey, backModifiers] : back) {
            QTest::keyClick(m_form.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QTRY_COMPARE(int(m_form->view()), view);
            QVERIFY(find<QPushButton>(buttons[view])->isChecked());
            QTest::keyClick(m_form.get(), Qt::Key(backKey), Qt::KeyboardModifiers(backModifiers));
            QTRY_COMPARE(m_form->view(), SpendView::Month);
            QVERIFY(find<QPushButton>("MonthButton")->isChecked());
        }
        QTest::keyClick(m_form.get(), Qt::Key_Escape);
        QVERIFY(!m_form->isVisible());
    }

    // Each bar is as high as its calls cost, in parts by band, by rate or by
    // number (the dearest first); the current month's reaches the projection.
    void barsAndTheirParts_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("stack"); // the button clicked; none: by band
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QString>("todaysTip");
        const QStringList bands{"Daytime", "Evening", "Weekend"};
        const QStringList rates{"Mercury", "BT Daytime"};
        QTest::newRow("days by band")
            << int(SpendView::Day) << "" << bands
            << "Wednesday, 5 March 2025\n2 calls \u00b7 \u00a31.75\nDaytime: 1 call \u00b7 \u00a31.25";
        QTest::newRow("weeks by rate")
            << int(SpendView::Week) << "ByRateButton" << rates
            << "3 Mar 2025 \u2013 9 Mar 2025\n3 calls \u00b7 \u00a33.75\nMercury: 1 call \u00b7 \u00a30.50";
        QTest::newRow("weeks by number")
            << int(SpendView::Week) << "ByNumberButton" << QStringList{"No number", "01632960000", "Provider"}
            << "3 Mar 2025 \u2013 9 Mar 2025\n3 calls \u00b7 \u00a33.75\nNo number: 0 calls \u00b7 "
               "\u00a30.00";
        QTest::newRow("months by band")
            << int(SpendView::Month) << "" << bands + QStringList{"Projection"}
            << "1 Mar 2025 \u2013 31 Mar 2025\n3 calls \u00b7 \u00a33.75\nDaytime: 1 call \u00b7 \u00a31.25";
    }
    void barsAndTheirParts() {
        QFETCH(int, view);
        QFETCH(QString, stack);
        QFETCH(QStringList, parts);
        QFETCH(QString, todaysTip);
        open();
        m_form->showView(SpendView(view));
        if (!stack.isEmpty())
            find<QRadioButton>(stack.toLatin1().constData())->click();
        QCOMPARE(m_form->chart().partNames(), parts);
        const std::vector<SpendBar>& bars = m_form->figures().bars(SpendView(view));
        for (int bar = 0; bar < int(bars.size()); ++bar) {
            double height = bars[size_t(bar)].total.gross.total();
            if (view == int(SpendView::Month) && bar + 1 == int(bars.size()))
                height = BudgetPace::of(m_form->figures()).projection();
            QCOMPARE(m_form->chart().barHeight(bar), height);
        }
        QCOMPARE(m_form->chart().tipFor(0, int(bars.size()) - 1), todaysTip);
    }

    // While the budget is on, its line shows under the chart and across the
    // month view.
    void budget_data() {
        QTest::addColumn<bool>("on");
        QTest::newRow("off") << false;
        QTest::newRow("on") << true;
    }
    void budget() {
        QFETCH(bool, on);
        BudgetSettings budget;
        budget.on = on;
        budget.amount = 30;
        QVERIFY(budget.write(SettingsFile(ProgramFiles::settingsPath(m_dir->path()))));
        open();
        QCOMPARE(find<QLabel>("BudgetLine")->isVisible(), on);
        if (on)
            QCOMPARE(find<QLabel>("BudgetLine")->text(),
                     budgetLine(BudgetPace::of(m_form->figures()), 30, Pound));
        const auto budgetLines = [this] {
            QList<QLineSeries*> lines;
            for (QAbstractSeries* series : m_form->chart().series()) {
                if (auto* line = qobject_cast<QLineSeries*>(series); line && line->at(0).y() == 30)
                    lines << line;
            }
            return lines.size();
        };
        QCOMPARE(budgetLines(), on ? 1 : 0);
        m_form->showView(SpendView::Day);
        QCOMPARE(budgetLines(), 0);
    }

    void saveChart_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("old");     // what chart.png held before; empty: no such file
        QTest::addColumn<QString>("answers"); // "n" when asked to replace it
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<QString>("written");   // the file looked at afterwards
        QTest::addColumn<QByteArray>("starts"); // empty: a failure is told
        QTest::newRow("PNG, suffix added") << "chart" << 0 << ""
                                           << "" << false << "chart.png" << QByteArray("\x89PNG");
        QTest::newRow("SVG, suffix added") << "chart" << 1 << ""
                                           << "" << false << "chart.svg" << QByteArray("<?xml");
        QTest::newRow("the name's suffix wins") << "chart.SVG" << 0 << ""
                                                << "" << false << "chart.SVG" << QByteArray("<?xml");
        QTest::newRow("an added suffix is asked about: yes")
            << "chart" << 0 << "old"
            << "" << false << "chart.png" << QByteArray("\x89PNG");
        QTest::newRow("an added suffix is asked about: no")
            << "chart" << 0 << "old"
            << "n" << false << "chart.png" << QByteArray("old");
        QTest::newRow("a folder that is not there") << "none/chart.png" << 0 << ""
                                                    << "" << false << "none/chart.png" << QByteArray();
        QTest::newRow("a full disk keeps the old chart") << "chart.png" << 0 << "old"
                                                         << "" << true << "chart.png" << QByteArray();
    }
    void saveChart() {
        QFETCH(QString, chosen);
        QFETCH(int, filter);
        QFETCH(QString, old);
        QFETCH(QString, answers);
        QFETCH(bool, fullDisk);
        QFETCH(QString, written);
        QFETCH(QByteArray, starts);
        if (!old.isEmpty())
            write(QStringLiteral("chart.png"), old.toUtf8());
        open();
        m_files.nextPaths = QStringList{path(chosen)};
        m_files.chosenFilter = filter;
        if (answers == QLatin1String("n"))
            m_prompter.answers.push_back(Prompter::Answer::No);
        {
            std::optional<FileSizeLimit> full;
            if (fullDisk)
                full.emplace(100);
            find<QPushButton>("SaveChartButton")->click();
        }
        QTRY_COMPARE(m_prompter.errors.size(), starts.isEmpty() ? 1 : 0);
        QCOMPARE(m_prompter.questions.size(), !old.isEmpty() && chosen == QLatin1String("chart") ? 1 : 0);
        if (starts.isEmpty()) {
            QVERIFY(m_prompter.errors[0].startsWith(path(written) + QLatin1String(" cannot be written: ")));
            QCOMPARE(bytes(written), old.toUtf8());
        } else {
            QVERIFY(bytes(written).startsWith(starts));
        }
        if (starts.startsWith("\x89PNG"))
            QCOMPARE(QImage::fromData(bytes(written)).size(),
                     m_form->chart().size().toSize() * m_form->devicePixelRatio());
    }

    // The chart command's picture: drawn and written with no window shown.
    void renderWithoutAWindow() {
        const SpendingFigures figures = SpendingFigures::compute(
            CallLog(path(ProgramFiles::CallLogName)), RateNames::load(path(ProgramFiles::RateNameStoreName)),
            DayCount::fromDateTime(Now), 1);
        QCOMPARE(ChartImage::render(figures, SpendView::Week, SpendingChart::Stack::Rates, 30.0, Pound,
                                    QSize(800, 500), path(QStringLiteral("weeks.png"))),
                 QString());
        const QImage image(path(QStringLiteral("weeks.png")));
        QCOMPARE(image.size(), QSize(800, 500));
        QSet<QRgb> colours; // not an empty picture: the bars have colours of their own
        for (int x = 0; x < image.width(); x += 4) {
            for (int y = 0; y < image.height(); y += 4)
                colours.insert(image.pixel(x, y));
        }
        QVERIFY(colours.size() > 5);
        QCOMPARE(ChartImage::render(figures, SpendView::Day, SpendingChart::Stack::Bands, std::nullopt, Pound,
                                    QSize(400, 300), path(QStringLiteral("days.svg"))),
                 QString());
        QVERIFY(bytes(QStringLiteral("days.svg")).contains("<svg"));
    }

    // No log yet is nothing to tell of; a log that cannot be read is, and
    // every bar is a zero.
    void missingOrUnreadableLog_data() {
        QTest::addColumn<bool>("directory"); // in the log's place
        QTest::newRow("no log") << false;
        QTest::newRow("a directory in its place") << true;
    }
    void missingOrUnreadableLog() {
        QFETCH(bool, directory);
        QVERIFY(QFile::remove(path(ProgramFiles::CallLogName)));
        QVERIFY(!directory || QDir(m_dir->path()).mkdir(ProgramFiles::CallLogName));
        open();
        QCoreApplication::processEvents(); // a failure is told from the event loop
        QCOMPARE(m_prompter.errors.size(), directory ? 1 : 0);
        if (directory)
            QVERIFY(m_prompter.errors[0].startsWith(path(ProgramFiles::CallLogName) +
                                                    QLatin1String(" cannot be read: ")));
        m_form->showView(SpendView::Day);
        for (int bar = 0; bar < SpendingFigures::DayBars; ++bar)
            QCOMPARE(m_form->chart().barHeight(bar), 0.0);
    }

    // A dark palette gives a dark chart with light texts.
    // The month view draws what each month's calls would have cost with
    // another rate file; one that cannot be read is told of and drawn nowhere.
    void comparingWithAnotherRateFile() {
        RateTable cheap; // a penny a minute, no tax
        cheap.texts.fill(QStringLiteral(" 1.00"));
        for (int slot : {TaxSlot, MinimumSlot, ConnectionSlot, DiscountSlot})
            cheap.slot(slot) = QStringLiteral("0.00");
        QVERIFY(writeRateFile(ProgramFiles::rateFilePath(m_dir->path(), QStringLiteral("Cheap")), cheap));
        cheap.slot(7) = QStringLiteral("x");
        QVERIFY(writeRateFile(ProgramFiles::rateFilePath(m_dir->path(), QStringLiteral("Garbled")), cheap));
        open();
        auto* box = find<QComboBox>("CompareRateBox");
        const auto line = [this]() -> QLineSeries* {
            for (QAbstractSeries* series : m_form->chart().series())
                if (series->name().startsWith(QLatin1String("With ")))
                    return qobject_cast<QLineSeries*>(series);
            return nullptr;
        };
        QCOMPARE(box->currentText(), QStringLiteral("No other rate file"));
        QVERIFY(!line());

        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down); // Cheap: 14.4 minutes at a penny are 14.4p a call
        QVERIFY(line());
        QCOMPARE(line()->name(), QStringLiteral("With Cheap"));
        const QList<QPointF> points = line()->points();
        QCOMPARE(points.size(), SpendingFigures::MonthBars);
        QCOMPARE(QString::number(points.last().y(), 'f', 4), QStringLiteral("0.4200")); // three calls
        QCOMPARE(QString::number(points[points.size() - 2].y(), 'f', 4), QStringLiteral("0.1400"));
        QCOMPARE(points.first().y(), 0.0);
        QCOMPARE(m_form->chart().tariffTipFor(SpendingFigures::MonthBars - 1),
                 QStringLiteral("1 Mar 2025 \u2013 31 Mar 2025\nWith Cheap: \u00a30.42 (-\u00a33.33)"));

        m_form->showView(SpendView::Day);
        QVERIFY(!box->isEnabled());
        QVERIFY(!line());
        m_form->showView(SpendView::Month);
        QVERIFY(line());

        QTest::keyClick(box, Qt::Key_Down); // Garbled
        QVERIFY(!line());
        QCOMPARE(box->currentIndex(), 0);
        QTRY_COMPARE(m_prompter.errors,
                     QStringList{path(QStringLiteral("Garbled.dtr")) +
                                 QStringLiteral(" cannot be read: 'x' is not a valid floating point value")});
    }

    void followsThePalette() {
        open();
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
        m_form->setPalette(dark);
        QCOMPARE(m_form->chart().backgroundBrush().color(), QColor(0x20, 0x20, 0x20));
        QCOMPARE(m_form->chart().legend()->labelColor(), QColor(0xee, 0xee, 0xee));
        for (QAbstractAxis* axis : m_form->chart().axes())
            QCOMPARE(axis->labelsColor(), QColor(0xee, 0xee, 0xee));
    }
};

QTEST_MAIN(TestSpendingForm)
#include "test_spendingform.moc"
