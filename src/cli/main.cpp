// pit2014cli: works on settlement files with the same engine and data
// folders as the desktop program. Exit status: 0 done, 2 wrong usage,
// 3 a file could not be read or written, 4 a value was refused.
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "platform/file_owner.h"

int main(int argc, char** argv) {
  pit::platform::KeepOwnersOfReplacedFiles();
  std::vector<std::string> args(argv + 1, argv + argc);
  return pit::cli::Main(args, argc > 0 ? argv[0] : "pit2014cli");
}
