#include <gtest/gtest.h>

#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "app/install_paths.h"
#include "refdata/dictionaries.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

// A scratch tree per test, with HOME and XDG_CACHE_HOME pointing into it.
class ScratchTree : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    root_ = fs::temp_directory_path() / ("pit-install-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(root_);
    for (const char* v : {"HOME", "XDG_CACHE_HOME"}) {
      const char* old = std::getenv(v);
      saved_.push_back({v, old ? std::optional<std::string>(old) : std::nullopt});
    }
    setenv("HOME", (root_ / "home").c_str(), 1);
    unsetenv("XDG_CACHE_HOME");
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  fs::path Make(const fs::path& relative) const {
    fs::create_directories(root_ / relative);
    return root_ / relative;
  }
  void Put(const fs::path& file, const std::string& text) const {
    ASSERT_TRUE(WriteFileAtomically(file.string(), std::vector<std::uint8_t>(text.begin(), text.end())));
  }

  fs::path root_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(ScratchTree, DataFolderOfTheBuildTreeAndOfAnInstallation) {
  Make("build/bin/dc");
  Make("usr/bin");
  Make("usr/share/pit2014/dc");
  Make("bare/bin");
  struct Case {
    const char* executables;
    fs::path expected;
  };
  const std::vector<Case> cases = {
      {"build/bin", root_ / "build/bin"},                // data beside the executables
      {"usr/bin", root_ / "usr/share/pit2014"},          // installed under a prefix
      {"bare/bin", root_ / "bare/bin"},                  // neither: where a user would look first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.executables);
    EXPECT_EQ(fs::path(DataFolderFor((root_ / c.executables).string())), c.expected);
  }
}

TEST_F(ScratchTree, UserCacheFolderFollowsTheEnvironment) {
  EXPECT_EQ(UserCacheFolder(), (root_ / "home/.cache/pit2014").string());
  setenv("XDG_CACHE_HOME", (root_ / "xdg").c_str(), 1);
  EXPECT_EQ(UserCacheFolder(), (root_ / "xdg/pit2014").string());
  // A relative XDG_CACHE_HOME is invalid by the base-directory rules.
  setenv("XDG_CACHE_HOME", "relative", 1);
  EXPECT_EQ(UserCacheFolder(), (root_ / "home/.cache/pit2014").string());
  unsetenv("XDG_CACHE_HOME");
  setenv("HOME", "", 1);
  EXPECT_EQ(UserCacheFolder(), "");
}

// The installed dictionaries are read from their folder and cached in the
// user's; the program's folder is never written. A changed source gets a
// cache of its own even when its time stamp is older than the old cache, as
// an upgrade's files are.
TEST_F(ScratchTree, DictionaryCachesLiveInTheUsersCacheAndFollowTheSource) {
  const fs::path bib = Make("usr/share/pit2014/bib");
  Put(bib / kTaxOfficeSourceName, "1435,URZAD SKARBOWY W TESTOWIE\n");
  Put(bib / kCountrySourceName, "PL,POLSKA\n");
  const auto past = fs::last_write_time(bib / kTaxOfficeSourceName) - std::chrono::hours(48);
  fs::last_write_time(bib / kTaxOfficeSourceName, past);

  const std::string cache = DictionaryCacheFolder(bib.string());
  ASSERT_FALSE(cache.empty());
  EXPECT_EQ(fs::path(cache).parent_path().parent_path(), root_ / "home/.cache/pit2014");
  EXPECT_EQ(fs::status(cache).permissions() & fs::perms::all, fs::perms::owner_all);

  const TaxOfficeLoad first = LoadTaxOffices(bib.string(), cache);
  EXPECT_TRUE(first.CacheWritten);
  EXPECT_TRUE(fs::exists(fs::path(cache) / kTaxOfficeCacheName));
  EXPECT_FALSE(fs::exists(bib / kTaxOfficeCacheName));
  EXPECT_EQ(first.Table.FindByCode("1435")->Name, "URZAD SKARBOWY W TESTOWIE");
  EXPECT_TRUE(LoadTaxOffices(bib.string(), DictionaryCacheFolder(bib.string())).FromCache);

  // The upgraded source is older than the cache just written, and longer.
  Put(bib / kTaxOfficeSourceName, "1435,URZAD SKARBOWY W TESTOWIE\n2206,URZAD SKARBOWY W NOWYM\n");
  fs::last_write_time(bib / kTaxOfficeSourceName, past + std::chrono::hours(1));
  const std::string upgraded = DictionaryCacheFolder(bib.string());
  EXPECT_NE(upgraded, cache);
  const TaxOfficeLoad second = LoadTaxOffices(bib.string(), upgraded);
  EXPECT_FALSE(second.FromCache);
  ASSERT_NE(second.Table.FindByCode("2206"), nullptr);

  // Without a cache folder the source is read every time and nothing written.
  const TaxOfficeLoad uncached = LoadTaxOffices(bib.string(), std::string());
  EXPECT_FALSE(uncached.FromCache);
  EXPECT_FALSE(uncached.CacheWritten);
  EXPECT_NE(uncached.Table.FindByCode("2206"), nullptr);
  EXPECT_FALSE(fs::exists(bib / kTaxOfficeCacheName));
}

}  // namespace
}  // namespace pit
