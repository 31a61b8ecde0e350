#include <stdio.h>

extern const char pellwick_build_date[];

int main(void) { return puts(pellwick_build_date) < 0; }
