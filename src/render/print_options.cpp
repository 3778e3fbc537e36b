#include "print_options.h"

namespace pit::render {

PrintOptions& SharedPrintOptions() {
  static PrintOptions options;
  return options;
}

}  // namespace pit::render
