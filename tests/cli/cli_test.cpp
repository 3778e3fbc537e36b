// The command-line program end to end: it is run as a user runs it, on files
// in a temporary folder, with a small definition folder made here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

#include "forms/definition_files.h"
#include "support/cli_run.h"
#include "support/dc2013_file.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

using testsupport::CliRun;
using testsupport::JointPit37;
using testsupport::OldRecord;

class CliTest : public testsupport::CliFolderTest {
 protected:
  CliTest() : CliFolderTest(PIT_CLI, "pit-cli-") {}

  void SetUp() override {
    CliFolderTest::SetUp();
    fs::create_directories(dir_ / "dc");
    // A cut-down PIT-37 (2): the fields these tests type into, at the
    // numbers its calculation uses; PIT/O (6) with one amount.
    std::vector<FieldObject> f(160);
    auto amount = [](FieldObject& o, int option) {
      o.Typ = kLiczba;
      o.Option = option;
      o.DefValue = "0,00";
    };
    for (int k = 36; k <= 130; ++k) amount(f[static_cast<std::size_t>(k)], 1);
    amount(f[103], 12);
    f[38].ReadOnly = true;  // row 1 income: computed
    f[7].Typ = kUrzadSkarbowy;
    f[10].Typ = kTekst;
    f[10].MaxChar = 5;
    f[131].Typ = kSelect;
    f[132].Typ = kJedenProcent;
    f[132].Option = 1;
    ASSERT_TRUE(SaveFieldObjects(DcsPath(Dc(), 2), f));
    ASSERT_TRUE(SaveFieldObjects(DcsPath(Dc(), 6), {f[36]}));
  }

  std::string Dc() const { return (dir_ / "dc").string(); }
  std::string File(const std::string& name = "x.dc2014") const { return CliFolderTest::File(name); }

  // The small definition folder unless `withDc` is false (the shipped one).
  CliRun Cli(std::vector<std::string> args, bool withDc = true) const {
    if (withDc) args.insert(args.end(), {"--dc", Dc()});
    return CliFolderTest::Cli(args);
  }
};

