#include "kelvoctl/Commands.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kelvo::ctl::run(args, std::cin, std::cout, std::cerr);
}
