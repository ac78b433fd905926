#include <cstdio>

int main() {
    std::fprintf(stderr, "kresograf-cli: brak polecenia\n");
    return 2;
}
