// Writes "out-" and its first argument to standard output, "err-" and it to standard error, then as many
// bytes more to standard output as its second argument says, if it has one; then ends as the first argument
// says: "sN" by raising signal N, a number by exiting with that code.
#include <csignal>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 0;
    std::printf("out-%s\n", argv[1]);
    std::fprintf(stderr, "err-%s\n", argv[1]);
    for (long remaining = argc > 2 ? std::atol(argv[2]) : 0; remaining > 0; --remaining)
        std::putchar('x');
    if (std::fflush(stdout) != 0)
        return 1;
    if (argv[1][0] == 's')
        std::raise(std::atoi(argv[1] + 1));
    return std::atoi(argv[1]);
}
