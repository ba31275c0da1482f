// Writes "out-" and its first argument to standard output, "err-" and it to standard error, then ends as the
// argument says: "sN" by raising signal N, a number by exiting with that code.
#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 0;
    std::printf("out-%s\n", argv[1]);
    std::fprintf(stderr, "err-%s\n", argv[1]);
    std::fflush(stdout);
    if (argv[1][0] == 's')
        std::raise(std::atoi(argv[1] + 1));
    return std::atoi(argv[1]);
}
