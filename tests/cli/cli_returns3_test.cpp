// PIT-28 with its attachments, PIT-38 and PIT-39 end to end through the
// command-line program on the shipped definitions, as a user fills them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "../support/cli_run.h"

namespace pit {
namespace {

using testsupport::CliRun;

class Returns3Cli : public testsupport::CliFolderTest {
 protected:
  Returns3Cli() : CliFolderTest(PIT_CLI, "pit-cli3-") {}

  // Sets the values (each commit recalculates), then reads the fields.
  void Expect(const std::string& file, const std::vector<std::string>& set,
              const std::vector<std::pair<std::string, std::string>>& expected, bool notice) {
    std::vector<std::string> args = {"set", file};
    args.insert(args.end(), set.begin(), set.end());
    const CliRun s = Cli(args);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.err.find("Program dokonał redukcji odliczeń") != std::string::npos, notice) << s.err;
    std::vector<std::string> get = {"get", file};
    std::string want;
    for (const auto& [field, value] : expected) {
      get.push_back(field);
      want += field + "=" + value + "\n";
    }
    const CliRun g = Cli(get);
    std::string got;
    std::size_t at = 0;
    for (const auto& [field, value] : expected) {
      const std::size_t nl = g.out.find('\n', at);
      got += field + "=" + g.out.substr(at, nl - at) + "\n";
      at = nl == std::string::npos ? g.out.size() : nl + 1;
    }
    EXPECT_EQ(got, want);
  }

