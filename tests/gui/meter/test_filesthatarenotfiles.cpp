// Every reader of the program's files with a named pipe in a file's place:
// nothing waits on the pipe, and the file is named where the user looks.
#include "LargeFormFixture.h"
#include "cli/CommandRun.h"
#include "core/calllog/KeptCalls.h"
#include "core/calllog/RecoveryFile.h"
#include "gui/shell/HelpWindow.h"
#include "system/AlsaSoundPlayer.h"

#include "fakes/PipeWatchdog.h"

#include <QTextBrowser>

#include <sys/stat.h>

class TestFilesThatAreNotFiles : public QObject, LargeFormFixture {
    Q_OBJECT

    // Where each kind of file is.
    QString pathOf(const QString& file) const {
        if (file == QLatin1String("help"))
            return path(HelpWindow::FileName);
        if (file == QLatin1String("sound"))
            return path(QStringLiteral("StartTimer.wav"));
        if (file == QLatin1String("kept calls"))
            return RecoveryFile(dir->path(), services.stateDirectory).path();
        return path(file);
    }

private slots:
    void init() { reset(); }

    void readersNameThePipeAndGoOn_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reader");
        QTest::addColumn<int>("status"); // of a command
        QTest::addColumn<QString>("said");
        const QString pipe = QStringLiteral("<F>: It is a named pipe, not a regular file");
        QTest::newRow("settings, report") << "Dialtaly.ini"
                                          << "report" << 1 << pipe;
        QTest::newRow("settings, report --by") << "Dialtaly.ini"
                                               << "report --by day" << 1 << pipe;
        QTest::newRow("settings, compare") << "Dialtaly.ini"
                                           << "compare" << 1 << pipe;
        QTest::newRow("settings, the window") << "Dialtaly.ini"
                                              << "window" << 0 << pipe;
        QTest::newRow("rate file, compare") << "Test.dtr"
                                            << "compare --json" << 1 << pipe;
        QTest::newRow("rate file, the window") << "Test.dtr"
                                               << "window" << 0 << pipe;
        QTest::newRow("rate-name store, report") << "CallRate.log"
                                                 << "report all --json" << 1 << pipe;
        QTest::newRow("rate-name store, report budget") << "CallRate.log"
                                                        << "report budget" << 1 << pipe;
        QTest::newRow("help, the help window")
            << "help"
            << "help" << 0 << "The help file <F> cannot be read: It is a named pipe, not a regular file.";
        // Sounds that cannot be played are silent by design.
        QTest::newRow("sound, the player") << "sound"
                                           << "sound" << 0 << QString();
        QTest::newRow("kept calls, the start")
            << "kept calls"
            << "start" << 0 << "<F>: It is a named pipe, not a regular file";
    }
    void readersNameThePipeAndGoOn() {
        QFETCH(QString, file);
        QFETCH(QString, reader);
        QFETCH(int, status);
        QFETCH(QString, said);
        const QString fifo = pathOf(file);
        QVERIFY(QDir().mkpath(QFileInfo(fifo).path()));
        QFile::remove(fifo);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        said.replace(QStringLiteral("<F>"), fifo);

        PipeWatchdog watchdog(fifo);
        QString shown; // what the user is told
        if (reader == QLatin1String("window")) {
            auto w = makeWindow();
            w->meter().ReadIniSettings(); // as after the configuration dialog
            w->meter().TransferRate();
            settle();
            QCOMPARE(prompter.errors.count(said), 1);
            shown = said;
        } else if (reader == QLatin1String("help")) {
            HelpWindow help(fifo);
            help.showTopic(1);
            shown = help.browser()->toPlainText();
        } else if (reader == QLatin1String("sound")) {
            AlsaSoundPlayer player;
            player.playAndWait(fifo, 120000);
        } else if (reader == QLatin1String("start")) {
            const KeptCalls::Report report = KeptCalls::recoverAtStart(dir->path(), services.stateDirectory);
            QVERIFY(report.failed);
            shown = report.text;
        } else {
            QByteArray out, err;
            QCOMPARE(runCommand(reader.split(QLatin1Char(' ')), dir->path(), 0, out, err), status);
            QVERIFY(out.isEmpty());
            shown = QString::fromLocal8Bit(err);
        }
        QVERIFY2(!watchdog.release(), "a reader waited on the pipe");
        QVERIFY2(shown.contains(said), qPrintable(shown));
    }
};

QTEST_MAIN(TestFilesThatAreNotFiles)
#include "test_filesthatarenotfiles.moc"
