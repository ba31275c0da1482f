// Prints as many bytes as its first argument says to standard output and its second argument, if any, to
// standard error, then exits with 3.
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    for (long remaining = argc > 1 ? std::atol(argv[1]) : 0; remaining > 0; --remaining) {
        if (std::putchar('x') == EOF)
            return 1;
    }
    if (argc > 2)
        std::fputs(argv[2], stderr);
    return std::fflush(stdout) == 0 ? 3 : 1;
}
