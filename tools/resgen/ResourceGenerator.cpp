// Makes the program's resources: icons 101 (32 x 32) and 103 (16 x 16) as
// 256-colour .ico files, and sounds 104..109 as mono 16-bit PCM WAVE files.
// The output is a pure function of this file (no clock, no system random
// source), so running it again reproduces the committed files byte for byte.
//
//   quillon_resgen OUTPUT_DIR
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;

// ---------------------------------------------------------------- files

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// ---------------------------------------------------------------- icons

struct Rgb {
    double r, g, b;
};

// The 256-colour palette: a 6 x 6 x 6 cube and a 40-step grey ramp.
std::array<Rgb, 256> palette() {
    std::array<Rgb, 256> colours{};
    int i = 0;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colours[i++] = {r * 51.0, g * 51.0, b * 51.0};
    for (int k = 0; k < 40; ++k) {
        double v = 8.0 + k * 6.0;
        colours[i++] = {v, v, v};
    }
    return colours;
}

std::uint8_t nearest(const std::array<Rgb, 256>& colours, Rgb c) {
    int best = 0;
    double bestDistance = 1e30;
    for (int i = 0; i < 256; ++i) {
        double dr = colours[i].r - c.r, dg = colours[i].g - c.g, db = colours[i].b - c.b;
        double d = 0.3 * dr * dr + 0.59 * dg * dg + 0.11 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// The picture, in units of the icon's width (0..1): a dark tile with a loop
// of track, a yellow sensor marker on it and a red train.
struct Sample {
    Rgb colour;
    bool opaque;
};

Sample iconSample(double x, double y) {
    const Rgb tile{16, 20, 34}, rail{90, 150, 255}, sensor{255, 224, 0}, train{225, 40, 40},
        outline{0, 0, 0}, window{255, 255, 255};
    // Rounded tile.
    double cx = std::clamp(x, 0.16, 0.84), cy = std::clamp(y, 0.16, 0.84);
    if (std::hypot(x - cx, y - cy) > 0.16)
        return {{0, 0, 0}, false};
    Rgb c = tile;
    // Loop of track: an elliptical ring.
    double ring = std::hypot((x - 0.5) / 0.34, (y - 0.5) / 0.26);
    if (std::abs(ring - 1.0) < 0.13)
        c = rail;
    // Sensor marker at the top of the loop.
    double ds = std::hypot(x - 0.5, y - 0.24);
    if (ds < 0.105)
        c = ds > 0.075 ? outline : sensor;
    // Train on the right of the loop.
    double dt = std::hypot(x - 0.80, y - 0.56);
    if (dt < 0.17)
        c = dt > 0.135 ? outline : train;
    if (std::hypot(x - 0.77, y - 0.52) < 0.05)
        c = window;
    return {c, true};
}

std::vector<std::uint8_t> makeIcon(int size) {
    const auto colours = palette();
    const int grid = 4; // 4 x 4 samples per pixel
    std::vector<std::uint8_t> pixels(size * size);
    std::vector<bool> transparent(size * size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Rgb sum{0, 0, 0};
            int opaque = 0;
            for (int sy = 0; sy < grid; ++sy) {
                for (int sx = 0; sx < grid; ++sx) {
                    Sample s = iconSample((px + (sx + 0.5) / grid) / size,
                                          (py + (sy + 0.5) / grid) / size);
                    if (!s.opaque)
                        continue;
                    ++opaque;
                    sum = {sum.r + s.colour.r, sum.g + s.colour.g, sum.b + s.colour.b};
                }
            }
            int i = py * size + px;
            transparent[i] = opaque * 2 < grid * grid;
            Rgb average =
                opaque ? Rgb{sum.r / opaque, sum.g / opaque, sum.b / opaque} : Rgb{0, 0, 0};
            pixels[i] = transparent[i] ? 0 : nearest(colours, average);
        }
    }

    const int maskStride = (size + 31) / 32 * 4;
    const std::uint32_t imageSize = 40 + 256 * 4 + size * size + maskStride * size;
    std::vector<std::uint8_t> out;
    // Icon directory with one entry.
    put16(out, 0);
    put16(out, 1);
    put16(out, 1);
    out.push_back(static_cast<std::uint8_t>(size));
    out.push_back(static_cast<std::uint8_t>(size));
    out.push_back(0); // 256 colours
    out.push_back(0);
    put16(out, 1); // planes
    put16(out, 8); // bits per pixel
    put32(out, imageSize);
    put32(out, 22);
    // Bitmap header: the height counts the colour rows and the mask rows.
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(size));
    put32(out, static_cast<std::uint32_t>(size * 2));
    put16(out, 1);
    put16(out, 8);
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(size * size + maskStride * size));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (const Rgb& c : colours) {
        out.push_back(static_cast<std::uint8_t>(std::lround(c.b)));
        out.push_back(static_cast<std::uint8_t>(std::lround(c.g)));
        out.push_back(static_cast<std::uint8_t>(std::lround(c.r)));
        out.push_back(0);
    }
    // Rows bottom-up: colour indices, then the transparency mask.
    for (int py = size - 1; py >= 0; --py)
        for (int px = 0; px < size; ++px)
            out.push_back(pixels[py * size + px]);
    for (int py = size - 1; py >= 0; --py) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int px = 0; px < size; ++px)
            if (transparent[py * size + px])
                row[px / 8] |= static_cast<std::uint8_t>(0x80 >> (px % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// ---------------------------------------------------------------- sounds

constexpr int RATE = 22050;

// A fixed pseudo-random sequence in [-1, 1].
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

// A one-pole low-pass filter; cutoff in Hz.
class LowPass {
public:
    explicit LowPass(double cutoff) : a_(1.0 - std::exp(-2.0 * PI * cutoff / RATE)) {}
    double operator()(double x) { return y_ += a_ * (x - y_); }

private:
    double a_;
    double y_ = 0.0;
};

using Signal = std::vector<double>;

Signal silence(double seconds) {
    return Signal(static_cast<std::size_t>(seconds * RATE), 0.0);
}

double decay(double t, double tau) {
    return t < 0 ? 0.0 : std::exp(-t / tau);
}

// Adds a sine partial starting at start seconds with an exponential decay.
void addPartial(Signal& s, double start, double frequency, double amplitude, double tau) {
    for (std::size_t i = static_cast<std::size_t>(start * RATE); i < s.size(); ++i) {
        double t = static_cast<double>(i) / RATE - start;
        s[i] += amplitude * decay(t, tau) * std::sin(2 * PI * frequency * t);
    }
}

// Adds a burst of filtered noise starting at start seconds.
void addBurst(Signal& s, double start, double amplitude, double tau, double cutoff,
              std::uint32_t seed) {
    Noise noise(seed);
    LowPass filter(cutoff);
    for (std::size_t i = static_cast<std::size_t>(start * RATE); i < s.size(); ++i) {
        double t = static_cast<double>(i) / RATE - start;
        s[i] += amplitude * decay(t, tau) * filter(noise.next());
    }
}

// Scales to a peak of 0.8 of full scale and fades both ends over fade seconds.
void finish(Signal& s, double fade) {
    double peak = 0.0;
    for (double v : s)
        peak = std::max(peak, std::abs(v));
    std::size_t n = s.size();
    std::size_t ramp = std::max<std::size_t>(1, static_cast<std::size_t>(fade * RATE));
    for (std::size_t i = 0; i < n; ++i) {
        double gain = peak > 0 ? 0.8 / peak : 0.0;
        if (i < ramp)
            gain *= static_cast<double>(i) / ramp;
        if (n - 1 - i < ramp)
            gain *= static_cast<double>(n - 1 - i) / ramp;
        s[i] *= gain;
    }
}

// Switch: two short mechanical clicks, the throw and the lock.
Signal switchClick() {
    Signal s = silence(0.2);
    for (double start : {0.0, 0.085}) {
        addBurst(s, start, 1.0, 0.004, 6000, 104);
        addPartial(s, start, 1850, 0.5, 0.012);
        addPartial(s, start, 140, 0.6, 0.03);
    }
    finish(s, 0.001);
    return s;
}

// Collision: a heavy impact, ringing metal and two smaller crunches.
Signal crash() {
    Signal s = silence(1.3);
    addBurst(s, 0.0, 1.6, 0.30, 1800, 105);
    addBurst(s, 0.16, 0.7, 0.12, 3000, 1051);
    addBurst(s, 0.34, 0.5, 0.10, 2500, 1052);
    const double partials[][3] = {{196, 0.6, 0.45},
                                  {523, 0.35, 0.35},
                                  {1043, 0.25, 0.25},
                                  {1661, 0.18, 0.18},
                                  {2389, 0.1, 0.1}};
    for (const auto& p : partials)
        addPartial(s, 0.0, p[0], p[1], p[2]);
    addPartial(s, 0.0, 55, 0.8, 0.2);
    finish(s, 0.05);
    return s;
}

// Halt: a brake squeal that falls in pitch and dies away, then a clunk.
Signal halt() {
    Signal s = silence(2.0);
    double phase = 0.0;
    Noise noise(106);
    LowPass hiss(5000);
    for (std::size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / RATE;
        double frequency = 2300 - 500 * std::max(0.0, t - 1.0) + 25 * std::sin(2 * PI * 6 * t);
        phase += 2 * PI * frequency / RATE;
        double envelope = std::min(1.0, t / 0.12) * (t < 1.65 ? 1.0 - 0.6 * t / 1.65 : 0.0);
        double squeal = std::sin(phase) + 0.3 * std::sin(2 * phase);
        s[i] = envelope * (0.45 * squeal + 0.25 * hiss(noise.next()));
    }
    addPartial(s, 1.68, 90, 0.7, 0.06);
    addBurst(s, 1.68, 0.4, 0.02, 1500, 1061);
    finish(s, 0.02);
    return s;
}

// Sensor: a short electronic tick.
Signal sensorTick() {
    Signal s = silence(0.03);
    addPartial(s, 0.0, 2000, 1.0, 0.006);
    addBurst(s, 0.0, 0.3, 0.002, 8000, 107);
    finish(s, 0.001);
    return s;
}

// Moved train: a two-tone horn, one short and one long blast.
Signal horn() {
    Signal s = silence(3.5);
    const double blasts[][2] = {{0.0, 1.2}, {1.55, 3.35}};
    const double tones[] = {311.1, 370.0, 466.2};
    for (const auto& blast : blasts) {
        for (std::size_t i = static_cast<std::size_t>(blast[0] * RATE);
             i < static_cast<std::size_t>(blast[1] * RATE) && i < s.size(); ++i) {
            double t = static_cast<double>(i) / RATE;
            double attack = std::min(1.0, (t - blast[0]) / 0.06);
            double release = std::min(1.0, (blast[1] - t) / 0.15);
            double v = 0.0;
            for (double f : tones)
                for (int k = 1; k <= 8; ++k)
                    v += std::sin(2 * PI * f * k * t) / k;
            s[i] += attack * release * v;
        }
    }
    finish(s, 0.01);
    return s;
}

// New train: a rising three-note chime.
Signal chime() {
    Signal s = silence(1.8);
    const double notes[][2] = {{0.0, 659.3}, {0.22, 830.6}, {0.44, 987.8}};
    for (const auto& note : notes) {
        addPartial(s, note[0], note[1], 1.0, 0.45);
        addPartial(s, note[0], note[1] * 2.0, 0.35, 0.25);
        addPartial(s, note[0], note[1] * 2.76, 0.2, 0.15);
        addPartial(s, note[0], note[1] * 5.4, 0.08, 0.06);
    }
    finish(s, 0.08);
    return s;
}

std::vector<std::uint8_t> makeWave(const Signal& s) {
    std::vector<std::uint8_t> out;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(s.size() * 2);
    putTag(out, "RIFF");
    put32(out, 36 + dataSize);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, RATE);
    put32(out, RATE * 2);
    put16(out, 2);
    put16(out, 16);
    putTag(out, "data");
    put32(out, dataSize);
    for (double v : s) {
        long sample = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        put16(out,
              static_cast<unsigned>(static_cast<std::uint16_t>(static_cast<std::int16_t>(sample))));
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    struct Output {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Output outputs[] = {
        {"icon101.ico", makeIcon(32)},
        {"icon103.ico", makeIcon(16)},
        {"sound104.wav", makeWave(switchClick())},
        {"sound105.wav", makeWave(crash())},
        {"sound106.wav", makeWave(halt())},
        {"sound107.wav", makeWave(sensorTick())},
        {"sound108.wav", makeWave(horn())},
        {"sound109.wav", makeWave(chime())},
    };
    for (const Output& output : outputs) {
        if (!writeFile(dir + "/" + output.name, output.bytes)) {
            std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), output.name);
            return 1;
        }
    }
    return 0;
}
