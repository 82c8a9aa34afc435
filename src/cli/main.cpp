#include <cstdio>

// Placeholder until the command line lands.
int main() {
    std::puts("morvat-ex-cli");
    return 0;
}
