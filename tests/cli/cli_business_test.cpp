// PIT-36, PIT-36L and their attachments end to end through pit2014cli on
// the shipped definitions: each scenario makes a settlement, types values as
// a user would, reads the figures back and recalculates the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../support/cli_run.h"
#include "app/document.h"
#include "app/settlement.h"
#include "forms/definition_library.h"

namespace pit {
namespace {

using testsupport::CliRun;

class BusinessCliTest : public testsupport::CliFolderTest {
 protected:
  BusinessCliTest() : CliFolderTest(PIT_CLI, "pit-cli-business-") {}

  // Types the values; the reduction notice is expected or not.
  void Set(const std::string& file, const std::vector<std::string>& values, bool notice = false) {
    std::vector<std::string> args = {"set", file};
    args.insert(args.end(), values.begin(), values.end());
    const CliRun r = Cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("Program dokonał redukcji odliczeń") != std::string::npos, notice) << r.err;
  }

  void Expect(const std::string& file, const std::vector<std::pair<std::string, std::string>>& expected) {
    std::vector<std::string> args = {"get", file};
    std::string want;
    for (const auto& [field, value] : expected) {
      args.push_back(field);
      want += value + "\n";
    }
    EXPECT_EQ(Cli(args).out, want);
  }

  void RecalcChangesNothing(const std::string& file) {
    const CliRun before = Cli({"dump", file, "--json"});
    ASSERT_EQ(Cli({"recalc", file}).status, 0);
    EXPECT_EQ(Cli({"dump", file, "--json"}).out, before.out);
  }
};

// Joint PIT-36 with the taxpayer's PIT/M, a PIT/O and a PIT/D.
TEST_F(BusinessCliTest, JointPit36WithPitMPitOAndPitD) {
  const std::string file = File("joint.dc2014");
  const CliRun n = Cli({"new", "-o", file, "--kind", "1", "PIT-36", "PIT/M@1:1", "PIT/O@1", "PIT/D@1"});
  ASSERT_EQ(n.status, 0) << n.err;
  Set(file, {"1:45=60000", "1:46=1335", "1:49=5000", "1:88=30000", "1:89=1335"});
  Expect(file, {{"1:47", "58665,00"}, {"1:90", "28665,00"}, {"1:166", "87330,00"}, {"1:169", "43665,00"},
                {"1:170", "14607,36"}, {"1:4", "2"}});

  // Children's income, all of it: PIT/M 26 and 27 into PIT-36 131 and 133.
  Set(file, {"2:9=10000", "2:10=2000", "2:13=300,40", "2:29=X"});
  Expect(file, {{"2:26", "8000,00"}, {"2:13", "300,00"}, {"2:30", "8000,00"}, {"2:31", "300,00"},
                {"1:131", "8000,00"}, {"1:133", "300,00"}, {"1:142", "66665,00"}, {"1:305", "1"}});

  // Internet above its limit in PIT/O; housing savings above theirs in PIT/D.
  Set(file, {"3:20=1000"}, true);
  Set(file, {"4:47=20000"});
  Expect(file, {{"3:20", "760,00"}, {"1:144", "760,00"}, {"1:166", "94570,00"}, {"1:169", "47285,00"},
                {"1:170", "15910,56"}, {"1:179", "11340,00"}, {"1:180", "11340,00"}, {"1:181", "0,00"},
                {"1:182", "4570,56"}, {"1:185", "4571,00"}, {"1:186", "5300,00"}, {"1:187", "0,00"},
                {"1:188", "729,00"}, {"1:303", "1"}, {"1:306", "1"}});
  RecalcChangesNothing(file);
}

// Individual PIT-36 with two PIT/B: each PIT/B edit reaches PIT-36 53 and 54
// at once; the totals stand in the last copy.
TEST_F(BusinessCliTest, IndividualPit36WithTwoPitB) {
  const std::string file = File("twob.dc2014");
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "PIT-36", "PIT/B@1", "PIT/B@1"}).status, 0);
  Set(file, {"2:10=100000", "2:11=40000"});
  Expect(file, {{"1:53", "100000,00"}, {"1:54", "40000,00"}, {"1:55", "60000,00"}, {"3:56", "100000,00"}});
  Set(file, {"3:21=150", "3:26=20000", "3:28=10000"});
  Expect(file, {{"3:21", "100,00"}, {"3:27", "20000,00"}, {"2:56", "0,00"}, {"3:56", "120000,00"},
                {"3:57", "50000,00"}, {"3:58", "70000,00"}, {"1:53", "120000,00"}, {"1:54", "50000,00"},
                {"1:55", "70000,00"}, {"1:169", "70000,00"}, {"1:170", "12043,98"}, {"1:185", "12044,00"},
                {"1:302", "2"}, {"2:68", "1"}, {"3:68", "2"}});
  RecalcChangesNothing(file);
}

