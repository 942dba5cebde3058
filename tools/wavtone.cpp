// Writes the speaker test sound: a short rising chime as 16-bit mono PCM WAV. Used at build time.
//
//   zm_wavtone <out.wav>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSampleRate = 16000;
constexpr double kPi = 3.14159265358979323846;

void put16(std::vector<unsigned char>& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void put32(std::vector<unsigned char>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putText(std::vector<unsigned char>& out, const char* text)
{
    for (; *text; ++text)
        out.push_back(static_cast<unsigned char>(*text));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zm_wavtone <out.wav>\n");
        return 2;
    }
    // C5, E5, G5, C6, twice over, each note fading out.
    const double notes[] = {523.25, 659.25, 783.99, 1046.50, 523.25, 659.25, 783.99, 1046.50};
    const int noteSamples = kSampleRate * 2 / 5;
    std::vector<std::int16_t> samples;
    for (double frequency : notes) {
        for (int i = 0; i < noteSamples; ++i) {
            const double t = double(i) / kSampleRate;
            const double attack = std::fmin(1.0, i / (0.01 * kSampleRate));
            const double envelope = attack * std::exp(-4.0 * t);
            const double value =
                envelope * (0.8 * std::sin(2 * kPi * frequency * t) + 0.2 * std::sin(4 * kPi * frequency * t));
            samples.push_back(static_cast<std::int16_t>(std::lround(value * 12000.0)));
        }
    }

    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<unsigned char> file;
    putText(file, "RIFF");
    put32(file, 36 + dataBytes);
    putText(file, "WAVEfmt ");
    put32(file, 16);
    put16(file, 1); // PCM
    put16(file, 1); // mono
    put32(file, kSampleRate);
    put32(file, kSampleRate * 2);
    put16(file, 2);
    put16(file, 16);
    putText(file, "data");
    put32(file, dataBytes);
    for (std::int16_t sample : samples)
        put16(file, static_cast<std::uint16_t>(sample));

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "zm_wavtone: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
