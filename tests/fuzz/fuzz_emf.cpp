// Page pictures are files the user can replace: the reader must reject or
// accept any bytes without reading outside them, and what it accepts must
// hold together (every parsed length within what the record carried).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "emf/emf_reader.h"
#include "forms/definition_files.h"

namespace {

void Check(const std::uint8_t* data, std::size_t size) {
  pit::emf::Metafile mf;
  const pit::emf::ParseResult r = pit::emf::ParseEmf(data, size, mf);
  (void)r.Message();
  if (!r.ok()) return;
  if (mf.header.nBytes != size) std::abort();
  for (const auto& rec : mf.records) {
    if (const auto* t = std::get_if<pit::emf::TextRecord>(&rec)) {
      if (t->text.size() * 2 > size || (!t->dx.empty() && t->dx.size() < t->text.size())) std::abort();
    } else if (const auto* b = std::get_if<pit::emf::BitmapRecord>(&rec)) {
      const std::size_t stride = (std::size_t(b->width) * b->bitCount + 31) / 32 * 4;
      const std::size_t rows = b->height < 0 ? std::size_t(-std::int64_t(b->height)) : std::size_t(b->height);
      if (b->bits.size() != stride * rows) std::abort();
    }
  }
  // The engine's own size reader must agree that this is a usable picture.
  if (!pit::ReadPictureSize(std::vector<std::uint8_t>(data, data + size))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Exact-size copy so the sanitizer sees any read past the end.
  auto* copy = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
  if (size) std::memcpy(copy, data, size);
  Check(copy, size);
  // Most mutations change the length and stop at the nBytes check; with the
  // field made to agree, they reach the records.
  if (size >= pit::emf::kHeaderMinSize) {
    const auto n = static_cast<std::uint32_t>(size);
    for (int i = 0; i < 4; ++i) copy[48 + i] = static_cast<std::uint8_t>(n >> (8 * i));
    Check(copy, size);
  }
  std::free(copy);
  return 0;
}