// PIT-36L with box 11, a PIT/B and a PIT/Z: PIT/B -> PIT/Z -> PIT-36L.
TEST_F(BusinessCliTest, Pit36LWithPitBAndPitZ) {
  const std::string file = File("36l.dc2014");
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "PIT-36L", "PIT/B@1", "PIT/Z@1"}).status, 0);
  Set(file, {"1:19=X"});
  Set(file, {"2:10=200000", "2:11=120000"});
  Expect(file, {{"1:19", "1"}, {"1:21", "200000,00"}, {"1:22", "120000,00"}, {"3:23", "200000,00"},
                {"3:34", "80000,00"}, {"1:23", "80000,00"}, {"1:41", "80000,00"}, {"1:43", "15200,00"},
                {"1:50", "15200,00"}, {"1:100", "1"}, {"1:101", "1"}});
  // The filer's NIP and names typed in the return reach both attachments.
  Set(file, {"1:0=5260250995", "1:5=NOWAK", "1:6=ANNA"});
  Expect(file, {{"2:0", "5260250995"}, {"2:3", "NOWAK"}, {"2:4", "ANNA"}, {"3:0", "5260250995"},
                {"3:2", "NOWAK"}, {"3:3", "ANNA"}});
  Set(file, {"1:120=5000"}, true);
  Expect(file, {{"1:120", "4495,20"}, {"1:34", "75504,80"}, {"1:43", "14345,95"}, {"1:50", "14346,00"}});
  RecalcChangesNothing(file);
}

// PIT-36 with a PIT/ZG (the country picked by name) and an SSE-R with two
// SSE/A sheets and an SSE-R/A sheet.
TEST_F(BusinessCliTest, Pit36WithPitZGAndZoneSheets) {
  const std::string file = File("zones.dc2014");
  // A zone sheet hangs under its SSE-R; nothing else hangs under an attachment.
  const CliRun wrongParent = Cli({"new", "-o", file, "--kind", "0", "PIT-36", "SSE-R@1", "PIT/ZG@2"});
  EXPECT_EQ(wrongParent.status, 2);
  EXPECT_NE(wrongParent.err.find("SSE-R"), std::string::npos) << wrongParent.err;
  const CliRun n = Cli({"new", "-o", file, "--kind", "0", "PIT-36", "PIT/ZG@1", "SSE-R@1", "SSE/A@3", "SSE/A@3",
                        "SSE-R/A@3"});
  ASSERT_EQ(n.status, 0) << n.err;
  Set(file, {"1:9=KOWALSKI", "1:10=JAN", "1:11=01021980"});
  Set(file, {"2:38=NIEMCY", "2:8=12000", "2:9=8000", "2:10=1200", "2:11=500", "2:12=500"});
  Expect(file, {{"2:7", "DE"}, {"2:26", "12500,00"}, {"2:27", "8500,00"}, {"2:28", "1200,00"}, {"2:37", "1"},
                {"2:2", "KOWALSKI"}, {"1:307", "1"}});
  Set(file, {"3:55=100000", "3:57=40", "3:61=1000", "3:67=500"});
  Expect(file, {{"3:3", "KOWALSKI, JAN, 01-02-1980"}, {"3:59", "40000,00"}, {"3:60", "60000,00"},
                {"3:64", "59000,00"}, {"3:68", "59500,00"}, {"3:96", "2"}, {"3:97", "1"}, {"1:309", "1"}});
  // The amount wins over the percentage.
  Set(file, {"3:58=30000"});
  Expect(file, {{"3:57", "0,00"}, {"3:59", "30000,00"}, {"3:60", "70000,00"}});
  Set(file, {"4:7=250000"});
  Set(file, {"5:7=1000"});
  Set(file, {"6:7=3000"});
  Expect(file, {{"4:1", "1"}, {"5:1", "2"}, {"5:2", "2"}, {"6:1", "1"}, {"4:3", "KOWALSKI, JAN, 01-02-1980"},
                {"6:3", "KOWALSKI, JAN, 01-02-1980"}});
  RecalcChangesNothing(file);
}

