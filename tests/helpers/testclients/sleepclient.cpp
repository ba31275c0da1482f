// Sleeps for the milliseconds of its first argument, then creates the file named by the second, if any.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char* argv[])
{
    const long ms = argc > 1 ? std::atol(argv[1]) : 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    if (argc > 2) {
        std::FILE* f = std::fopen(argv[2], "wb");
        if (f)
            std::fclose(f);
    }
    return 0;
}
