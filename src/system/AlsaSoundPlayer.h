#pragma once

#include "core/seams/SoundPlayer.h"

#include <QString>

#include <memory>
#include <mutex>
#include <string>

// SoundPlayer on ALSA, decoding with libsndfile. Each sound plays on a worker thread of its own
// that shares only a small status block with the player, so a worker stuck in a broken device can
// be left behind without anything being destroyed under it. A new sound replaces the one this
// player is playing, as the desktop's own event sounds do.
class AlsaSoundPlayer final : public SoundPlayer {
public:
    // device: an ALSA PCM name; "default" follows the desktop's sound setup.
    explicit AlsaSoundPlayer(const QString& device = QStringLiteral("default"));
    // Cuts the current sound short and waits for it at most a moment.
    ~AlsaSoundPlayer() override;

    void play(const QString& fileName) override;
    void playAndWait(const QString& fileName, int timeoutMs) override;
    void stop() override;

private:
    struct Playback;
    static void run(std::shared_ptr<Playback> playback, std::string path, std::string device);
    std::shared_ptr<Playback> start(const QString& fileName);

    const std::string m_device;
    std::mutex m_mutex;
    std::shared_ptr<Playback> m_current; // the latest sound started, possibly long finished
};
