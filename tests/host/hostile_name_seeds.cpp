// Writes a seed of the archive fuzzer for every hostile name of the shared
// table: the name asked for, and an archive that stores it.
//
//   hostile_name_seeds FOLDER

#include "support/hostile_names.h"

#include <stdio.h>
#include <string.h>

#include <string>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    for (size_t i = 0; i < HostileNameCount; ++i) {
        const char *name = HostileNames[i].name;
        // The fuzzer's input: one byte n, n bytes of names, the archive file.
        std::string seed(1, static_cast<char>(strlen(name)));
        seed += name + ArchiveHolding(name);
        std::string path = std::string(argv[1]) + "/hostile-name-" + std::to_string(i);
        FILE *out = fopen(path.c_str(), "wb");
        if (!out || fwrite(seed.data(), 1, seed.size(), out) != seed.size() || fclose(out) != 0)
            return 1;
    }
    return 0;
}
