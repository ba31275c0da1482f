// Ends as its first argument says: "sN" by raising signal N, a number by exiting with that code.
#include <csignal>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 0;
    if (argv[1][0] == 's')
        std::raise(std::atoi(argv[1] + 1));
    return std::atoi(argv[1]);
}
