#include "content/contact_sheet.h"

#include <algorithm>
#include <cstdio>

#include "content/art_math.h"
#include "core/bytes.h"
#include "image/png.h"

namespace content {

namespace {

struct Image {
    int width = 0;
    int height = 0;
    Bytes rgb;
};

Image blank(int w, int h) {
    return {w, h, Bytes(static_cast<std::size_t>(w) * h * 3, 0)};
}

void setRgb(Image& img, int x, int y, const std::uint8_t* rgb) {
    std::uint8_t* p = &img.rgb[(static_cast<std::size_t>(y) * img.width + x) * 3];
    p[0] = rgb[0];
    p[1] = rgb[1];
    p[2] = rgb[2];
}

std::array<std::uint8_t, 3> colourOf(const Palette& p, std::uint8_t index) {
    std::array<std::uint8_t, 3> c{};
    for (int k = 0; k < 3; ++k) {
        const int v = p[index * 3u + k] & 63;
        c[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>((v << 2) | (v >> 4));
    }
    return c;
}

Image indexed(const Bytes& data, std::size_t offset, int w, int h, const Palette& p) {
    Image img = blank(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t i = offset + static_cast<std::size_t>(y) * w + x;
            const auto c = colourOf(p, i < data.size() ? data[i] : 0);
            setRgb(img, x, y, c.data());
        }
    }
    return img;
}

Image grey(const Bytes& data, int w, int h) {
    Image img = blank(w, h);
    for (int i = 0; i < w * h; ++i) {
        const std::uint8_t v = data[static_cast<std::size_t>(i)];
        const std::uint8_t rgb[3] = {v, v, v};
        setRgb(img, i % w, i / w, rgb);
    }
    return img;
}

Image swatch(const Bytes& palette) {
    Palette p{};
    std::copy_n(palette.begin(), 768, p.begin());
    Image img = blank(512, 48);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 512; ++x) {
            const auto c = colourOf(p, static_cast<std::uint8_t>(x / 2));
            setRgb(img, x, y, c.data());
        }
    }
    return img;
}

// The tunnel as the first mapper shows it, from the same angle and depth formulas the
// program's polar table uses (centre of the table, no pan or twist).
Image tunnelPreview(const Bytes& remap, const Bytes& texture, const Palette& p) {
    Image img = blank(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const double cx = 160.0, cy = 100.0;
            double a = detAtan2(1.6 * (cx + 0.01 - x) / (cy + 0.01 - y), 1.0) * 40.7436 * 2.0;
            if (y > cy) {
                a += 256.0;
            }
            const double r = detSqrt(1.6 * (cy - y) * (cy - y) + (cx - x) * (cx - x));
            const double s = detSin(a / 8.17 * 0.5);
            const double g = detExp(1.2 - r / 260.0);
            const double q = detSin(detExp(1.2 - r / 25.0));
            const double w = q > 0 ? detSqrt(1000.0 * q) : 0.0;
            int d = static_cast<int>(r + s);
            d = static_cast<int>((d & 0xFFFF) + 45.0 * g);
            d = static_cast<int>((d & 0xFFFF) + 10.0 * w);
            if (q <= 0) {
                d = 0;
            }
            const int entry = (static_cast<int>(a) + 256 * (d & 0xFFFF)) & 0xFFFF;
            const int t = core::readLittle16(remap.data() + entry * 2u);
            const auto c = colourOf(p, texture[static_cast<std::size_t>(t)]);
            setRgb(img, x, y, c.data());
        }
    }
    return img;
}

// Frames of a dancer stream stamped as soft dots, side by side.
Image dancerPreview(const Bytes& stream, int frames, int step) {
    Image img = blank(kPictureWidth * frames, kPictureHeight);
    std::vector<int> light(static_cast<std::size_t>(img.width) * img.height, 0);
    std::size_t cursor = 0;
    auto word = [&](std::size_t at) {
        return at + 1 < stream.size() ? int{core::readLittle16(stream.data() + at)} : 0xFFFF;
    };
    for (int f = 0; f < frames * step; ++f) {
        while (true) {
            const int x = word(cursor);
            const int y = word(cursor + 2) / 2;
            const int next = word(cursor + 4);
            if (next == 0xFFFF) {
                cursor = 0;
                continue;
            }
            if (next == 0xFFFE) {
                cursor += 6;
                break;
            }
            if (f % step == 0) {
                const int ox = (f / step) * kPictureWidth;
                for (int dy = -15; dy <= 15; ++dy) {
                    for (int dx = -15; dx <= 15; ++dx) {
                        const int px = x + dx, py = y + dy;
                        const int d2 = dx * dx + dy * dy;
                        if (px >= 0 && px < kPictureWidth && py >= 0 && py < kPictureHeight &&
                            d2 < 225) {
                            light[static_cast<std::size_t>(py) * img.width + ox + px] +=
                                124 * (225 - d2) / 225;
                        }
                    }
                }
            }
            cursor += 4;
        }
    }
    const Palette p = makePaletteA();
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const int v = std::min(255, light[static_cast<std::size_t>(y) * img.width + x]);
            const auto c = colourOf(p, static_cast<std::uint8_t>(v));
            setRgb(img, x, y, c.data());
        }
    }
    return img;
}

bool save(const std::string& dir, const char* name, const Image& img) {
    return image::writePng(dir + "/" + name, img.width, img.height, img.rgb);
}

}  // namespace

bool writeEntryPictures(const std::string& directory, const std::vector<Bytes>& entries) {
    const Palette paletteA = makePaletteA();
    const Palette paletteB = makePaletteB();
    bool ok = true;
    for (int i = 0; i < kEntryCount && i < static_cast<int>(entries.size()); ++i) {
        const Bytes& e = entries[static_cast<std::size_t>(i)];
        const Palette& p = entryPalette(i) == 30 ? paletteB : paletteA;
        char name[64];
        std::snprintf(name, sizeof name, "entry_%02d.png", i);
        switch (entryKind(i)) {
            case EntryKind::remapTable:
                ok &= save(directory, name, tunnelPreview(e, entries[2], paletteA));
                break;
            case EntryKind::palette:
                ok &= save(directory, name, swatch(e));
                break;
            case EntryKind::map256:
                ok &= save(directory, name, indexed(e, 0, 256, 256, p));
                break;
            case EntryKind::heightMap:
                ok &= save(directory, name, grey(e, 256, 256));
                break;
            case EntryKind::picture:
                ok &= save(directory, name, indexed(e, 0, 320, 200, p));
                break;
            case EntryKind::tallMap:
                ok &= save(directory, name, indexed(e, 0, 320, 204, p));
                break;
            case EntryKind::titleStrip:
                ok &= save(directory, name, indexed(e, 0, 32, 1000, p));
                break;
            case EntryKind::band:
                ok &= save(directory, name, indexed(e, 0, 743, 26, p));
                break;
            case EntryKind::captionStrip:
                ok &= save(directory, name, indexed(e, 0, 320, 30, p));
                break;
            case EntryKind::dancer:
                ok &= save(directory, name, dancerPreview(e, 4, 15));
                break;
        }
    }
    // Entry 33 is also shown whole as a 320 x 200 picture.
    if (entries.size() > 33) {
        ok &=
            save(directory, "entry_33_as_picture.png", indexed(entries[33], 0, 320, 200, paletteA));
        ok &=
            save(directory, "entry_03_tunnel.png", tunnelPreview(entries[0], entries[3], paletteA));
    }
    const Bytes logo = buildLogoRgb();
    ok &= image::writePng(directory + "/logo.png", kLogoWidth, kLogoHeight, logo);
    return ok;
}

}  // namespace content
