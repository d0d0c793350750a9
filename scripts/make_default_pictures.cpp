// make_default_pictures DIR: draws the four default background pictures (Water, Flower,
// Underwater, Mountain) as 480 x 640 JPEG files into DIR. Everything is drawn here from
// gradients and simple shapes, so the output is the same on every run.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "jpeg_writer.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;
constexpr double kPi = 3.14159265358979323846;

struct Colour {
    double r = 0;
    double g = 0;
    double b = 0;
};

Colour mix(Colour a, Colour b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// An RGB canvas with coverage-blended shapes: a pixel is sampled 4 x 4 times, so edges
// come out smooth without any drawing library.
class Picture {
public:
    Picture() : m_pixels(static_cast<std::size_t>(kWidth) * kHeight) {}

    // Paints every pixel with colourAt(x, y) in pixel units.
    void fill(const std::function<Colour(double, double)>& colourAt) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                at(x, y) = colourAt(x + 0.5, y + 0.5);
            }
        }
    }

    // Blends `colour` with the given opacity over the part of each pixel where inside(x, y)
    // holds, within the box [left, right) x [top, bottom).
    void shape(double left, double top, double right, double bottom, Colour colour, double opacity,
               const std::function<bool(double, double)>& inside) {
        const int x0 = std::max(0, static_cast<int>(std::floor(left)));
        const int y0 = std::max(0, static_cast<int>(std::floor(top)));
        const int x1 = std::min(kWidth, static_cast<int>(std::ceil(right)));
        const int y1 = std::min(kHeight, static_cast<int>(std::ceil(bottom)));
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy) {
                    for (int sx = 0; sx < 4; ++sx) {
                        hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) ? 1 : 0;
                    }
                }
                if (hits > 0) {
                    at(x, y) = mix(at(x, y), colour, opacity * hits / 16.0);
                }
            }
        }
    }

    void ellipse(double cx, double cy, double rx, double ry, Colour colour, double opacity = 1) {
        shape(cx - rx, cy - ry, cx + rx, cy + ry, colour, opacity, [=](double x, double y) {
            const double dx = (x - cx) / rx;
            const double dy = (y - cy) / ry;
            return dx * dx + dy * dy <= 1;
        });
    }

    void ring(double cx, double cy, double radius, double thickness, Colour colour,
              double opacity) {
        shape(cx - radius, cy - radius, cx + radius, cy + radius, colour, opacity,
              [=](double x, double y) {
                  const double d = std::hypot(x - cx, y - cy);
                  return d <= radius && d >= radius - thickness;
              });
    }

    // A filled polygon (even-odd rule) through the given corner points.
    void polygon(const std::vector<std::pair<double, double>>& points, Colour colour,
                 double opacity = 1) {
        double left = kWidth, top = kHeight, right = 0, bottom = 0;
        for (const auto& [px, py] : points) {
            left = std::min(left, px);
            right = std::max(right, px);
            top = std::min(top, py);
            bottom = std::max(bottom, py);
        }
        shape(left, top, right, bottom, colour, opacity, [&points](double x, double y) {
            bool in = false;
            for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                const auto [xi, yi] = points[i];
                const auto [xj, yj] = points[j];
                if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
                    in = !in;
                }
            }
            return in;
        });
    }

    std::vector<std::uint8_t> samples() const {
        std::vector<std::uint8_t> out;
        out.reserve(m_pixels.size() * 3);
        for (const Colour& c : m_pixels) {
            for (double v : {c.r, c.g, c.b}) {
                out.push_back(static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)));
            }
        }
        return out;
    }

private:
    Colour& at(int x, int y) { return m_pixels[static_cast<std::size_t>(y) * kWidth + x]; }

    std::vector<Colour> m_pixels;
};

Picture water() {
    Picture p;
    const Colour sky{150, 200, 235}, horizon{225, 238, 245};
    const Colour shallow{40, 120, 175}, deep{8, 40, 90};
    p.fill([&](double x, double y) {
        if (y < 200) {
            return mix(sky, horizon, y / 200);
        }
        // Ripples: brighter crests that crowd together towards the horizon.
        const double depth = (y - 200) / (kHeight - 200);
        const double crest = std::sin(y / (3 + 14 * depth) + 0.6 * std::sin(x / 37.0));
        return mix(mix(shallow, deep, depth), Colour{200, 230, 245},
                   crest > 0.85 ? (crest - 0.85) * 2.5 * (1 - depth * 0.6) : 0);
    });
    p.ellipse(360, 110, 38, 38, Colour{255, 250, 225});
    // The sun's path on the water.
    for (int i = 0; i < 14; ++i) {
        const double y = 212 + i * i * 2.2;
        p.ellipse(360, y, 10 + i * 3.5, 2 + i * 0.4, Colour{255, 245, 200}, 0.55 - i * 0.03);
    }
    return p;
}

