#include "system/AlsaSoundPlayer.h"

#include "core/storage/RegularFile.h"

#include <QFile>

#include <alsa/asoundlib.h>
#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <system_error>
#include <thread>
#include <vector>

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// How long a new sound waits for the one it replaces to let go of the device.
constexpr milliseconds kHandOverWait{300};
// How long the destructor waits for a sound to end before leaving it behind.
constexpr milliseconds kShutdownWait{500};
// A device that takes no data for this long is given up.
constexpr milliseconds kStallLimit{2000};
constexpr unsigned kLatencyUs = 100000;
constexpr sf_count_t kChunkFrames = 1024;

// ALSA prints its complaints on stderr; sound failures are silent here.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

// Shared by the player and one worker; it outlives whichever of them finishes last.
struct AlsaSoundPlayer::Playback {
    std::atomic<bool> stopRequested{false};
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    std::shared_ptr<Playback> previous; // the sound this one replaces; the worker lets go of it
    std::shared_ptr<Playback> stuck;    // an older sound that never let go of the device; set before done

    void requestStop() { stopRequested = true; }
    void finish() {
        std::lock_guard lock(mutex);
        done = true;
        changed.notify_all();
    }
    // True when the worker has finished by the deadline.
    bool waitDone(SteadyClock::time_point deadline) {
        std::unique_lock lock(mutex);
        return changed.wait_until(lock, deadline, [this] { return done; });
    }
};

namespace {

struct SoundFile {
    SNDFILE* handle = nullptr;
    SF_INFO info{};
    ~SoundFile() {
        if (handle)
            sf_close(handle);
    }
};

struct Pcm {
    snd_pcm_t* handle = nullptr;
    ~Pcm() {
        if (handle)
            snd_pcm_close(handle);
    }
};

// Writes one chunk, waiting while the device is full. False when the sound is to be abandoned.
bool writeChunk(snd_pcm_t* pcm, const short* data, snd_pcm_uframes_t frames, int channels,
                const std::atomic<bool>& stopRequested) {
    auto lastProgress = SteadyClock::now();
    while (frames > 0) {
        if (stopRequested)
            return false;
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm, data, frames);
        if (written == -EAGAIN) {
            if (SteadyClock::now() - lastProgress > kStallLimit)
                return false;
            snd_pcm_wait(pcm, 50);
            continue;
        }
        if (written < 0) {
            // An underrun (the decoder fell behind) or a suspend is recoverable; anything else is not.
            if (snd_pcm_recover(pcm, int(written), 1) < 0 || SteadyClock::now() - lastProgress > kStallLimit)
                return false;
            continue;
        }
        data += written * channels;
        frames -= snd_pcm_uframes_t(written);
        lastProgress = SteadyClock::now();
    }
    return true;
}

void playOnDevice(SoundFile& sound, const std::string& device, const std::atomic<bool>& stopRequested) {
    const int channels = sound.info.channels;
    Pcm pcm;
    // Non-blocking open: a device held exclusively by someone else drops the sound.
    if (snd_pcm_open(&pcm.handle, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
        pcm.handle = nullptr;
        return;
    }
    if (snd_pcm_set_params(pcm.handle, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(channels),
                           unsigned(sound.info.samplerate), 1, kLatencyUs) < 0)
        return;

    std::vector<short> buffer(size_t(kChunkFrames) * size_t(channels));
    bool complete = true;
    for (;;) {
        const sf_count_t frames = sf_readf_short(sound.handle, buffer.data(), kChunkFrames);
        if (frames <= 0)
            break;
        if (!writeChunk(pcm.handle, buffer.data(), snd_pcm_uframes_t(frames), channels, stopRequested)) {
            complete = false;
            break;
        }
    }
    if (complete && !stopRequested) {
        // Blocking drain: it lasts at most the short buffer, which bounds how late a stop can be.
        snd_pcm_nonblock(pcm.handle, 0);
        snd_pcm_drain(pcm.handle);
    } else {
        snd_pcm_drop(pcm.handle);
    }
}

} // namespace

void AlsaSoundPlayer::run(std::shared_ptr<Playback> playback, std::string path, std::string device) {
    // Let the replaced sound close the device first: a device without mixing would be busy. A sound
    // that has not let go by then holds a broken device, and this one is dropped rather than
    // joining it; later sounds wait for that one, so at most one worker is ever stuck.
    auto blocker = std::exchange(playback->previous, nullptr);
    const auto deadline = SteadyClock::now() + kHandOverWait;
    while (blocker && blocker->waitDone(deadline))
        blocker = blocker->stuck;
    if (blocker) {
        playback->stuck = std::move(blocker);
        playback->finish();
        return;
    }
    // Nothing may escape a detached thread, and whoever waits must hear that it ended.
    try {
        if (!playback->stopRequested && !path.empty()) {
            // Only a regular file is played: libsndfile's own open would wait for ever on a named pipe.
            SoundFile sound;
            if (const int fd = RegularFile::openForReading(QFile::decodeName(path.c_str())); fd >= 0)
                sound.handle = sf_open_fd(fd, SFM_READ, &sound.info, SF_TRUE); // closes fd, even on failure
            if (sound.handle && sound.info.channels >= 1 && sound.info.channels <= 8 &&
                sound.info.samplerate >= 1000 && sound.info.samplerate <= 384000)
                playOnDevice(sound, device, playback->stopRequested);
        }
    } catch (...) {
    }
    playback->finish();
}

AlsaSoundPlayer::AlsaSoundPlayer(const QString& device) : m_device(device.toStdString()) {
    static std::once_flag quieted;
    std::call_once(quieted, [] { snd_lib_error_set_handler(quietAlsa); });
}

AlsaSoundPlayer::~AlsaSoundPlayer() {
    std::shared_ptr<Playback> current;
    {
        std::lock_guard lock(m_mutex);
        current = std::move(m_current);
    }
    if (current) {
        current->requestStop();
        current->waitDone(SteadyClock::now() + kShutdownWait);
    }
}

std::shared_ptr<AlsaSoundPlayer::Playback> AlsaSoundPlayer::start(const QString& fileName) {
    auto playback = std::make_shared<Playback>();
    std::lock_guard lock(m_mutex);
    playback->previous = m_current;
    if (m_current)
        m_current->requestStop();
    try {
        std::thread(run, playback, std::string(QFile::encodeName(fileName).constData()), m_device).detach();
    } catch (const std::system_error&) {
        // No thread to play on: the sound is dropped like any other that cannot be played.
        playback->previous.reset();
        playback->finish();
    }
    m_current = playback;
    return playback;
}

void AlsaSoundPlayer::play(const QString& fileName) {
    start(fileName);
}

void AlsaSoundPlayer::playAndWait(const QString& fileName, int timeoutMs) {
    const auto deadline = SteadyClock::now() + milliseconds(qMax(0, timeoutMs));
    const auto playback = start(fileName);
    if (!playback->waitDone(deadline))
        playback->requestStop();
}

void AlsaSoundPlayer::stop() {
    std::lock_guard lock(m_mutex);
    if (m_current)
        m_current->requestStop();
}
