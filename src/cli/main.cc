#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  return quillon::cli::Run(argc, argv, std::cout, std::cerr);
}
