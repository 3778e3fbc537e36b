#pragma once
// Advances measured from the real font files through Qt, for the EMF writer.
// Needs a QGuiApplication (the font database).
#include <map>
#include <memory>
#include <tuple>

#include "emf/emf_writer.h"

class QRawFont;

namespace pit::emf {

class QtTextMeasurer : public TextMeasurer {
 public:
  QtTextMeasurer();
  ~QtTextMeasurer() override;
  std::vector<double> Advances(const Font& f, const std::u16string& text) override;

 private:
  using Key = std::tuple<std::string, bool, bool>;
  std::map<Key, std::unique_ptr<QRawFont>> fonts_;
};

}  // namespace pit::emf
