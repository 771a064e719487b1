// Writes the program's default event sounds: short chimes, 16-bit PCM mono WAV at 22050 Hz.
// Usage: make_sounds OUTPUT_DIRECTORY

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Note {
    double startS;
    double frequency;
    double lengthS;
};

struct Sound {
    const char* fileName;
    double lengthS;
    std::vector<Note> notes;
};

// A soft bell: a sine with a little second and third harmonic, quick attack, exponential decay.
void addNote(std::vector<double>& out, const Note& note) {
    const int first = int(note.startS * kRate);
    const int count = int(note.lengthS * kRate);
    const double attack = 0.006 * kRate;
    for (int i = 0; i < count && first + i < int(out.size()); ++i) {
        const double t = double(i) / kRate;
        const double envelope = std::min(1.0, i / attack) * std::exp(-t * 6.0 / note.lengthS);
        const double phase = 2 * kPi * note.frequency * t;
        out[size_t(first + i)] +=
            0.5 * envelope * (std::sin(phase) + 0.25 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase));
    }
}

bool writeSound(const std::string& directory, const Sound& sound) {
    std::vector<double> samples(size_t(sound.lengthS * kRate), 0.0);
    for (const Note& note : sound.notes)
        addNote(samples, note);
    // Fade the whole sound in and out so that it never starts or ends with a click.
    const size_t fade = size_t(0.01 * kRate);
    for (size_t i = 0; i < fade && i < samples.size(); ++i) {
        const double gain = double(i) / double(fade);
        samples[i] *= gain;
        samples[samples.size() - 1 - i] *= gain;
    }
    std::vector<short> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = short(std::lround(std::clamp(samples[i], -1.0, 1.0) * 32767.0));

    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const std::string path = directory + "/" + sound.fileName;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "make_sounds: %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const bool ok = sf_writef_short(file, pcm.data(), sf_count_t(pcm.size())) == sf_count_t(pcm.size());
    if (!ok)
        std::fprintf(stderr, "make_sounds: %s: %s\n", path.c_str(), sf_strerror(file));
    return sf_close(file) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds OUTPUT_DIRECTORY\n");
        return 2;
    }
    constexpr double C5 = 523.25, E5 = 659.26, G5 = 783.99, A5 = 880.0, C6 = 1046.50, E6 = 1318.51;
    const std::vector<Sound> sounds = {
        {"StartTimer.wav", 0.40, {{0.00, C5, 0.25}, {0.12, G5, 0.28}}},
        {"StopTimer.wav", 0.40, {{0.00, G5, 0.25}, {0.12, C5, 0.28}}},
        {"RunProgram.wav", 0.70, {{0.00, C5, 0.30}, {0.10, E5, 0.30}, {0.20, G5, 0.30}, {0.30, C6, 0.40}}},
        {"ExitProgram.wav", 0.70, {{0.00, C6, 0.30}, {0.10, G5, 0.30}, {0.20, E5, 0.30}, {0.30, C5, 0.40}}},
        {"SpendLimit.wav", 0.60, {{0.00, A5, 0.14}, {0.16, A5, 0.14}, {0.32, E6, 0.28}}},
    };
    bool ok = true;
    for (const Sound& sound : sounds)
        ok = writeSound(argv[1], sound) && ok;
    return ok ? 0 : 1;
}