Picture flower() {
    Picture p;
    p.fill([](double x, double y) {
        const Colour top{205, 230, 190}, bottom{60, 120, 70};
        return mix(mix(top, bottom, y / kHeight), Colour{235, 240, 205},
                   0.25 * std::exp(-std::pow((x - 120) / 160, 2) - std::pow((y - 120) / 160, 2)));
    });
    const Colour stem{50, 110, 45};
    p.polygon({{236, 330}, {246, 330}, {252, 640}, {240, 640}}, stem);
    p.polygon({{244, 470}, {330, 420}, {370, 430}, {300, 480}, {248, 500}}, Colour{70, 140, 60});
    p.polygon({{240, 540}, {150, 500}, {110, 505}, {180, 550}, {238, 565}}, Colour{70, 140, 60});
    const double cx = 240, cy = 260;
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        const double px = cx + std::cos(a) * 70, py = cy + std::sin(a) * 70;
        // An ellipse rotated to point away from the centre.
        p.shape(px - 60, py - 60, px + 60, py + 60, Colour{225, 80, 130}, 1,
                [=](double x, double y) {
                    const double u = (x - px) * std::cos(a) + (y - py) * std::sin(a);
                    const double v = -(x - px) * std::sin(a) + (y - py) * std::cos(a);
                    return (u / 58) * (u / 58) + (v / 28) * (v / 28) <= 1;
                });
    }
    for (int i = 0; i < 8; ++i) {
        const double a = (i + 0.5) * kPi / 4;
        p.ellipse(cx + std::cos(a) * 45, cy + std::sin(a) * 45, 26, 26, Colour{245, 150, 180});
    }
    p.ellipse(cx, cy, 34, 34, Colour{245, 200, 40});
    p.ellipse(cx - 8, cy - 8, 14, 14, Colour{255, 230, 110}, 0.8);
    return p;
}

Picture underwater() {
    Picture p;
    p.fill([](double x, double y) {
        const Colour top{30, 150, 170}, bottom{5, 30, 70};
        const Colour base = mix(top, bottom, y / kHeight);
        // Slanted shafts of light from the surface, fading with depth.
        const double shaft = std::pow(std::max(0.0, std::sin((x + y * 0.35) / 28.0)), 8);
        return mix(base, Colour{170, 230, 230}, shaft * 0.35 * (1 - y / kHeight));
    });
    p.polygon({{0, 560}, {120, 540}, {260, 555}, {400, 535}, {480, 548}, {480, 640}, {0, 640}},
              Colour{170, 150, 100});
    for (int i = 0; i < 5; ++i) {
        const double x = 40 + i * 22;
        p.polygon({{x, 560}, {x + 8, 560}, {x + 18 + i * 3, 430 + i * 12}, {x + 10, 440 + i * 12}},
                  Colour{40, 120, 70}, 0.9);
    }
    // A fish: body, tail and eye.
    p.ellipse(300, 330, 70, 34, Colour{245, 150, 40});
    p.polygon({{365, 330}, {410, 295}, {405, 365}}, Colour{230, 120, 30});
    p.ellipse(262, 322, 8, 8, Colour{255, 255, 255});
    p.ellipse(260, 322, 4, 4, Colour{20, 20, 30});
    for (int i = 0; i < 9; ++i) {
        const double x = 210 - i * 6 + 12 * std::sin(i * 1.3);
        const double y = 300 - i * 34.0;
        p.ring(x, y, 5 + i * 1.2, 2, Colour{220, 245, 250}, 0.8);
    }
    return p;
}

Picture mountain() {
    Picture p;
    p.fill([](double, double y) {
        const Colour high{70, 110, 180}, low{250, 195, 150};
        return mix(high, low, y / 380);
    });
    p.ellipse(120, 300, 40, 40, Colour{255, 235, 180});
    p.polygon({{-20, 460}, {150, 250}, {290, 400}, {380, 300}, {500, 420}, {500, 640}, {-20, 640}},
              Colour{110, 105, 150});
    p.polygon({{-20, 470},
               {90, 380},
               {230, 200},
               {330, 330},
               {420, 260},
               {500, 330},
               {500, 640},
               {-20, 640}},
              Colour{75, 75, 115});
    p.polygon({{230, 200}, {262, 240}, {248, 250}, {232, 236}, {212, 252}, {200, 238}},
              Colour{245, 245, 250});
    p.polygon({{420, 260}, {446, 279}, {430, 286}, {412, 276}, {398, 284}}, Colour{235, 235, 245});
    p.polygon({{-20, 570}, {120, 525}, {300, 550}, {500, 515}, {500, 640}, {-20, 640}},
              Colour{70, 120, 60});
    for (int i = 0; i < 6; ++i) {
        const double x = 30 + i * 80 + (i % 2) * 17;
        const double base = 585 + (i % 3) * 12;
        p.polygon({{x, base - 70 - i % 2 * 15}, {x + 22, base}, {x - 22, base}},
                  Colour{35, 75, 45});
    }
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const std::pair<const char*, Picture (*)()> pictures[] = {
        {"Water.jpg", water},
        {"Flower.jpg", flower},
        {"Underwater.jpg", underwater},
        {"Mountain.jpg", mountain},
    };
    for (const auto& [name, draw] : pictures) {
        const std::vector<std::uint8_t> jpeg = melodeck::encodeJpeg(
            draw().samples(), kWidth, kHeight, melodeck::JpegColour::Rgb, {.quality = 88});
        if (jpeg.empty() || !melodeck::writeBytes(dir / name, jpeg)) {
            std::fprintf(stderr, "cannot write %s\n", (dir / name).string().c_str());
            return 1;
        }
    }
    return 0;
}
