// varnolith_cli: the dialogue on the real streams. Arguments are ignored.

#include <unistd.h>

#include <exception>
#include <iostream>

#include "dialogue.hpp"

int main() {
    try {
        varnolith::DialogueOptions options;
        options.show_progress = isatty(STDERR_FILENO) == 1;
        return varnolith::run_dialogue(std::cin, std::cout, std::cerr, options);
    } catch (const std::exception& e) {
        std::cerr << "Error: " << e.what() << "\n";
        return 1;
    }
}
