#include <cstdio>
int main() { std::puts("schemac"); return 0; }
