// Writes a seed of the archive fuzzer for every hostile name of the shared
// table: the name asked for, and an archive that stores it; and with a
// second folder, seeds of the extract fuzzer: each such archive, and a
// sound one with each kind of thing planted in an entry's way.
//
//   hostile_name_seeds FOLDER [EXTRACT_FOLDER]

#include "support/archive_bytes.h"
#include "support/hostile_names.h"

#include <stdio.h>
#include <string.h>

#include <string>

static bool WriteSeed(const std::string &path, const std::string &seed)
{
    FILE *out = fopen(path.c_str(), "wb");
    return out && fwrite(seed.data(), 1, seed.size(), out) == seed.size() && fclose(out) == 0;
}

int main(int argc, char **argv)
{
    if (argc != 2 && argc != 3)
        return 2;
    bool written = true;
    for (size_t i = 0; i < HostileNameCount; ++i) {
        const char *name = HostileNames[i].name;
        // The fuzzer's input: one byte n, n bytes of names, the archive file.
        std::string seed(1, static_cast<char>(strlen(name)));
        seed += name + ArchiveHolding(name);
        written = written && WriteSeed(std::string(argv[1]) + "/hostile-name-" + std::to_string(i), seed);
        // The extract fuzzer's: one byte of what to plant (here nothing), the archive file.
        if (argc == 3)
            written = written && WriteSeed(std::string(argv[2]) + "/hostile-name-" + std::to_string(i),
                                           std::string(1, '\0') + ArchiveHolding(name));
    }
    // Each plant (1 to 7) in the way of each of the entries (0 to 2).
    const std::string sound = ArchiveBytes({{"A.TXT", "a"}, {"SUB\\B.TXT", "bb"}, {"SUB/C", "c"}});
    for (int plant = 1; argc == 3 && plant < 8; ++plant) {
        for (int entry = 0; entry < 3; ++entry)
            written = written && WriteSeed(std::string(argv[2]) + "/plant-" + std::to_string(plant * 10 + entry),
                                           std::string(1, static_cast<char>(plant | entry << 3)) + sound);
    }
    return written ? 0 : 1;
}