TEST_F(CliTest, NewWritesThreeEntriesThatShareTheReturn) {
  const CliRun r = Cli({"new", "-o", File(), "--kind", "0", "PIT-37", "PIT/O@1", "PIT/D@1:1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(fs::file_size(File()), 777300u);
  const CliRun d = Cli({"dump", File(), "--json"});
  ASSERT_EQ(d.status, 0) << d.err;
  // Three entries; the attachments carry the main form's GUID and parent 1.
  const auto guidAt = d.out.find("\"guid\": \"");
  ASSERT_NE(guidAt, std::string::npos);
  const std::string guid = d.out.substr(guidAt + 9, 36);
  EXPECT_TRUE(IsGuidText(guid));
  std::size_t count = 0;
  for (auto p = d.out.find(guid); p != std::string::npos; p = d.out.find(guid, p + 1)) ++count;
  EXPECT_EQ(count, 3u);
  EXPECT_NE(d.out.find("\"code\": \"PIT/D\",\n    \"parent\": 1,\n    \"person\": 1"), std::string::npos) << d.out;
  // Slots were filled from the definitions where they exist (PIT-37, PIT/O).
  EXPECT_NE(d.out.find("\"values\": {\n      \"0\": \"0,00\""), std::string::npos) << d.out;
}

TEST_F(CliTest, SetNormalisesByTypeAndGetReadsBack) {
  ASSERT_EQ(Cli({"new", "-o", File(), "--kind", "0", "PIT-37", "PIT/O@1"}).status, 0);
  const CliRun s = Cli({"set", File(), "1:36=1234,5", "1:37=34.5", "1:103=1234,49", "1:131=0000127204",
                        "1:10=Kowal", "2:0=12"});
  ASSERT_EQ(s.status, 0) << s.err;
  const CliRun g = Cli({"get", File(), "1:36", "1:103", "1:131", "1:10", "2:0", "1:38"});
  ASSERT_EQ(g.status, 0) << g.err;
  // Row 1 income (38) is the calculation's: revenue less costs.
  EXPECT_EQ(g.out, "1234,50\n1234,00\n0000127204\nKowal\n12,00\n1200,00\n");
}

TEST_F(CliTest, RefusalsAndErrorsHaveTheirExitStatus) {
  ASSERT_EQ(Cli({"new", "-o", File(), "--kind", "0", "PIT-37", "PIT/D@1"}).status, 0);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string inMessage;
  } cases[] = {
      {{"set", File(), "1:131=123"}, 4, "KRS musi zawierać 10 znakow"},
      {{"set", File(), "1:36=abc"}, 4, "nie przyjmuje wartości \"abc\""},
      {{"set", File(), "1:36=12,345"}, 4, "najwyżej dwie po przecinku"},
      {{"set", File(), "1:36=1 000"}, 4, "nie przyjmuje"},
      {{"set", File(), "1:36=12345678901234"}, 4, "nie jest kwotą"},  // 10^13 zł and more is no amount
      {{"set", File(), "1:10=Kowalski"}, 4, "mieści najwyżej 5 znaków"},
      {{"set", File(), "1:10=A\nB"}, 4, "znaków sterujących"},
      {{"set", File(), "1:10=\xF0\x9F\x98\x80"}, 4, "polskiego alfabetu"},
      {{"get", File(), "1:0", "--force"}, 2, "--force"},
      {{"set", File(), "1:38=5"}, 4, "nie jest do wypełnienia"},
      {{"set", File(), "1:199=5"}, 4, "nie ma pola 199"},
      {{"set", File(), "9:0=5"}, 4, "nie ma pozycji 9"},
      {{"set", File(), "2:0=5"}, 3, "Brak pliku definicji formularza PIT/D"},
      {{"set", File(), "1:36"}, 2, ""},
      {{"get", File("brak.dc2014"), "1:0"}, 3, "Nie ma pliku rozliczeniowego."},
      {{"new", "-o", File("y.dc2014"), "--kind", "7", "PIT-37"}, 2, ""},
      {{"new", "-o", File("y.dc2014"), "--kind", "0", "PIT/O@1"}, 2, ""},
      {{"new", "-o", File("y.dc2014"), "--kind", "0", "PIT-99"}, 2, "nieznany druk"},
      {{"frobnicate"}, 2, ""},
  };
  for (const Case& c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[0] << " " << (c.args.size() > 2 ? c.args[2] : "") << ": " << r.err;
    EXPECT_NE(r.err.find(c.inMessage), std::string::npos) << r.err;
  }
  // A refused value leaves the earlier values of the same call committed and saved.
  EXPECT_EQ(Cli({"set", File(), "1:36=7", "1:131=12"}).status, 4);
  EXPECT_EQ(Cli({"get", File(), "1:36", "1:131"}).out, "7,00\n\n");
  EXPECT_FALSE(fs::exists(File("y.dc2014")));
}

// Nothing the user has is lost through the command line: a file that is no
// settlement is never written, one read damaged is not written back over
// without --force, and two commands on one file take turns.
TEST_F(CliTest, FilesAreNeverLostOrMixedUp) {
  {
    std::ofstream(File("notatki.dc2014")) << "to nie jest rozliczenie\n";
  }
  const auto notes = fs::file_size(File("notatki.dc2014"));
  for (const char* cmd : {"recalc", "set"}) {
    std::vector<std::string> args = {cmd, File("notatki.dc2014")};
    if (std::string(cmd) == "set") args.push_back("1:36=5");
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 3) << cmd;
    EXPECT_NE(r.err.find("nie jest rozliczeniem programu"), std::string::npos) << r.err;
    EXPECT_EQ(fs::file_size(File("notatki.dc2014")), notes);
  }

  ASSERT_EQ(Cli({"new", "-o", File(), "--kind", "0", "PIT-37"}).status, 0);
  EXPECT_EQ(fs::status(File()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  {
    std::ofstream(File(), std::ios::app | std::ios::binary) << "xyz";  // bytes appended by something else
  }
  const auto damaged = fs::file_size(File());
  const CliRun refused = Cli({"set", File(), "1:36=5"});
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("pod inną nazwą"), std::string::npos) << refused.err;
  EXPECT_EQ(fs::file_size(File()), damaged);
  const CliRun forced = Cli({"set", File(), "1:36=5", "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(fs::file_size(File()), damaged - 3);
  EXPECT_EQ(Cli({"get", File(), "1:36"}).out, "5,00\n");

  std::vector<std::string> tooMany = {"new", "-o", File("duzy.dc2014"), "--kind", "0"};
  for (int i = 0; i < 1001; ++i) tooMany.push_back("PIT-37");
  EXPECT_EQ(Cli(tooMany).status, 2);
  EXPECT_FALSE(fs::exists(File("duzy.dc2014")));

  // Two commands at once on one file, started from different environments
  // (a terminal and cron have runtime, home and cache folders of their
  // own): both changes are kept.
  auto environment = [&](const std::string& name) {
    const fs::path home = dir_ / name;
    fs::create_directories(home / "run");
    fs::permissions(home / "run", fs::perms::owner_all);
    return "env XDG_RUNTIME_DIR=" + testsupport::ShellQuoted((home / "run").string()) +
           " HOME=" + testsupport::ShellQuoted(home.string()) +
           " XDG_CACHE_HOME=" + testsupport::ShellQuoted((home / "cache").string()) + " ";
  };
  const std::string terminal = environment("terminal"), cron = environment("cron");
  for (int round = 0; round < 8; ++round) {
    const std::string a = std::to_string(100 + round), b = std::to_string(200 + round);
    const std::string base = testsupport::ShellQuoted(PIT_CLI) + " set " + testsupport::ShellQuoted(File()) + " ";
    const std::string tail = " --dc " + testsupport::ShellQuoted(Dc()) + " 2>/dev/null";
    const std::string both =
        "(" + terminal + base + "1:36=" + a + tail + " & " + cron + base + "1:37=" + b + tail + " & wait)";
    ASSERT_EQ(std::system(both.c_str()), 0);
    EXPECT_EQ(Cli({"get", File(), "1:36", "1:37"}).out, a + ",00\n" + b + ",00\n") << round;
  }
}

// Saved by root, another user's file stays theirs, group and mode included.
TEST_F(CliTest, SavingAnotherUsersFileKeepsItTheirs) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can save another user's file";
  ASSERT_EQ(Cli({"new", "-o", File(), "--kind", "0", "PIT-37"}).status, 0);
  ASSERT_EQ(::chown(File().c_str(), 4242, 4343), 0);
  ASSERT_EQ(::chmod(File().c_str(), 0640), 0);
  const CliRun r = Cli({"set", File(), "1:36=5"});
  ASSERT_EQ(r.status, 0) << r.err;
  struct stat st {};
  ASSERT_EQ(::stat(File().c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4242u);
  EXPECT_EQ(st.st_gid, 4343u);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Cli({"get", File(), "1:36"}).out, "5,00\n");
}

TEST_F(CliTest, TaxOfficeFieldsTakeTheOfficeCode) {
  // The shipped dictionaries beside the program.
  ASSERT_EQ(Cli({"new", "-o", File(), "--kind", "0", "PIT-37"}).status, 0);
  const CliRun s = Cli({"set", File(), "1:7=0202"});
  ASSERT_EQ(s.status, 0) << s.err;
  EXPECT_EQ(Cli({"get", File(), "1:7"}).out, "URZĄD SKARBOWY W BOLESŁAWCU\n");
  EXPECT_EQ(Cli({"set", File(), "1:7=9999"}).status, 4);
}

// The shipped PIT-37 definitions with the figures of the tax year 2014; each
// case starts from a new settlement and types its values as a user would.
TEST_F(CliTest, Pit37ScenariosOnTheShippedDefinitions) {
  struct Case {
    const char* name;
    const char* kind;
    std::vector<std::string> values;
    std::vector<std::pair<std::string, std::string>> expected;
    bool reductionNotice;
  } cases[] = {
      {"individual, row 1",
       "0",
       {"1:36=50000", "1:37=1335", "1:40=6000"},
       {{"1:38", "48665,00"}, {"1:61", "48665,00"}, {"1:100", "48665,00"}, {"1:101", "48665,00"},
        {"1:102", "8203,68"}, {"1:104", "8203,68"}, {"1:109", "8203,68"}, {"1:113", "8204,00"},
        {"1:114", "6000,00"}, {"1:115", "2204,00"}, {"1:116", "0,00"}, {"1:3", "1"}, {"1:4", ""}, {"1:8", "1"}},
       false},
      {"joint, the spouse without income",
       "1",
       {"1:36=100000"},
       {{"1:100", "100000,00"}, {"1:101", "50000,00"}, {"1:102", "16887,96"}, {"1:4", "2"}, {"1:3", ""}},
       false},
      {"joint base whose half ends in 495 thousandths",
       "1",
       {"1:36=24698,99"},
       {{"1:100", "24698,99"}, {"1:101", "12349,00"}},
       false},
      {"costs above the revenue",
       "0",
       {"1:36=1000", "1:37=1500"},
       {{"1:38", "0,00"}, {"1:39", "500,00"}, {"1:113", "0,00"}},
       false},
      {"deduction from tax above the tax",
       "0",
       {"1:36=30867", "1:105=9000"},
       {{"1:104", "5000,04"}, {"1:105", "5000,04"}, {"1:109", "0,00"}, {"1:113", "0,00"}},
       true},
      {"1% above its limit",
       "0",
       {"1:36=30867", "1:131=0000127204", "1:132=100"},
       {{"1:113", "5000,00"}, {"1:132", "50,00"}},
       true},
      {"1% without an organisation",
       "0",
       {"1:36=30867", "1:132=40"},
       {{"1:132", "0,00"}},
       false},
      {"a difference of 0,40 is neither paid nor returned",
       "0",
       {"1:36=30867", "1:40=4999,60"},
       {{"1:113", "5000,00"}, {"1:114", "4999,60"}, {"1:115", "0,00"}, {"1:116", "0,00"}},
       false},
  };
  for (const Case& c : cases) {
    const std::string file = File(std::string("s-") + c.kind + ".dc2014");
    ASSERT_EQ(Cli({"new", "-o", file, "--kind", c.kind, "PIT-37"}, false).status, 0) << c.name;
    std::vector<std::string> set = {"set", file};
    set.insert(set.end(), c.values.begin(), c.values.end());
    const CliRun s = Cli(set, false);
    ASSERT_EQ(s.status, 0) << c.name << ": " << s.err;
    EXPECT_EQ(s.err.find("Program dokonał redukcji odliczeń") != std::string::npos, c.reductionNotice)
        << c.name << ": " << s.err;
    std::vector<std::string> get = {"get", file};
    std::string want;
    for (const auto& [field, value] : c.expected) {
      get.push_back(field);
      want += value + "\n";
    }
    EXPECT_EQ(Cli(get, false).out, want) << c.name;
  }
}

// The identifier takes ten digits for a NIP and eleven for a PESEL, as typed,
// and the exchange copies it into the attachment; more digits are refused,
// not cut, and so is a number whose check digit is wrong.
TEST_F(CliTest, IdentifierTakesTheDigitsOfTheTaxpayersKindIntoTheReturnAndItsAttachment) {
  struct Case {
    const char* idKind;
    const char* typed;
    const char* stored;
    const char* says;  // why it is refused
  } cases[] = {
      {"pesel", "85010112345", "85010112345", nullptr},
      {"pesel", "850101123456", nullptr, "mieści najwyżej"},
      {"pesel", "85010112346", nullptr, "cyfra kontrolna"},
      {"nip", "5260250995", "5260250995", nullptr},
      {"nip", "12345678901", nullptr, "mieści najwyżej"},
      {"nip", "1234567890", nullptr, "cyfra kontrolna"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.idKind) + " " + c.typed);
    const std::string file = File(std::string("id-") + c.idKind + ".dc2014");
    ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "--taxpayer-id", c.idKind, "PIT-37", "PIT/O@1:1"}, false).status,
              0);
    const CliRun s = Cli({"set", file, std::string("1:0=") + c.typed}, false);
    if (c.stored == nullptr) {
      EXPECT_EQ(s.status, 4) << s.err;
      EXPECT_NE(s.err.find(c.says), std::string::npos) << s.err;
      EXPECT_EQ(Cli({"get", file, "1:0"}, false).out, "\n");
      continue;
    }
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Cli({"get", file, "1:0", "2:0"}, false).out, std::string(c.stored) + "\n" + c.stored + "\n");
  }
}

