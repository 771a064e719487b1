#pragma once

#include "core/seams/SoundPlayer.h"

#include <QStringList>

class FakeSoundPlayer final : public SoundPlayer {
public:
    QStringList played, waited;
    int stops = 0;
    void play(const QString& fileName) override { played << fileName; }
    void playAndWait(const QString& fileName, int) override { waited << fileName; }
    void stop() override { ++stops; }
};
