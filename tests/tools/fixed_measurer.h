#pragma once
// Every character 0.55 em wide, so that the rectangles dcgen lays out do not
// depend on the fonts of the machine.
#include <cstddef>
#include <string>

#include "form_source.h"

namespace dcgen::testsupport {

struct FixedMeasurer : Measurer {
  double Width(const std::string& s, double em, bool) override {
    std::size_t chars = 0;
    for (unsigned char c : s) chars += (c & 0xC0) != 0x80;
    return chars * em * 0.55;
  }
};

}  // namespace dcgen::testsupport
