// Burns about 50 ms of processor time, then exits: a CPU-bound job for bench_pace.
#include <ctime>

int main()
{
    const std::clock_t end = std::clock() + CLOCKS_PER_SEC / 20;
    volatile unsigned long x = 0;
    while (std::clock() < end)
        x = x + 1;
    return 0;
}
