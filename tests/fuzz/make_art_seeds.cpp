// Writes the art fuzzer's seeds: the tests' made-up art files, one of each
// kind (none of Microsoft's art).   mirth_art_seeds DIR
#include <cstdio>
#include <fstream>

#include "tests/common/art_samples.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mirth_art_seeds DIR\n");
        return 2;
    }
    using namespace art_samples;
    struct Seed {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        {"complex.avb", ComplexCharacter(5)}, {"chat10.avb", OldCharacter()}, {"simple.avb", SimpleCharacter()},
        {"backdrop.bgb", Backdrop()},         {"backdrop.bmp", BmpBackdrop()},
    };
    for (const Seed& seed : seeds) {
        std::ofstream out(std::string(argv[1]) + "/" + seed.name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(seed.bytes.data()), std::streamsize(seed.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", seed.name);
            return 1;
        }
    }
    return 0;
}