// A birth date that contradicts the PESEL (or a PESEL that contradicts the
// date) is kept, with a warning; agreeing ones give none.
TEST_F(CliTest, BirthDateThatContradictsThePeselIsKeptWithAWarning) {
  const std::string file = File("bd.dc2014");
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "1", "--taxpayer-id", "pesel", "--spouse-id", "pesel", "PIT-37"}, false)
                .status,
            0);
  struct Step {
    std::string set;
    const char* warning;  // nullptr: none
  } steps[] = {
      {"1:0=44051401359", nullptr},
      {"1:12=15-05-1944", "Data urodzenia 15-05-1944 nie zgadza się z numerem PESEL 44051401359, z którego wynika 14-05-1944"},
      {"1:12=14-05-1944", nullptr},
      {"1:25=01-01-1950", nullptr},  // the spouse has no PESEL yet
      {"1:1=44051401359", "Data urodzenia małżonka 01-01-1950 nie zgadza się z numerem PESEL 44051401359"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.set);
    const CliRun s = Cli({"set", file, step.set}, false);
    ASSERT_EQ(s.status, 0) << s.err;
    if (step.warning == nullptr)
      EXPECT_EQ(s.err.find("nie zgadza się"), std::string::npos) << s.err;
    else
      EXPECT_NE(s.err.find(step.warning), std::string::npos) << s.err;
  }
  EXPECT_EQ(Cli({"get", file, "1:12", "1:25"}, false).out, "14-05-1944\n01-01-1950\n");
}

