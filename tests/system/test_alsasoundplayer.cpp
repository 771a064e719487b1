#include "system/AlsaSoundPlayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// ALSA reads ~/.asoundrc once, on its first use, so HOME points at this directory before any test runs.
// The default device writes what it is given to cap.wav; "stuck" writes into a pipe nobody reads and
// hangs like a broken device; "piped" writes into a pipe the test reads.
static QTemporaryDir* alsaHome = nullptr;

static QString inHome(const char* name) {
    return alsaHome->filePath(QString::fromLatin1(name));
}

namespace {

struct Audio {
    int rate = 0;
    int channels = 0;
    std::vector<short> samples;
};

void writeTone(const QString& path, int rate, int channels, double seconds, int subFormat) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | subFormat;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY(file);
    const int frames = int(seconds * rate);
    std::vector<double> samples(size_t(frames * channels));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[size_t(i * channels + c)] = 0.5 * std::sin(2 * M_PI * 440.0 * (c + 1) * i / rate);
    QCOMPARE(sf_writef_double(file, samples.data(), frames), sf_count_t(frames));
    QCOMPARE(sf_close(file), 0);
}

Audio readAudio(const QString& path) {
    Audio audio;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return audio;
    audio.rate = info.samplerate;
    audio.channels = info.channels;
    audio.samples.resize(size_t(info.frames * info.channels));
    audio.samples.resize(size_t(sf_readf_short(file, audio.samples.data(), info.frames) * info.channels));
    sf_close(file);
    return audio;
}

} // namespace

class TestAlsaSoundPlayer : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(inHome("cap.wav")); }

    void soundReachesTheDevice_data() {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("subFormat");
        QTest::newRow("16-bit mono 22050 Hz") << 22050 << 1 << int(SF_FORMAT_PCM_16);
        QTest::newRow("16-bit stereo 44100 Hz") << 44100 << 2 << int(SF_FORMAT_PCM_16);
        QTest::newRow("8-bit mono 8000 Hz") << 8000 << 1 << int(SF_FORMAT_PCM_U8);
        QTest::newRow("float mono 11025 Hz") << 11025 << 1 << int(SF_FORMAT_FLOAT);
    }
    void soundReachesTheDevice() {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, subFormat);
        const QString source = inHome("tone.wav");
        writeTone(source, rate, channels, 0.3, subFormat);
        const Audio sent = readAudio(source);
        QVERIFY(!sent.samples.empty());

        AlsaSoundPlayer player;
        player.playAndWait(source, 10000);

        const Audio heard = readAudio(inHome("cap.wav"));
        QCOMPARE(heard.rate, rate);
        QCOMPARE(heard.channels, channels);
        QCOMPARE(heard.samples.size(), sent.samples.size());
        QVERIFY(heard.samples == sent.samples);
    }

    void unplayableFilesAreSilent_data() {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("missing") << inHome("no such sound.wav");
        QTest::newRow("empty name") << QString();
        QTest::newRow("not a sound") << inHome(".asoundrc");
        QTest::newRow("a directory") << alsaHome->path();
    }
    void unplayableFilesAreSilent() {
        QFETCH(QString, fileName);
        AlsaSoundPlayer player;
        QElapsedTimer timer;
        timer.start();
        player.play(fileName);
        player.playAndWait(fileName, 60000);
        QVERIFY(timer.elapsed() < 3000);
        QVERIFY(!QFile::exists(inHome("cap.wav")));
    }

    // The device takes data until it is told to stop; the reader must then see the end of the
    // stream long before the whole sound has come through.
    void playingSoundIsCutShort_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("stop") << "stop";
        QTest::newRow("another sound") << "replace";
        QTest::newRow("player destroyed") << "destroy";
    }
    void playingSoundIsCutShort() {
        QFETCH(QString, how);
        const QString source = inHome("long.wav");
        writeTone(source, 22050, 1, 10.0, SF_FORMAT_PCM_16);
        const qint64 wholeSound = 10 * 22050 * 2;

        const int fd = open(QFile::encodeName(inHome("piped.fifo")).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        auto player = std::make_unique<AlsaSoundPlayer>(QStringLiteral("piped"));
        player->play(source);

        pollfd readable{fd, POLLIN, 0};
        QCOMPARE(poll(&readable, 1, 10000), 1); // the sound is under way
        if (how == "stop")
            player->stop();
        else if (how == "replace")
            player->play(inHome("no such sound.wav"));
        else
            player.reset();

        fcntl(fd, F_SETFL, 0);
        qint64 received = 0;
        char buffer[4096];
        for (;;) {
            readable.revents = 0;
            QCOMPARE(poll(&readable, 1, 10000), 1);
            const ssize_t n = read(fd, buffer, sizeof buffer);
            QVERIFY(n >= 0);
            if (n == 0)
                break;
            received += n;
        }
        close(fd);
        QVERIFY2(received < wholeSound / 2, qPrintable(QString::number(received)));
    }

    // A device that never takes the data must hold up neither the caller nor the player's end, and
    // later sounds are dropped rather than each leaving a worker stuck in it.
    void brokenDeviceDoesNotHang() {
        const QString source = inHome("long.wav");
        writeTone(source, 22050, 1, 10.0, SF_FORMAT_PCM_16);
        QElapsedTimer timer;
        timer.start();
        {
            AlsaSoundPlayer player(QStringLiteral("stuck"));
            player.playAndWait(source, 100);
            QVERIFY(timer.elapsed() < 3000);
            player.play(source);
            player.play(source);
            QVERIFY(timer.elapsed() < 3000);
            player.playAndWait(source, 20000);
            QVERIFY(timer.elapsed() < 3000);
        }
        QVERIFY(timer.elapsed() < 4000);
    }
};

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    alsaHome = &home;
    for (const char* fifo : {"stuck.fifo", "piped.fifo"})
        if (mkfifo(QFile::encodeName(inHome(fifo)).constData(), 0600) != 0)
            return 1;
    QFile rc(inHome(".asoundrc"));
    if (!rc.open(QIODevice::WriteOnly))
        return 1;
    rc.write(QStringLiteral("pcm.!default { type file; slave.pcm \"null\"; file \"%1\"; format \"wav\" }\n"
                            "pcm.stuck { type file; slave.pcm \"null\"; file \"%2\"; format \"raw\" }\n"
                            "pcm.piped { type file; slave.pcm \"null\"; file \"%3\"; format \"raw\" }\n")
                 .arg(inHome("cap.wav"), inHome("stuck.fifo"), inHome("piped.fifo"))
                 .toUtf8());
    rc.close();
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("ALSA_CONFIG_PATH");

    TestAlsaSoundPlayer test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_alsasoundplayer.moc"
