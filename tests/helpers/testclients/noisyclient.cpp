// Prints as many bytes as its argument says to standard output, then exits with 3.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char* argv[])
{
    long remaining = argc > 1 ? std::atol(argv[1]) : 0;
    const std::string block(65536, 'x');
    while (remaining > 0) {
        const long n =
            remaining < static_cast<long>(block.size()) ? remaining : static_cast<long>(block.size());
        if (std::fwrite(block.data(), 1, static_cast<size_t>(n), stdout) != static_cast<size_t>(n))
            return 1;
        remaining -= n;
    }
    std::fflush(stdout);
    return 3;
}