// PIT/O and PIT/D on the shipped definitions: each edit in an attachment is
// capped at its limit and reaches the PIT-37 at once.
TEST_F(CliTest, AttachmentEditsReachTheReturnAtOnce) {
  const std::string file = File("att.dc2014");
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "PIT-37", "PIT/O@1", "PIT/D@1"}, false).status, 0);
  ASSERT_EQ(Cli({"set", file, "1:36=50000", "1:37=1335", "1:40=6000"}, false).status, 0);
  EXPECT_EQ(Cli({"get", file, "1:113"}, false).out, "8204,00\n");

  // Internet deduction above 760,00: capped, carried into 94, the tax falls.
  const CliRun o = Cli({"set", file, "2:20=1000"}, false);
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Cli({"get", file, "2:20", "2:28", "1:94", "1:100", "1:102", "1:113", "1:117"}, false).out,
            "760,00\n760,00\n760,00\n47905,00\n8066,88\n8067,00\n1\n");

  // Housing savings above 11340,00: capped, the whole amount goes to the
  // PIT-37 part and is deducted from the tax up to the tax.
  const CliRun d = Cli({"set", file, "3:47=20000"}, false);
  ASSERT_EQ(d.status, 0) << d.err;
  EXPECT_EQ(Cli({"get", file, "3:47", "3:51", "1:110", "1:111", "1:112", "1:113", "1:115", "1:116", "1:118"}, false).out,
            "11340,00\n11340,00\n11340,00\n8066,88\n3273,12\n0,00\n0,00\n6000,00\n1\n");

  // Recalculating the whole file changes nothing.
  const CliRun before = Cli({"dump", file, "--json"}, false);
  ASSERT_EQ(Cli({"recalc", file}, false).status, 0);
  EXPECT_EQ(Cli({"dump", file, "--json"}, false).out, before.out);
}

