#pragma once

#include <QString>

// WAV playback. Missing, unreadable or unplayable files are silent.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Returns at once; the sound is dropped when the device is busy, never queued.
    virtual void play(const QString& fileName) = 0;
    // Plays and returns when the sound has ended, or after timeoutMs at the latest.
    virtual void playAndWait(const QString& fileName, int timeoutMs) = 0;
    // Cuts short whatever this player is playing.
    virtual void stop() = 0;
};
