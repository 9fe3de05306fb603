// Arbitrary bytes as the line of "res.dat". The reader must stay inside the
// line, agree with sscanf("%d %c %c") wherever the number fits in 32 bits,
// and every line it can produce must read back as the same record.

#include "fuzz_check.h"

#include "settings/settings_line.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool NumberFits(const char *line)
{
    size_t digits = 0, longest = 0;
    for (const char *p = line; *p; ++p) {
        digits = *p >= '0' && *p <= '9' ? digits + 1 : 0;
        longest = digits > longest ? digits : longest;
    }
    return longest <= 9;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Exactly the line and its terminator, so a read past it is caught.
    std::vector<char> line(data, data + size);
    line.push_back('\0');

    SettingsRecord parsed = {5, 5, 77};
    ParseSettingsLine(line.data(), &parsed);
    Check(parsed.windowed == 0 || parsed.windowed == 1);
    Check(parsed.lowDrawingDistance == 0 || parsed.lowDrawingDistance == 1);

    if (strlen(line.data()) == size && NumberFits(line.data())) {
        int code = 77;
        char display = 0, distance = 0;
        sscanf(line.data(), "%d %c %c", &code, &display, &distance);
        Check(parsed.resolutionCode == code);
        Check(parsed.windowed == (display == 'w' || display == 'W'));
        Check(parsed.lowDrawingDistance == (distance == 'l' || distance == 'L'));
    }

    char written[SettingsLineSize];
    Check(FormatSettingsLine(&parsed, written, sizeof written) > 0);
    SettingsRecord back = {9, 9, 9};
    ParseSettingsLine(written, &back);
    Check(memcmp(&back, &parsed, sizeof back) == 0);
    return 0;
}
