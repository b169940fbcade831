#include <iostream>

int main() {
    std::cout << "varnolith_cli: the interactive equity dialogue arrives with the console; "
                 "the engine and libvarnolith are ready.\n";
    return 0;
}