// The dates of a share in a partnership: every partnership has a start and
// an end at printed positions. The start may lie before the tax year, the
// end lies in it and not before the start; the export carries both and the
// taxpayer's income from the share; the check of required fields asks for
// what the page shows required in a partnership that has data (its start,
// not its end: a share that goes on has none).
TEST_F(BusinessCliTest, PitBShareDatesArePositionsExportedAndChecked) {
  const std::string file = File("shares.dc2014");
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "PIT-36", "PIT/B@1"}).status, 0);
  Set(file, {"2:19=ALFA SP. J.", "2:20=5260250995", "2:21=50", "2:24=01-03-2010", "2:25=30-06-2014",
             "2:26=10000", "2:28=4000", "2:32=BETA S.C.", "2:37=01-07-2014", "2:69=31-12-2014", "2:44=GAMMA"});
  Expect(file, {{"2:24", "01-03-2010"}, {"2:25", "30-06-2014"}, {"2:31", "3000,00"}, {"2:37", "01-07-2014"},
                {"2:69", "31-12-2014"}});

  const std::vector<std::pair<std::string, std::string>> refused = {
      {"2:25=31-12-2013", "2014"},        // ended before the tax year
      {"2:70=01-01-2015", "2014"},        // ends after it
      {"2:49=02-01-2015", "31-12-2014"},  // starts after it
      {"2:69=30-06-2014", "01-07-2014"},  // ends before it started
      {"2:24=01-07-2014", "30-06-2014"},  // a start after the end already typed
  };
  for (const auto& [typed, quoted] : refused) {
    const CliRun r = Cli({"set", file, typed});
    EXPECT_EQ(r.status, 4) << typed;
    EXPECT_NE(r.err.find("udziału"), std::string::npos) << typed << ": " << r.err;
    EXPECT_NE(r.err.find(quoted), std::string::npos) << typed << ": " << r.err;
  }
  Expect(file, {{"2:25", "30-06-2014"}, {"2:70", ""}, {"2:49", ""}, {"2:24", "01-03-2010"}, {"2:69", "31-12-2014"}});

  const CliRun out = Cli({"export", file, "--entry", "1", "-o", File("e"), "--no-html"});
  ASSERT_EQ(out.status, 0) << out.err;
  std::string folder = out.out;
  while (!folder.empty() && folder.back() == '\n') folder.pop_back();
  std::string xml;
  for (const auto& f : std::filesystem::directory_iterator(folder)) {
    if (f.path().extension() != ".xml") continue;
    std::ifstream in(f.path(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    xml += ss.str();
  }
  for (const char* element : {".P_24>01-03-2010<", ".P_25>30-06-2014<", ".P_27>5000.00<", ".P_31>3000.00<",
                              ".P_37>01-07-2014<", ".P_38>31-12-2014<", ".P_45>GAMMA<"})
    EXPECT_NE(xml.find(element), std::string::npos) << element << "\n" << xml;

  const CliRun check = Cli({"validate", file});
  for (const char* line : {"PIT/B pole: 33\n", "PIT/B pole: 46\n", "PIT/B pole: 50\n"})
    EXPECT_NE(check.out.find(line), std::string::npos) << line << "\n" << check.out;
  for (const char* line : {"PIT/B pole: 24\n", "PIT/B pole: 25\n", "PIT/B pole: 38\n", "PIT/B pole: 51\n"})
    EXPECT_EQ(check.out.find(line), std::string::npos) << line << "\n" << check.out;
  RecalcChangesNothing(file);
}

}  // namespace
}  // namespace pit
