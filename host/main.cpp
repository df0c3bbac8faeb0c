// The quendra command: entry point.
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << "quendra: makes embedded databases, calls hooks and plays scenario files\n";
        return 0;
    }
    std::cerr << "quendra: no command given (try --help)\n";
    return 2;
}
