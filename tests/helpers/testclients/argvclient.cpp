// Writes its arguments after the first to the file named by the first, each ended by a NUL byte, so that an
// argument may hold any other byte, line breaks included.
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    std::FILE* f = argc > 1 ? std::fopen(argv[1], "wb") : nullptr;
    if (!f)
        return 1;
    for (int i = 2; i < argc; ++i)
        std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, f);
    return std::fclose(f) == 0 ? 0 : 1;
}
