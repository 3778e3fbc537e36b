// The update descriptor comes from the network: any bytes must parse without
// a crash, and nothing taken from them may name a path outside the folder
// the installer goes into or an address of another kind than http(s).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "update/update_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const pit::UpdateDescriptor d = pit::ParseUpdateDescriptor(text);
  (void)pit::IsNewerVersion("14.0.0.3", d.Ver);
  if (pit::IsSafeInstallerName(d.File) && (d.File.find('/') != std::string::npos || d.File.rfind("..", 0) == 0))
    std::abort();
  if (pit::IsSha256Text(d.Sha256) && d.Sha256.size() != 64) std::abort();
  // The same bytes as the configuration's server address.
  if (const auto base = pit::UpdateServerBase(text)) {
    if (base->rfind("https://", 0) != 0 && base->rfind("http://", 0) != 0) std::abort();
  }
  return 0;
}