  void RecalcChangesNothing(const std::string& file) {
    const CliRun before = Cli({"dump", file, "--json"});
    ASSERT_EQ(Cli({"recalc", file}).status, 0);
    EXPECT_EQ(Cli({"dump", file, "--json"}).out, before.out);
  }
};

// A person on the registered lump sum: business revenue on PIT-28/A, a
// partnership on PIT-28/B, reliefs on PIT/O and PIT/D; every attachment edit
// changes the PIT-28 at once.
TEST_F(Returns3Cli, Pit28WithItsFourAttachments) {
  const std::string f = File("pit28.dc2014");
  const CliRun n = Cli({"new", "-o", f, "--kind", "0", "PIT-28", "PIT-28/A@1", "PIT-28/B@1", "PIT/O@1", "PIT/D@1"});
  ASSERT_EQ(n.status, 0) << n.err;

  Expect(f, {"2:16=100000", "1:63=3000"},
         {{"1:20", "100000,00"}, {"1:37", "100000,00"}, {"1:42", "100000,00"}, {"1:51", "100,00"},
          {"1:71", "3000,00"}, {"1:73", "3000,00"}, {"1:80", "97000,00"}, {"1:88", "5335,00"},
          {"1:102", "5335,00"}, {"1:109", "5335,00"}, {"1:129", "1"}, {"1:130", "1"}},
         false);
  Expect(f, {"3:24=150", "3:27=10000"},
         {{"3:24", "99,99"}, {"3:40", "9999,00"}, {"3:133", "1"}, {"3:98", "9999,00"}, {"1:27", "9999,00"},
          {"1:37", "109999,00"}, {"1:88", "5884,95"}},
         false);
  Expect(f, {"3:24=50"}, {{"3:40", "5000,00"}, {"1:27", "5000,00"}, {"1:37", "105000,00"}}, false);
  Expect(f, {"4:12=1000", "4:30=200"}, {{"4:28", "1000,00"}, {"1:64", "1000,00"}, {"1:98", "200,00"}}, false);
  Expect(f, {"5:29=2000", "5:30=2000"},
         {{"1:66", "2000,00"}, {"1:65", "101000,00"}, {"1:67", "99000,00"}, {"1:71", "6000,00"},
          {"1:73", "6000,00"}, {"1:80", "99000,00"}, {"1:88", "5445,00"}, {"1:96", "5445,00"},
          {"1:102", "5245,00"}, {"1:124", "1"}, {"1:125", "1"}},
         false);
  // Deductions above the revenue: capped, with the notice.
  Expect(f, {"1:63=200000"}, {{"1:63", "105000,00"}, {"1:64", "0,00"}, {"1:65", "0,00"}, {"1:102", "0,00"}},
         true);
  RecalcChangesNothing(f);
}

// A private landlord on the lump sum: the PIT-28 rows filled from a
// PIT-28/A cannot be typed (a typed amount would be reset at once); the
// rental goes into the PIT-28/A and reaches the PIT-28 at 8,5 %.
TEST_F(Returns3Cli, RentalRowsOfPit28ComeFromPit28A) {
  const std::string f = File("najem.dc2014");
  ASSERT_EQ(Cli({"new", "-o", f, "--kind", "0", "PIT-28"}).status, 0);
  for (const char* field : {"1:19=1000", "1:24=1000", "1:33=24000"}) {
    SCOPED_TRACE(field);
    const CliRun s = Cli({"set", f, field});
    EXPECT_EQ(s.status, 4) << s.err;
    EXPECT_NE(s.err.find("nie jest do wypełnienia"), std::string::npos) << s.err;
  }
  // The 20 % cell of the row is the user's while no PIT-28/A is attached.
  Expect(f, {"1:34=100"}, {{"1:34", "100,00"}}, false);

  const std::string g = File("najem-a.dc2014");
  ASSERT_EQ(Cli({"new", "-o", g, "--kind", "0", "PIT-28", "PIT-28/A@1"}).status, 0);
  Expect(g, {"2:21=24000"}, {{"1:33", "24000,00"}, {"1:35", "24000,00"}, {"1:38", "24000,00"}}, false);
  EXPECT_EQ(Cli({"set", g, "1:34=100"}).status, 4);
  RecalcChangesNothing(g);
}

// A joint settlement in which each spouse sold shares: each files a PIT-38,
// and the identification and the 1% of each stay with that person.
TEST_F(Returns3Cli, EachSpouseFilesAPit38) {
  const std::string f = File("pit38.dc2014");
  const CliRun n = Cli({"new", "-o", f, "--kind", "1", "PIT-38:1", "PIT-38:2"});
  ASSERT_EQ(n.status, 0) << n.err;
  Expect(f, {"1:5=Kowalski", "1:18=10000", "1:19=4000", "1:59=0000127204", "1:60=20"},
         {{"1:28", "19,00"}, {"1:24", "6000,00"}, {"1:27", "6000,00"}, {"1:29", "1140,00"}, {"1:32", "1140,00"},
          {"1:41", "1140,00"}, {"1:60", "11,40"}},
         true);
  Expect(f, {"2:5=Nowak", "2:18=5000", "2:19=6000"},
         {{"2:24", "0,00"}, {"2:25", "1000,00"}, {"2:27", "0,00"}, {"2:32", "0,00"}, {"2:60", "0,00"},
          {"1:5", "Kowalski"}, {"2:5", "Nowak"}, {"1:60", "11,40"}, {"1:59", "0000127204"}, {"2:59", ""}},
         false);
  RecalcChangesNothing(f);
}

// A person who sold a flat.
TEST_F(Returns3Cli, Pit39) {
  const std::string f = File("pit39.dc2014");
  const CliRun n = Cli({"new", "-o", f, "--kind", "0", "PIT-39"});
  ASSERT_EQ(n.status, 0) << n.err;
  Expect(f, {"1:19=200000", "1:20=150000"},
         {{"1:22", "50000,00"}, {"1:23", "0,00"}, {"1:25", "50000,00"}, {"1:26", "9500,00"}, {"1:28", "9500,00"},
          {"1:35", "9500,00"}, {"1:3", "1"}},
         false);
  Expect(f, {"1:20=201234,56"}, {{"1:22", "0,00"}, {"1:23", "1234,00"}, {"1:28", "0,00"}, {"1:35", "0,00"}}, false);
  // The depreciation added to income (21) lessens the loss.
  Expect(f, {"1:19=100000", "1:20=150000", "1:21=10000"}, {{"1:22", "0,00"}, {"1:23", "40000,00"}}, false);
  RecalcChangesNothing(f);

  // The loss goes to the tax office in whole złoty, like the base and the
  // tax due; the amounts typed keep their grosze.
  const CliRun e = Cli({"export", f, "--entry", "1", "-o", (dir_ / "e").string(), "--no-html"});
  ASSERT_EQ(e.status, 0) << e.err;
  std::string folder = e.out;
  while (!folder.empty() && folder.back() == '\n') folder.pop_back();
  std::ifstream in(std::filesystem::path(folder) / ("P_" + std::filesystem::path(folder).filename().string() + ".xml"));
  const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const char* element : {".P_24>40000<", ".P_26>0<", ".P_29>0<", ".P_22>10000.00<", ".P_23>0.00<"})
    EXPECT_NE(xml.find(element), std::string::npos) << element << "\n" << xml;
}

}  // namespace
}  // namespace pit
