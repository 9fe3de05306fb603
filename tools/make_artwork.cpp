// Draws the menu's artwork for Rumbelon: the 320x240 background picture
// (an 8-bit bitmap with a colour table, run-length encoded) and the program
// icon (32x32 and 16x16). Integer arithmetic only, so every build of this
// program writes the same bytes.
//
//   make_artwork <background.bmp> <icon.ico>
//
// The results are committed as resources/background.bmp and
// resources/rumbelon.ico; the host build's test artwork_reproducible
// checks that this program still writes exactly those bytes.

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

const int Width = 320;
const int Height = 240;
const int Horizon = 158;

// Colour table: sky bands, sun bands, two hill layers, ground and grid,
// the title's face and shadow.
const int SkyFirst = 1, SkyCount = 40;
const int SunFirst = 48, SunCount = 24;
const int FarHill = 80, NearHill = 81, Ground = 82, Grid = 83, GridGlow = 84;
const int TitleFace = 90, TitleEdge = 91, TitleShadow = 92, Star = 93;

struct Rgb {
    uint8_t r, g, b;
};

Rgb Mix(Rgb a, Rgb b, int step, int steps)
{
    return {uint8_t(a.r + (b.r - a.r) * step / steps), uint8_t(a.g + (b.g - a.g) * step / steps),
            uint8_t(a.b + (b.b - a.b) * step / steps)};
}

std::vector<Rgb> Palette()
{
    std::vector<Rgb> p(256, Rgb{0, 0, 0});
    const Rgb night = {18, 10, 52}, dusk = {120, 36, 110}, glow = {250, 140, 70};
    for (int i = 0; i < SkyCount; i++)
        p[SkyFirst + i] = i < SkyCount / 2 ? Mix(night, dusk, i, SkyCount / 2)
                                           : Mix(dusk, glow, i - SkyCount / 2, SkyCount / 2);
    for (int i = 0; i < SunCount; i++)
        p[SunFirst + i] = Mix({255, 236, 110}, {240, 60, 120}, i, SunCount - 1);
    p[FarHill] = {70, 24, 90};
    p[NearHill] = {36, 12, 56};
    p[Ground] = {20, 6, 34};
    p[Grid] = {230, 60, 200};
    p[GridGlow] = {110, 30, 120};
    p[TitleFace] = {255, 214, 64};
    p[TitleEdge] = {200, 90, 20};
    p[TitleShadow] = {8, 4, 20};
    p[Star] = {230, 230, 255};
    return p;
}

// Pseudo-random numbers for the stars: a fixed linear congruential sequence.
uint32_t NextRandom(uint32_t *state)
{
    *state = *state * 1664525u + 1013904223u;
    return *state >> 16;
}

// A ridge line as a sum of triangle waves: smooth enough, exact everywhere.
int Ridge(int x, int base, int a1, int p1, int a2, int p2, int shift)
{
    int t1 = (x + shift) % p1, t2 = (x * 3 + shift) % p2;
    int w1 = (t1 < p1 / 2 ? t1 : p1 - t1) * a1 * 2 / p1;
    int w2 = (t2 < p2 / 2 ? t2 : p2 - t2) * a2 * 2 / p2;
    return base - w1 - w2;
}

// 5x7 capitals for the title; each row's low five bits, leftmost first.
struct Glyph {
    char letter;
    uint8_t rows[7];
};
const Glyph Font[] = {
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}}, {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
};

bool GlyphPixel(char letter, int column, int row)
{
    for (const Glyph &g : Font)
        if (g.letter == letter)
            return (g.rows[row] >> (4 - column)) & 1;
    return false;
}

typedef std::vector<uint8_t> Pixels;  // rows top to bottom

void Set(Pixels &p, int x, int y, int colour)
{
    if (x >= 0 && x < Width && y >= 0 && y < Height)
        p[y * Width + x] = uint8_t(colour);
}

void DrawSkyAndSun(Pixels &p)
{
    for (int y = 0; y < Horizon; y++)
        for (int x = 0; x < Width; x++)
            p[y * Width + x] = uint8_t(SkyFirst + y * SkyCount / Horizon);
    uint32_t seed = 20240601;
    for (int i = 0; i < 60; i++) {
        int x = NextRandom(&seed) % Width, y = NextRandom(&seed) % 80;
        Set(p, x, y, Star);
    }
    const int cx = 224, cy = 128, radius = 44;
    for (int y = cy - radius; y <= cy; y++) {
        int dy = cy - y, band = (y - (cy - radius)) * SunCount / (radius + 1);
        // Horizontal gaps that widen towards the horizon.
        if (y > cy - 24 && (cy - y) % 8 < (y - (cy - 24)) / 6 + 1)
            continue;
        for (int x = cx - radius; x <= cx + radius; x++)
            if ((x - cx) * (x - cx) + dy * dy <= radius * radius)
                Set(p, x, y, SunFirst + band);
    }
}

