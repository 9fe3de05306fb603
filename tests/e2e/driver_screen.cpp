#include "driver.h"

#include <stdio.h>

namespace driver {

namespace {

// A top-down 32-bit DIB section of the given size, selected into `dc`.
HBITMAP MakeCanvas(HDC dc, int width, int height, uint32_t **bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *memory = nullptr;
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<uint32_t *>(memory);
    return canvas;
}

Image CopyFrom(HDC source, int x, int y, int width, int height)
{
    Image image;
    HDC dc = CreateCompatibleDC(source);
    uint32_t *bits = nullptr;
    HBITMAP canvas = MakeCanvas(dc, width, height, &bits);
    if (canvas) {
        HGDIOBJ old = SelectObject(dc, canvas);
        if (BitBlt(dc, 0, 0, width, height, source, x, y, SRCCOPY)) {
            GdiFlush();
            image.width = width;
            image.height = height;
            image.pixels.assign(bits, bits + size_t(width) * height);
            for (uint32_t &pixel : image.pixels)
                pixel &= 0xFFFFFF;
        }
        SelectObject(dc, old);
        DeleteObject(canvas);
    }
    DeleteDC(dc);
    return image;
}

}  // namespace

Image CaptureScreen(const RECT &area)
{
    HDC screen = GetDC(nullptr);
    Image image = CopyFrom(screen, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ReleaseDC(nullptr, screen);
    return image;
}

Image BitmapPixels(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof info, &info))
        return Image();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    Image image = CopyFrom(dc, 0, 0, info.bmWidth, info.bmHeight);
    SelectObject(dc, old);
    DeleteDC(dc);
    return image;
}

namespace {

uint32_t Crc32(const uint8_t *data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; i++) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; bit++)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t> &out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t> &out, const char *type, const std::vector<uint8_t> &data)
{
    PutBigEndian(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(&out[start], out.size() - start));
}

// A zlib stream of stored deflate blocks.
std::vector<uint8_t> Store(const std::vector<uint8_t> &raw)
{
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t done = 0;
    do {
        size_t length = raw.size() - done < 65535 ? raw.size() - done : 65535;
        out.push_back(done + length == raw.size() ? 1 : 0);
        out.push_back(uint8_t(length));
        out.push_back(uint8_t(length >> 8));
        out.push_back(uint8_t(~length));
        out.push_back(uint8_t(~length >> 8));
        out.insert(out.end(), raw.begin() + done, raw.begin() + done + length);
        done += length;
    } while (done < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

}  // namespace

bool WritePng(const Image &image, const std::wstring &path)
{
    std::vector<uint8_t> raw;
    for (int y = 0; y < image.height; y++) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < image.width; x++) {
            uint32_t pixel = image.At(x, y);
            raw.push_back(uint8_t(pixel >> 16));
            raw.push_back(uint8_t(pixel >> 8));
            raw.push_back(uint8_t(pixel));
        }
    }
    std::vector<uint8_t> header;
    PutBigEndian(header, uint32_t(image.width));
    PutBigEndian(header, uint32_t(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Store(raw));
    PutChunk(png, "IEND", {});

    FILE *file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
    return fclose(file) == 0 && written;
}

}  // namespace driver
