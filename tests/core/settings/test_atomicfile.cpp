#include "core/settings/AtomicFile.h"

#include "fakes/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAtomicFile : public QObject {
    Q_OBJECT

private slots:
    // A disk that fills up part way must not leave a short file in place of the old one.
    void aWriteThatFailsPartWayLeavesTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Calls.log"));
        QVERIFY(AtomicFile::replace(path, QByteArray(300, 'a')));
        QString reason;
        {
            FileSizeLimit limit(1000);
            QVERIFY(!AtomicFile::replace(path, QByteArray(5000, 'b'), &reason));
        }
        QVERIFY(!reason.isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray(300, 'a'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary file left
        QVERIFY(AtomicFile::replace(path, QByteArray()));
        QCOMPARE(QFileInfo(path).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "test_atomicfile.moc"
