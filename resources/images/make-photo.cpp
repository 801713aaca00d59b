// Paints the about panel's photograph, a lake below mountains on an autumn
// morning, and writes it as a JPEG: photo.jpg, 548 x 372.  Every pixel comes
// from fixed arithmetic and a fixed-seed noise, so the picture is the same on
// every run.  Usage: make-photo OUTPUT.jpg
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

constexpr int kWidth = 548;
constexpr int kHeight = 372;
constexpr double kWaterLine = 214.0;

struct Rgb {
    double r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(const Rgb& c, double k) { return {c.r * k, c.g * k, c.b * k}; }

double SmoothStep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Integer hash to [0, 1).
double Hash(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / static_cast<double>(0x1000000);
}

double Noise2(double x, double y, int seed) {
    const int xi = static_cast<int>(std::floor(x));
    const int yi = static_cast<int>(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double ux = fx * fx * (3 - 2 * fx), uy = fy * fy * (3 - 2 * fy);
    const double a = Hash(xi, yi, seed), b = Hash(xi + 1, yi, seed);
    const double c = Hash(xi, yi + 1, seed), d = Hash(xi + 1, yi + 1, seed);
    return a + (b - a) * ux + (c - a) * uy + (a - b - c + d) * ux * uy;
}

double Fbm2(double x, double y, int seed, int octaves) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * Noise2(x, y, seed + i * 17);
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

double Fbm1(double x, int seed, int octaves) { return Fbm2(x, 0.5, seed, octaves); }

// Heights of the three ridges (screen y of the ridge line at column x).
double FarRidge(double x) { return 128 + 62 * Fbm1(x / 140.0, 11, 6) - 30 * std::exp(-std::pow((x - 170) / 90, 2)); }
double MidRidge(double x) { return 178 + 34 * Fbm1(x / 90.0, 23, 5); }
double NearRidge(double x) { return 200 + 14 * Fbm1(x / 45.0, 37, 5); }

const Rgb kSkyTop{38, 74, 138};
const Rgb kSkyMid{120, 150, 196};
const Rgb kSkyHorizon{246, 196, 150};
const Rgb kSun{255, 244, 214};
constexpr double kSunX = 392, kSunY = 118, kSunR = 15;

Rgb Sky(double x, double y) {
    const double t = y / kWaterLine;
    Rgb c = t < 0.55 ? Mix(kSkyTop, kSkyMid, t / 0.55) : Mix(kSkyMid, kSkyHorizon, (t - 0.55) / 0.45);
    const double d = std::hypot(x - kSunX, y - kSunY);
    c = Mix(c, Rgb{255, 226, 170}, 0.55 * std::exp(-d / 70));
    c = Mix(c, kSun, SmoothStep(kSunR + 1.5, kSunR - 1.0, d));
    // Thin morning clouds, lit from below near the sun.
    const double cloud = SmoothStep(0.52, 0.78, Fbm2(x / 120.0, y / 22.0, 5, 5)) * SmoothStep(40, 90, y) *
                         SmoothStep(200, 120, y);
    const Rgb cloudColor = Mix(Rgb{214, 170, 168}, Rgb{255, 214, 170}, std::exp(-d / 160));
    return Mix(c, cloudColor, 0.75 * cloud);
}

// The land above the water line, or the sky where no ridge covers (x, y).
Rgb Land(double x, double y) {
    const double haze = SmoothStep(90, kWaterLine, y);
    if (y >= NearRidge(x)) {
        // Near shore woods, autumn colours.
        const double n = Fbm2(x / 6.0, y / 5.0, 41, 4);
        Rgb c = Mix(Rgb{58, 64, 30}, Rgb{168, 92, 34}, SmoothStep(0.35, 0.75, n));
        c = Mix(c, Rgb{196, 150, 52}, 0.6 * SmoothStep(0.7, 0.9, Fbm2(x / 4.0, y / 4.0, 43, 3)));
        return Scale(c, 0.75 + 0.35 * n);
    }
    if (y >= MidRidge(x)) {
        // Pine slopes in the blue of the distance.
        const double n = Fbm2(x / 5.0, y / 9.0, 29, 4);
        const Rgb c = Mix(Rgb{40, 66, 62}, Rgb{92, 104, 84}, n);
        return Mix(c, Rgb{150, 160, 176}, 0.35 * haze);
    }
    const double ridge = FarRidge(x);
    if (y >= ridge) {
        // Rock and snow: snow on the upper slopes, lit from the right.
        const double depth = y - ridge;
        const double slope = (FarRidge(x + 8) - FarRidge(x - 8)) / 16.0;
        const double rock = Fbm2(x / 7.0, y / 4.0, 19, 4);
        const double light = std::clamp(0.62 - 0.9 * slope + 0.5 * (rock - 0.5), 0.2, 1.0);
        const double snow = SmoothStep(0.45, 0.6, Fbm2(x / 9.0, y / 7.0, 17, 4) + 0.25 - depth / 60.0) *
                            SmoothStep(160, 120, y);
        Rgb c = Mix(Rgb{92, 98, 128}, Rgb{238, 232, 240}, snow);
        c = Scale(c, 0.55 + 0.6 * light);
        return Mix(c, Rgb{196, 180, 190}, 0.55 * haze);
    }
    return Sky(x, y);
}

Rgb Water(double x, double y) {
    const double below = y - kWaterLine;
    // The mirror image, broken by ripples that grow toward the viewer.
    const double ripple = (0.6 + below / 30.0) * (Fbm2(x / 40.0, below * below / 60.0 + below / 1.5, 61, 3) - 0.5);
    const double mirrorY = kWaterLine - below * 1.05 - 1.0;
    Rgb c = Land(x + ripple * 6, std::max(0.0, mirrorY));
    c = Mix(Scale(c, 0.82), Rgb{36, 60, 84}, SmoothStep(0, 150, below) * 0.55);
    // Glints of the sun on the ripples.
    const double glint = std::exp(-std::pow((x - kSunX) / (10 + below * 0.5), 2)) *
                         SmoothStep(0.62, 0.8, Fbm2(x / 3.0, y / 1.2, 67, 2));
    c = Mix(c, Rgb{255, 232, 190}, 0.85 * glint);
    // A soft line where water meets the shore.
    c = Mix(c, Rgb{220, 206, 196}, 0.4 * std::exp(-below / 1.2));
    return c;
}

// Foreground: a reed bank at the bottom right and a birch at the left.
bool Reed(double x, double y, Rgb& out) {
    const double bank = 338 - 22 * SmoothStep(300, 548, x) + 8 * Fbm1(x / 25.0, 71, 3);
    if (y >= bank) {
        const double n = Fbm2(x / 3.0, y / 2.0, 73, 3);
        out = Scale(Mix(Rgb{64, 52, 28}, Rgb{150, 118, 60}, n), 0.9);
        return true;
    }
    for (int i = 0; i < 46; ++i) {
        const double baseX = 300 + i * 5.4 + 6 * Hash(i, 1, 79);
        const double height = 40 + 55 * Hash(i, 2, 79);
        const double top = bank - height;
        if (y < top || y > bank + 2) continue;
        const double t = (bank - y) / height;
        const double lean = (Hash(i, 3, 79) - 0.5) * 18 * t * t;
        if (std::fabs(x - (baseX + lean)) < 0.9 - 0.5 * t) {
            out = Mix(Rgb{96, 78, 40}, Rgb{196, 160, 92}, t);
            return true;
        }
        // Seed heads.
        if (t > 0.86 && std::fabs(x - (baseX + lean)) < 1.6) {
            out = Rgb{110, 70, 38};
            return true;
        }
    }
    return false;
}

bool Birch(double x, double y, Rgb& out) {
    // Trunk, slightly bent, white with dark marks.
    const double trunkX = 46 + 10 * std::sin(y / 70.0);
    const double half = 5.5 + 3.0 * (y / kHeight);
    if (std::fabs(x - trunkX) < half && y > 40) {
        const double mark = SmoothStep(0.62, 0.7, Fbm2(x / 3.0, y / 1.5, 83, 2));
        const double side = (x - trunkX) / half;
        Rgb c = Scale(Rgb{236, 232, 222}, 0.78 + 0.22 * (1 - side * side) - 0.18 * side);
        out = Mix(c, Rgb{34, 32, 30}, 0.9 * mark);
        return true;
    }
    // Golden foliage hanging from the top left.
    const double crown = Fbm2(x / 14.0, y / 12.0, 89, 5);
    const double reach = std::hypot((x - 60) / 120.0, (y + 30) / 130.0);
    if (crown - reach * 0.7 > 0.02) {
        const double leaf = Fbm2(x / 2.5, y / 2.5, 97, 3);
        if (leaf > 0.33) {
            out = Scale(Mix(Rgb{196, 120, 24}, Rgb{250, 206, 80}, leaf), 0.7 + 0.35 * crown);
            return true;
        }
    }
    return false;
}

Rgb Pixel(double x, double y) {
    Rgb c;
    if (!Birch(x, y, c) && !Reed(x, y, c)) c = y < kWaterLine ? Land(x, y) : Water(x, y);
    // Lens vignette and a little film grain.
    const double dx = (x - kWidth / 2.0) / kWidth, dy = (y - kHeight / 2.0) / kHeight;
    c = Scale(c, 1.0 - 0.55 * (dx * dx + dy * dy));
    const double grain = (Hash(static_cast<int>(x), static_cast<int>(y), 101) - 0.5) * 7;
    return {c.r + grain, c.g + grain, c.b + grain};
}

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-photo OUTPUT.jpg\n");
        return 2;
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            // Four samples a pixel, for smooth edges.
            Rgb sum{0, 0, 0};
            for (int s = 0; s < 4; ++s) {
                const Rgb p = Pixel(x + 0.25 + 0.5 * (s & 1), y + 0.25 + 0.5 * (s >> 1));
                sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
            }
            std::uint8_t* out = &rgb[(static_cast<std::size_t>(y) * kWidth + x) * 3];
            out[0] = Byte(sum.r / 4);
            out[1] = Byte(sum.g / 4);
            out[2] = Byte(sum.b / 4);
        }

    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &rgb[static_cast<std::size_t>(cinfo.next_scanline) * kWidth * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0 ? 0 : 1;
}
