#include <cstdio>

int main() {
    std::puts("mirtal-rip: under construction");
    return 0;
}
