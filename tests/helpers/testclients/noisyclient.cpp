// Prints as many bytes as its argument says to standard output, then exits with 3.
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    for (long remaining = argc > 1 ? std::atol(argv[1]) : 0; remaining > 0; --remaining) {
        if (std::putchar('x') == EOF)
            return 1;
    }
    return std::fflush(stdout) == 0 ? 3 : 1;
}
