// The command line in a process of its own: what reaches the shell when the
// output fails (a pipe whose reader has gone ends nothing), and which words
// make a command.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {
constexpr int Wait = 20000; // a loaded machine, not a timing

enum class Output { Pipe, Closed, Full, NoReader, ReaderLeaves };

// A pipe whose reader has gone.
void noReader() {
    int ends[2];
    if (::pipe(ends) == 0) {
        ::close(ends[0]);
        ::dup2(ends[1], STDOUT_FILENO);
        ::close(ends[1]);
    }
}
} // namespace

class TestCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_data; // no log: no calls

private slots:
    void outputAndStatus_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("a command after --dir") << QStringList{"--dir", "DATA", "report"} << int(Output::Pipe)
                                               << 0 << QByteArray("No calls made today\n");
        QTest::newRow("an unknown word") << QStringList{"--dir", "DATA", "reprot"} << int(Output::Pipe) << 2
                                         << QByteArray("unknown command \"reprot\"");
        QTest::newRow("the toolkit's -platform before a command")
            << QStringList{"-platform", "offscreen", "report", "all", "--dir", "DATA"} << int(Output::Pipe)
            << 0 << QByteArray("No calls made in the log\n");
        QTest::newRow("a command's own help") << QStringList{"export", "--help"} << int(Output::Pipe) << 0
                                              << QByteArray("  export [--all|--period ");
        QTest::newRow("closed standard output")
            << QStringList{"report", "--dir", "DATA"} << int(Output::Closed) << 1
            << QByteArray("standard output: Bad file descriptor");
        QTest::newRow("full standard output") << QStringList{"export", "--dir", "DATA"} << int(Output::Full)
                                              << 1 << QByteArray("standard output: No space left on device");
        QTest::newRow("a pipe whose reader has gone")
            << QStringList{"export", "--dir", "DATA"} << int(Output::NoReader) << 1
            << QByteArray("dialtally: standard output: Broken pipe");
        QTest::newRow("a pipe whose reader goes halfway") // three megabytes of days
            << QStringList{"report", "--by", "day", "--from", "1900-01-01", "--dir", "DATA"}
            << int(Output::ReaderLeaves) << 1 << QByteArray("dialtally: standard output: Broken pipe");
    }
    void outputAndStatus() {
        QFETCH(QStringList, arguments);
        QFETCH(int, output);
        QFETCH(int, status);
        QFETCH(QByteArray, said);
        arguments.replaceInStrings(QStringLiteral("DATA"), m_data.path());
        QProcess command;
        if (output == int(Output::Closed))
            command.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
        else if (output == int(Output::Full))
            command.setStandardOutputFile(QStringLiteral("/dev/full"));
        else if (output == int(Output::NoReader))
            command.setChildProcessModifier(noReader);
        QProcess head;
        if (output == int(Output::ReaderLeaves)) {
            command.setStandardOutputProcess(&head);
            head.start(QStringLiteral("head"), {"-c", "10"});
        }
        command.start(QStringLiteral(DIALTALLY_PROGRAM), arguments);
        QVERIFY(command.waitForFinished(Wait));
        QCOMPARE(command.exitStatus(), QProcess::NormalExit);
        QCOMPARE(command.exitCode(), status);
        const QByteArray shown =
            status == 0 ? command.readAllStandardOutput() : command.readAllStandardError();
        QVERIFY2(shown.contains(said), shown);
    }

    // The chart is drawn without a display, whatever the format.
    void chartWithoutADisplay_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("starts");
        QTest::addColumn<QByteArray>("holds");
        QTest::newRow("png") << QStringLiteral("chart.png") << QByteArray("\x89PNG\r\n")
                             << QByteArray::fromHex("0000028a000001a4"); // 650 by 420 in its head
        QTest::newRow("svg, any case")
            << QStringLiteral("chart.SVG") << QByteArray("<?xml") << QByteArray("<svg");
    }
    void chartWithoutADisplay() {
        QFETCH(QString, file);
        QFETCH(QByteArray, starts);
        QFETCH(QByteArray, holds);
        const QString path = m_data.filePath(file);
        QProcess command;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        command.setProcessEnvironment(environment);
        command.start(QStringLiteral(DIALTALLY_PROGRAM),
                      {"chart", "--by", "month", "--output", path, "--width", "650", "--height", "420",
                       "--dir", m_data.path()});
        QVERIFY(command.waitForFinished(Wait));
        QCOMPARE(command.exitStatus(), QProcess::NormalExit);
        QVERIFY2(command.exitCode() == 0, command.readAllStandardError());
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY(bytes.startsWith(starts));
        QVERIFY(bytes.contains(holds));
    }
};

QTEST_GUILESS_MAIN(TestCommands)
#include "test_commands.moc"
