#include <iostream>
int main() { std::cerr << "pit2014cli\n"; return 2; }