void DrawHills(Pixels &p)
{
    for (int x = 0; x < Width; x++) {
        int far = Ridge(x, Horizon - 6, 34, 150, 14, 70, 40);
        int near = Ridge(x, Horizon + 2, 18, 110, 8, 46, 5);
        for (int y = far; y < Horizon; y++)
            Set(p, x, y, FarHill);
        for (int y = near; y < Horizon; y++)
            Set(p, x, y, NearHill);
    }
}

// A floor grid in perspective, its lines meeting at the sun's foot.
void DrawGround(Pixels &p)
{
    const int vanishX = 160;
    for (int y = Horizon; y < Height; y++) {
        int depth = y - Horizon + 1;
        for (int x = 0; x < Width; x++)
            p[y * Width + x] = Ground;
        // Rows grow further apart as they come nearer.
        bool rowLine = false;
        for (int k = 1; k < 40; k++)
            if (depth == k * k / 3 + 1)
                rowLine = true;
        for (int x = 0; x < Width; x++) {
            int offset = (x - vanishX) * 16;
            int lane = offset >= 0 ? offset % (depth * 24) : (-offset) % (depth * 24);
            if (rowLine)
                Set(p, x, y, Grid);
            else if (lane < 16)
                Set(p, x, y, Grid);
            else if (lane < 32 && depth > 20)
                Set(p, x, y, GridGlow);
        }
    }
}

void DrawTitle(Pixels &p)
{
    const char *title = "RUMBELON";
    const int scale = 5, advance = 6 * scale, top = 26;
    int left = (Width - (int(strlen(title)) * advance - scale)) / 2;
    for (int pass = 0; pass < 3; pass++)  // shadow, edge, face
        for (int i = 0; title[i]; i++)
            for (int row = 0; row < 7; row++)
                for (int column = 0; column < 5; column++) {
                    if (!GlyphPixel(title[i], column, row))
                        continue;
                    int x0 = left + i * advance + column * scale, y0 = top + row * scale;
                    for (int dy = 0; dy < scale; dy++)
                        for (int dx = 0; dx < scale; dx++) {
                            if (pass == 0)
                                Set(p, x0 + dx + 3, y0 + dy + 3, TitleShadow);
                            else if (pass == 1)
                                Set(p, x0 + dx, y0 + dy, TitleEdge);
                            else if (dy < scale - 1 && dx < scale - 1)
                                Set(p, x0 + dx, y0 + dy, TitleFace);
                        }
                }
}

void Put16(std::vector<uint8_t> &out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t> &out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// BITMAPINFOHEADER and colour table of an 8-bit picture.
void PutInfo(std::vector<uint8_t> &out, int width, int height, uint32_t compression, uint32_t size)
{
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, compression);
    Put32(out, size);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 256);
    Put32(out, 0);
    for (const Rgb &c : Palette()) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
}

// BI_RLE8, bottom-up: runs of equal bytes in encoded mode, everything
// else in absolute mode (at least 3 bytes, padded to an even length).
std::vector<uint8_t> EncodeRle8(const Pixels &p)
{
    std::vector<uint8_t> out;
    for (int y = Height - 1; y >= 0; y--) {
        const uint8_t *row = &p[y * Width];
        int x = 0;
        while (x < Width) {
            int run = 1;
            while (x + run < Width && run < 255 && row[x + run] == row[x])
                run++;
            if (run >= 3 || Width - x < 3) {
                out.push_back(uint8_t(run));
                out.push_back(row[x]);
                x += run;
                continue;
            }
            int literal = 0;  // up to where a run of three starts
            while (x + literal < Width && literal < 255) {
                int r = x + literal;
                if (r + 2 < Width && row[r] == row[r + 1] && row[r] == row[r + 2])
                    break;
                literal++;
            }
            if (literal < 3) {
                for (int i = 0; i < literal; i++) {
                    out.push_back(1);
                    out.push_back(row[x + i]);
                }
            } else {
                out.push_back(0);
                out.push_back(uint8_t(literal));
                out.insert(out.end(), row + x, row + x + literal);
                if (literal & 1)
                    out.push_back(0);
            }
            x += literal;
        }
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0);  // end of bitmap, or end of line
    }
    return out;
}

