#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "form_source.h"

namespace pit::emf {
struct TextMeasurer;
}

namespace dcgen {

// Layout widths taken from the same advances the pictures store, so a label
// that fits in the layout also fits when the picture is played.
class EmfMeasurer : public Measurer {
 public:
  explicit EmfMeasurer(pit::emf::TextMeasurer& m) : m_(m) {}
  double Width(const std::string& utf8, double em, bool bold) override;

 private:
  pit::emf::TextMeasurer& m_;
};

// The .dcg bytes of a page; `coloured` false leaves out the background tints.
std::vector<std::uint8_t> PagePicture(const Page& page, bool coloured,
                                      pit::emf::TextMeasurer& m);

// Draws page PAGE of form IDPIT from DC_DIR through the EMF player, outlines
// every field of that page with its object index, and saves a PNG; `crop`
// ("x0,y0,x1,y1", page pixels) saves only that part, enlarged three times.
int Preview(const std::string& dcDir, int idPit, int page, const std::string& png,
            const std::string& crop = "");

}  // namespace dcgen
