// Arbitrary bytes read with ReadLine at arbitrary buffer sizes, as a loose
// file or as an archive entry with other bytes around it. The lines and the
// line ends that each call consumed must give back the input exactly: every
// line end one of 13, 10, 13 10 or 10 13, a line without one only when the
// buffer was full or the input ended, and never a byte past the entry.
//
// Input: the data, then (from the end) the shape: entry or loose, the
// bytes around an entry, and four buffer sizes used in turn.

#include "fuzz_check.h"

#include "gamefs/gamefs_internal.h"
#include "gamefs/text_line.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Checks one call that returned 1 and consumed data[from, to).
void CheckLine(const std::string &data, size_t from, size_t to, const char *buffer, int size)
{
    size_t text = from;
    while (text < to && !IsLineEnd(data[text]))
        ++text;
    size_t textLength = text - from;
    Check(textLength <= size_t(size - 1));
    Check(memcmp(buffer, data.data() + from, textLength) == 0 && buffer[textLength] == '\0');

    std::string end = data.substr(text, to - text);
    bool atEnd = to == data.size();
    if (end.empty()) {
        // Cut by a full buffer (the next byte is then no line end) or by the end.
        Check(textLength == size_t(size - 1) ? atEnd || !IsLineEnd(data[to]) : atEnd);
        Check(textLength > 0);
    } else if (end.size() == 1) {
        char other = end[0] == '\r' ? '\n' : '\r';
        Check(atEnd || data[to] != other);
    } else {
        Check(end == "\r\n" || end == "\n\r");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t inputSize)
{
    FuzzedDataProvider provider(input, inputSize);
    bool entry = provider.ConsumeBool();
    size_t before = provider.ConsumeIntegralInRange<size_t>(0, 8);
    bool marker = provider.ConsumeBool();
    size_t after = provider.ConsumeIntegralInRange<size_t>(0, 8);
    int sizes[4];
    for (int &s : sizes)
        s = provider.ConsumeIntegralInRange<int>(-1, 300);
    std::string data = provider.ConsumeRemainingBytesAsString();

    // The file: the data alone, or the data inside an archive-like file.
    std::string bytes = data;
    if (entry)
        bytes = std::string(before, '\r') + data + (marker ? "\x1a" : "") + std::string(after, '\n');
    std::vector<char> storage(bytes.begin(), bytes.end());
    storage.push_back('\0');  // fmemopen refuses a size of 0
    FILE *stream = fmemopen(storage.data(), bytes.size() + (bytes.empty() ? 1 : 0), "rb");
    Check(stream != nullptr);
    if (bytes.empty())
        Check(getc(stream) == 0);  // step over the stand-in byte: the file is empty

    FastFileEntry record{};
    record.offset = static_cast<uint32_t>(before);
    record.size = static_cast<uint32_t>(data.size());
    GameFile file{stream, nullptr, 0, 0};
    if (entry) {
        file.entry = &record;
        file.entryLeft = record.size;
        Check(fseek(stream, static_cast<long>(before), SEEK_SET) == 0);
    }
    long origin = ftell(stream);

    std::vector<char> buffer(302, 'x');
    size_t position = 0;
    bool progress = false;
    for (int s : sizes)
        progress = progress || s >= 2;
    for (size_t call = 0; call < 4 * (data.size() + 2); ++call) {
        int size = sizes[call % 4];
        buffer.assign(buffer.size(), 'x');
        int result = ReadLine(&file, buffer.data(), size);
        size_t now = static_cast<size_t>(ftell(stream) - origin);
        Check(now <= data.size());
        if (size < 2) {
            Check(result == 0 && now == position && buffer[0] == 'x');  // untouched
            if (!progress)
                break;
            continue;
        }
        if (result == 0) {
            Check(position == data.size() && now == position && buffer[0] == '\0');
            break;
        }
        CheckLine(data, position, now, buffer.data(), size);
        position = now;
    }
    Check(!progress || position == data.size());
    fclose(stream);
    return 0;
}