// Four children's relief the tax can take only 1 010,12 of: the PIT/UZ pays
// back the rest up to the contributions, and follows an edit of the return.
TEST_F(CliTest, ChildReliefTheTaxCannotTakeIsPaidBack) {
  const std::string file = File("uz.dc2014");
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "PIT-37", "PIT/O@1", "PIT/UZ@1"}, false).status, 0);
  for (const std::vector<std::string>& edit : std::vector<std::vector<std::string>>{
           {"1:36=20000", "1:37=1335", "1:40=1000", "1:90=2742", "1:105=1300"},
           {"2:34=4", "2:241=1112,04", "2:233=1112,04", "2:235=2000,04", "2:237=2700", "2:35=6924,12"},
           {"3:12=2742"},
           {"3:15=1300"}}) {
    std::vector<std::string> set = {"set", file};
    set.insert(set.end(), edit.begin(), edit.end());
    const CliRun s = Cli(set, false);
    ASSERT_EQ(s.status, 0) << s.err;
  }
  EXPECT_EQ(Cli({"get", file, "1:107", "3:16", "3:18", "3:21", "3:22"}, false).out,
            "1010,12\n5914,00\n4042,00\n1000,00\n5042,00\n");

  // Higher advances on the PIT-37: a larger overpayment on the PIT/UZ at once.
  ASSERT_EQ(Cli({"set", file, "1:40=2000"}, false).status, 0);
  EXPECT_EQ(Cli({"get", file, "3:18", "3:21", "3:22"}, false).out, "4042,00\n2000,00\n6042,00\n");

  const CliRun before = Cli({"dump", file, "--json"}, false);
  ASSERT_EQ(Cli({"recalc", file}, false).status, 0);
  EXPECT_EQ(Cli({"dump", file, "--json"}, false).out, before.out);
}

