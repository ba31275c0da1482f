// Writes its arguments after the first to the file named by the first, each ended by a NUL byte, so that an
// argument may hold any other byte, line breaks included. The file is written under a temporary name and
// renamed, so that a reader never sees half of it.
#include <cstdio>
#include <string>

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 2;
    const std::string target = argv[1];
    const std::string temporary = target + ".part";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f)
        return 1;
    for (int i = 2; i < argc; ++i) {
        std::fputs(argv[i], f);
        std::fputc('\0', f);
    }
    std::fclose(f);
    return std::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : 1;
}
