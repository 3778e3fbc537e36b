// The update check's rules that do not need a network: version numbers, the
// descriptor and the server address of the configuration.
#include <gtest/gtest.h>

#include "update/update_descriptor.h"

namespace pit {
namespace {

TEST(UpdateVersion, DigitsAreComparedAsOneNumber) {
  struct Case {
    const char* current;
    const char* offered;
    bool newer;
  } cases[] = {
      {"14.0.0.3", "14.0.0.12", true},    // 14003 < 140012
      {"14.0.1.0", "14.0.0.12", true},    // 14010 < 140012, not field by field
      {"14.0.0.12", "14.0.0.12", false},  // equal
      {"14.0.0.13", "14.0.0.12", false},
      {"14.0.0.1", "", false},            // no descriptor: 0
      {"", "14.0.0.1", true},
      {"14.0.0.1", "14.0.0.x", false},    // not a number: nothing offered
      {"14.0.0.1", "99999999999999999999", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsNewerVersion(c.current, c.offered), c.newer) << c.current << " " << c.offered;
  EXPECT_EQ(VersionNumber("14.0.0.3"), 14003);
  EXPECT_EQ(VersionNumber("14.0.0.12"), 140012);
}

TEST(UpdateDescriptor, ReadsTheUpdateSectionOnly) {
  const UpdateDescriptor d = ParseUpdateDescriptor(
      "; opis\r\n[OTHER]\r\nVer=1.0\r\n[update]\r\n ver = 14.0.0.12 \r\nFILE=pit2014_setup.exe\r\n"
      "Sha256=ABCDEF0123456789abcdef0123456789ABCDEF0123456789abcdef0123456789\r\n[NEXT]\nFile=zly.exe\n");
  EXPECT_EQ(d.Ver, "14.0.0.12");
  EXPECT_EQ(d.File, "pit2014_setup.exe");
  EXPECT_EQ(d.Sha256, "abcdef0123456789abcdef0123456789abcdef0123456789abcdef0123456789");
  EXPECT_TRUE(IsSha256Text(d.Sha256));
  EXPECT_FALSE(IsSha256Text("abc"));
  const UpdateDescriptor none = ParseUpdateDescriptor("Ver=14.0.0.99\n");
  EXPECT_EQ(none.Ver, "");
}

TEST(UpdateDescriptor, InstallerNameNeverLeavesTheTemporaryFolder) {
  for (const char* ok : {"pit2014_setup.exe", "PIT 2014 (14.0.0.12).run"}) EXPECT_TRUE(IsSafeInstallerName(ok)) << ok;
  for (const char* bad : {"", "../pit.exe", "..", "/etc/passwd", "a/b.exe", "a\\b.exe", "C:pit.exe", ".bashrc",
                          "pit\n.exe"})
    EXPECT_FALSE(IsSafeInstallerName(bad)) << bad;
}

TEST(UpdateServer, HttpsUnlessHttpIsWrittenOut) {
  struct Case {
    const char* setting;
    const char* base;  // nullptr: refused
  } cases[] = {
      {"", "https://www.korvan.pl"},
      {"aktualizacje.korvan.pl/", "https://aktualizacje.korvan.pl"},
      {"HTTPS://example.org:8443", "https://example.org:8443"},
      {"http://127.0.0.1:8080/", "http://127.0.0.1:8080"},
      {"ftp://example.org", nullptr},
      {"file:///tmp", nullptr},
      {"https://", nullptr},
      {"https://exa mple.org", nullptr},
  };
  for (const Case& c : cases) {
    const auto base = UpdateServerBase(c.setting);
    if (c.base == nullptr) {
      EXPECT_FALSE(base.has_value()) << c.setting;
    } else {
      EXPECT_EQ(base.value_or("(odrzucony)"), c.base) << c.setting;
    }
  }
}

}  // namespace
}  // namespace pit