// A form whose header gives the identifier a kind no settlement has is
// damage: the file is not recalculated over, and the NIP stays.
TEST_F(CliTest, AnIdentifierKindOutOfRangeIsDamageAndTheNipStays) {
  const std::string file = File("kind.dc2014");
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "0", "PIT-37"}, false).status, 0);
  ASSERT_EQ(Cli({"set", file, "1:0=5260250995"}, false).status, 0);
  {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(84);
    const char ninetyNine[4] = {99, 0, 0, 0};
    f.write(ninetyNine, 4);
  }
  const CliRun r = Cli({"recalc", file}, false);
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("uszkodzonym rodzajem"), std::string::npos) << r.err;
  EXPECT_EQ(Cli({"get", file, "1:0"}, false).out, "5260250995\n");
  // Written over on purpose: the settlement's own kinds, the NIP kept.
  ASSERT_EQ(Cli({"recalc", file, "--force"}, false).status, 0);
  EXPECT_EQ(Cli({"get", file, "1:0"}, false).out, "5260250995\n");
  EXPECT_EQ(Cli({"recalc", file}, false).status, 0);
}

// `import` takes last year's persons into the forms as "importuj" does.
TEST_F(CliTest, ImportTakesLastYearsPersonsIntoTheForms) {
  const std::string old = File("stary.dc2013");
  ASSERT_TRUE(testsupport::WriteOldFile(old, {JointPit37()}, 1000));
  const std::string joint = File("joint.dc2014");
  ASSERT_EQ(Cli({"new", "-o", joint, "--kind", "1", "--spouse-id", "pesel", "PIT-37", "PIT/O@1"}, false).status, 0);
  const CliRun r = Cli({"import", joint, "--from", old, "--taxpayer", "--spouse"}, false);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "Pobrano dane podatnika, małżonka.\n");
  // The return and its attachment: identifiers, office, names, address.
  EXPECT_EQ(Cli({"get", joint, "1:0", "1:1", "1:7", "1:10", "1:11", "1:24", "1:19", "1:140", "2:0", "2:1"}, false).out,
            "1234563218\n80010112340\nURZĄD SKARBOWY W BOLESŁAWCU\nNOWAK\nJAN\nANNA\n3\nPOLSKA\n1234563218\n"
            "80010112340\n");

  // Swapped and into a settlement on PESEL: the NIP of the file's taxpayer
  // kind is not taken, the rest is, and the user is told why.
  const std::string single = File("single.dc2014");
  ASSERT_EQ(Cli({"new", "-o", single, "--kind", "0", "--taxpayer-id", "pesel", "PIT-37"}, false).status, 0);
  const CliRun m = Cli({"import", single, "--from", old, "--taxpayer", "--swap"}, false);
  ASSERT_EQ(m.status, 0) << m.err;
  EXPECT_EQ(m.err.find("rozbieżność"), std::string::npos) << "the spouse's PESEL agrees: " << m.err;
  EXPECT_EQ(Cli({"get", single, "1:0", "1:11"}, false).out, "80010112340\nANNA\n");
  const CliRun n = Cli({"import", single, "--from", old, "--taxpayer"}, false);
  ASSERT_EQ(n.status, 0) << n.err;
  // What happened, not the window's buttons to press.
  EXPECT_NE(n.out.find("Identyfikatora podatnika nie pobrano"), std::string::npos) << n.out;
  EXPECT_EQ((n.out + n.err).find("zmień identyfikator"), std::string::npos) << n.out << n.err;
  EXPECT_EQ((n.out + n.err).find("\"importuj\""), std::string::npos) << n.out << n.err;
  EXPECT_EQ(Cli({"get", single, "1:0", "1:11"}, false).out, "80010112340\nJAN\n");

  struct Case {
    std::vector<std::string> args;
    int status;
    std::string inMessage;
  } cases[] = {
      {{"import", single, "--from", File("brak.dc2013"), "--taxpayer"}, 3, "Nie ma pliku rozliczeniowego."},
      {{"import", single, "--from", old}, 2, "--taxpayer"},
      {{"import", single, "--from", old, "--spouse"}, 4, "rozliczenia wspólnego"},
      {{"import", File("brak.dc2014"), "--from", old, "--taxpayer"}, 3, "Nie ma pliku rozliczeniowego."},
  };
  for (const Case& c : cases) {
    const CliRun e = Cli(c.args, false);
    EXPECT_EQ(e.status, c.status) << c.args[1] << ": " << e.err;
    EXPECT_NE(e.err.find(c.inMessage), std::string::npos) << e.err;
  }
  // Nothing refused was saved.
  EXPECT_EQ(Cli({"get", single, "1:11"}, false).out, "JAN\n");

  // Sources with nothing to take are refused and the settlement stays as it
  // was: the identification is never emptied by them.
  {
    std::ofstream(File("pusty.dc2013"));
    std::ofstream(File("tekst.dc2013")) << "rozliczenie za 2013\n";
    std::ifstream in(old, std::ios::binary);
    std::string half(100000, '\0');
    in.read(half.data(), static_cast<std::streamsize>(half.size()));
    std::ofstream(File("urwany.dc2013"), std::ios::binary) << half;
  }
  OldRecord individual = JointPit37();
  individual.kind = 0;
  ASSERT_TRUE(testsupport::WriteOldFile(File("single.dc2013"), {individual}));
  const std::string before = Cli({"dump", joint, "--json"}, false).out;
  const struct {
    std::string from;
    std::vector<std::string> who;
    const char* says;
  } unusable[] = {
      {File("pusty.dc2013"), {"--taxpayer"}, "nie jest rozliczeniem za 2013 r."},
      {File("tekst.dc2013"), {"--taxpayer"}, "nie jest rozliczeniem za 2013 r."},
      {File("urwany.dc2013"), {"--taxpayer"}, "nie jest rozliczeniem za 2013 r."},
      {single, {"--taxpayer"}, "nie jest rozliczeniem za 2013 r."},
      {joint, {"--taxpayer", "--spouse"}, "nie jest rozliczeniem za 2013 r."},
      {File("single.dc2013"), {"--spouse"}, "nie ma w nim danych do pobrania"},
  };
  for (const auto& u : unusable) {
    std::vector<std::string> args = {"import", joint, "--from", u.from};
    args.insert(args.end(), u.who.begin(), u.who.end());
    const CliRun e = Cli(args, false);
    EXPECT_EQ(e.status, 4) << u.from << ": " << e.err;
    EXPECT_NE(e.err.find(u.says), std::string::npos) << u.from << ": " << e.err;
    EXPECT_EQ(Cli({"dump", joint, "--json"}, false).out, before) << u.from;
  }
}

}  // namespace
}  // namespace pit
