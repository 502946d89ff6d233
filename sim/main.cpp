// tavik-sim: simulated Tavik devices on virtual MIDI ports (being built up; options follow).
#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tavik-sim %s\n", TAVIK_SIM_VERSION);
            return 0;
        }
    std::fprintf(stderr, "tavik-sim: not complete yet\n");
    return 1;
}
