#include "core/settings/ProgramFiles.h"

#include <QTest>

class TestProgramFiles : public QObject {
    Q_OBJECT
private slots:
    void dataDirectory_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("expected");
        QTest::newRow("--dir first") << "/data/x/"
                                     << "/env"
                                     << "/xdg"
                                     << "/data/x";
        QTest::newRow("then DIALTALLY_DIR") << ""
                                            << "/env/./y"
                                            << "/xdg"
                                            << "/env/y";
        QTest::newRow("then XDG_DATA_HOME") << ""
                                            << ""
                                            << "/xdg"
                                            << "/xdg/dialtally-pro";
        QTest::newRow("relative XDG_DATA_HOME ignored") << ""
                                                        << ""
                                                        << "xdg"
                                                        << "/home/u/.local/share/dialtally-pro";
        QTest::newRow("nothing set") << ""
                                     << ""
                                     << ""
                                     << "/home/u/.local/share/dialtally-pro";
    }
    void dataDirectory() {
        QFETCH(QString, option);
        QFETCH(QString, env);
        QFETCH(QString, xdg);
        QFETCH(QString, expected);
        QCOMPARE(ProgramFiles::dataDirectory(option, env, xdg, QStringLiteral("/home/u")), expected);
    }

    void stateDirectory_data() {
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_STATE_HOME") << "/xdg/state/"
                                        << "/xdg/state/dialtally-pro";
        QTest::newRow("relative XDG_STATE_HOME ignored") << "state"
                                                         << "/home/u/.local/state/dialtally-pro";
        QTest::newRow("nothing set") << ""
                                     << "/home/u/.local/state/dialtally-pro";
    }
    void stateDirectory() {
        QFETCH(QString, xdg);
        QFETCH(QString, expected);
        QCOMPARE(ProgramFiles::stateDirectory(xdg, QStringLiteral("/home/u")), expected);
    }
};

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "test_programfiles.moc"
