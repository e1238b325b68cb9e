#include <cstdio>

int main()
{
    std::fprintf(stderr, "orvane-data: noch nicht verfügbar\n");
    return 2;
}