// The decoder that the check uses; it knows only what EncodeRle8 writes.
bool DecodeRle8(const std::vector<uint8_t> &rle, Pixels *p)
{
    p->assign(Width * Height, 0);
    size_t i = 0;
    int x = 0, y = Height - 1;
    while (i + 1 < rle.size()) {
        int count = rle[i], value = rle[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; k++)
                Set(*p, x++, y, value);
        } else if (value == 0) {
            x = 0;
            y--;
        } else if (value == 1) {
            return i == rle.size();
        } else if (value >= 3) {
            for (int k = 0; k < value && i < rle.size(); k++)
                Set(*p, x++, y, rle[i++]);
            i += value & 1;
        } else {
            return false;
        }
    }
    return false;
}

std::vector<uint8_t> Background(const Pixels &p)
{
    std::vector<uint8_t> rle = EncodeRle8(p);
    std::vector<uint8_t> out;
    const uint32_t offset = 14 + 40 + 256 * 4;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + uint32_t(rle.size()));
    Put32(out, 0);
    Put32(out, offset);
    PutInfo(out, Width, Height, 1 /* BI_RLE8 */, uint32_t(rle.size()));
    out.insert(out.end(), rle.begin(), rle.end());
    return out;
}

// The icon: the sun setting behind a hill, with the title's first letter.
// Transparent outside a disc.
uint8_t IconPixel(int x, int y, int size)
{
    int c = size * 8, px = x * 16 + 8, py = y * 16 + 8;  // sixteenths of a pixel
    int dx = px - c, dy = py - c;
    if (dx * dx + dy * dy > c * c)
        return 0;
    int column = x * 8 / size, row = y * 10 / size;  // letter on an 8x10 grid
    if (column >= 2 && column < 7 && row >= 1 && row < 8 && GlyphPixel('R', column - 2, row - 1))
        return TitleFace;
    if (py > c + c / 3)
        return NearHill;
    return uint8_t(SunFirst + y * SunCount / size);
}

bool Opaque(int x, int y, int size)
{
    int c = size * 8, dx = x * 16 + 8 - c, dy = y * 16 + 8 - c;
    return dx * dx + dy * dy <= c * c;
}

std::vector<uint8_t> IconImage(int size)
{
    std::vector<uint8_t> out;
    PutInfo(out, size, size * 2, 0, 0);  // height counts colour and mask
    for (int y = size - 1; y >= 0; y--)
        for (int x = 0; x < size; x++)
            out.push_back(IconPixel(x, y, size));
    const int maskStride = (size / 8 + 3) / 4 * 4;
    for (int y = size - 1; y >= 0; y--) {
        std::vector<uint8_t> mask(maskStride, 0);
        for (int x = 0; x < size; x++)
            if (!Opaque(x, y, size))
                mask[x / 8] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

std::vector<uint8_t> Icon()
{
    const int sizes[] = {32, 16};
    std::vector<uint8_t> images[2] = {IconImage(32), IconImage(16)};
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, 2);
    uint32_t offset = 6 + 2 * 16;
    for (int i = 0; i < 2; i++) {
        out.push_back(uint8_t(sizes[i]));
        out.push_back(uint8_t(sizes[i]));
        out.push_back(0);  // 256 colours
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 8);
        Put32(out, uint32_t(images[i].size()));
        Put32(out, offset);
        offset += uint32_t(images[i].size());
    }
    for (const std::vector<uint8_t> &image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool Write(const char *path, const std::vector<uint8_t> &bytes)
{
    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: make_artwork background.bmp icon.ico\n");
        return 2;
    }
    Pixels picture(Width * Height, 0);
    DrawSkyAndSun(picture);
    DrawHills(picture);
    DrawGround(picture);
    DrawTitle(picture);
    Pixels decoded;
    if (!DecodeRle8(EncodeRle8(picture), &decoded) || decoded != picture) {
        fprintf(stderr, "make_artwork: the run-length encoding does not round-trip\n");
        return 1;
    }
    if (!Write(argv[1], Background(picture)) || !Write(argv[2], Icon())) {
        perror("make_artwork");
        return 1;
    }
    return 0;
}
