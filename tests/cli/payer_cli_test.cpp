// Payer and registration settlements end to end: pit2014cli on the shipped
// definitions, as a payer or a person filing a registration form uses it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../support/cli_run.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

using testsupport::CliRun;

class ShippedFormsCli : public testsupport::CliFolderTest {
 protected:
  ShippedFormsCli() : CliFolderTest(PIT_CLI, "pit-payer-cli-") {}

  // `set` of the values, then `get` of the fields; the lines read back.
  std::string SetThenGet(const std::string& file, const std::vector<std::string>& values,
                         const std::vector<std::string>& fields) {
    std::vector<std::string> set = {"set", file};
    set.insert(set.end(), values.begin(), values.end());
    const CliRun s = Cli(set);
    EXPECT_EQ(s.status, 0) << s.err;
    std::vector<std::string> get = {"get", file};
    get.insert(get.end(), fields.begin(), fields.end());
    const CliRun g = Cli(get);
    EXPECT_EQ(g.status, 0) << g.err;
    return g.out;
  }
};

TEST_F(ShippedFormsCli, Pit40FiguresToTheGrosz) {
  struct Case {
    const char* name;
    std::vector<std::string> values;
    std::vector<std::string> fields;
    const char* expected;
  } cases[] = {
      {"salary 60000 less costs 1335",
       {"1:42=60000", "1:43=1335"},
       {"1:44", "1:60", "1:80", "1:81", "1:83", "1:88", "1:89", "1:90"},
       "58665,00\n58665,00\n58665,00\n10003,68\n10003,68\n10004,00\n10004,00\n0,00\n"},
      {"advances equal to the tax due",
       {"1:42=60000", "1:43=1335", "1:45=10004"},
       {"1:67", "1:88", "1:89", "1:90"},
       "10004,00\n10004,00\n0,00\n0,00\n"},
      {"deductions capped at the income",
       {"1:48=1000", "1:74=400", "1:76=700", "1:45=10"},
       {"1:55", "1:76", "1:80", "1:88", "1:90"},
       "1000,00\n600,00\n0,00\n0,00\n10,00\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = File("pit40.dc2014");
    fs::remove(file);
    const CliRun n = Cli({"new", "-o", file, "--kind", "3", "PIT-40"});
    ASSERT_EQ(n.status, 0) << n.err;
    EXPECT_EQ(SetThenGet(file, c.values, c.fields), c.expected);
  }
  // What the calculation writes is not for typing.
  const CliRun r = Cli({"set", File("pit40.dc2014"), "1:88=5"});
  EXPECT_EQ(r.status, 4) << r.err;
}

TEST_F(ShippedFormsCli, Pit11WithPitRCarriesTheTotalAndThePayer) {
  const std::string file = File("pit11.dc2014");
  const CliRun n = Cli({"new", "-o", file, "--kind", "3", "--taxpayer-id", "pesel", "PIT-11", "PIT-R@1"});
  ASSERT_EQ(n.status, 0) << n.err;
  // The PIT-R makes the payer a body that is not a natural person, which
  // shows its name fields, and ticks "PIT-R attached".
  EXPECT_EQ(Cli({"get", file, "1:6", "1:7", "1:86", "1:87"}).out, "1\n\n1\n\n");

  // The payer and the employee typed into the PIT-11.
  EXPECT_EQ(SetThenGet(file,
                       {"1:0=5260250995", "1:8=RSP ZGODA", "1:100=012345678", "1:21=85010112345", "1:22=NOWAK",
                        "1:23=JAN", "1:40=30000", "1:41=40000", "1:44=2500"},
                       {"1:41", "1:42", "2:0", "2:6", "2:7", "2:19", "2:20", "2:21"}),
            "30000,00\n0,00\n5260250995\nRSP ZGODA\n012345678\n85010112345\nNOWAK\nJAN\n");

  // Months of the PIT-R: capped rows, the total into PIT-11 row 7 at once.
  EXPECT_EQ(SetThenGet(file, {"2:34=1000", "2:35=1500", "2:38=2000,50", "2:39=100", "2:40=50", "1:65=3000"},
                       {"2:35", "2:36", "2:37", "2:41", "2:82", "1:64", "1:65", "1:66"}),
            "1000,00\n0,00\n0,00\n1850,50\n1850,50\n1850,50\n1850,50\n0,00\n");
  EXPECT_EQ(SetThenGet(file, {"2:78=149,50"}, {"2:82", "1:64", "1:66"}), "2000,00\n2000,00\n149,50\n");

  // The revenue of row 7 is the PIT-R's and cannot be typed over.
  EXPECT_EQ(Cli({"set", file, "1:64=1"}).status, 4);

  // Recalculating the whole file changes nothing.
  const CliRun before = Cli({"dump", file, "--json"});
  ASSERT_EQ(Cli({"recalc", file}).status, 0);
  EXPECT_EQ(Cli({"dump", file, "--json"}).out, before.out);
}

TEST_F(ShippedFormsCli, NaturalPersonPayerOfAPit11) {
  const std::string file = File("pit11-person.dc2014");
  ASSERT_EQ(Cli({"new", "-o", file, "--kind", "3", "PIT-11"}).status, 0);
  // The names of a natural person are typed after the kind is ticked; a
  // name of the other kind is not for typing.
  EXPECT_EQ(Cli({"set", file, "1:9=KOWALSKI"}).status, 4);
  EXPECT_EQ(SetThenGet(file, {"1:7=X", "1:9=KOWALSKI", "1:95=JAN", "1:96=01021970"}, {"1:7", "1:9", "1:95", "1:96"}),
            "2\nKOWALSKI\nJAN\n01-02-1970\n");
  EXPECT_EQ(Cli({"set", file, "1:8=FIRMA"}).status, 4);
}

// A payer's UPKD attached to the form makes it a correction.
TEST_F(ShippedFormsCli, PayerUpkdMakesTheFormACorrection) {
  for (const char* form : {"PIT-40", "PIT-11"}) {
    SCOPED_TRACE(form);
    const std::string file = File(std::string(form) + "-upkd.dc2014");
    const CliRun n = Cli({"new", "-o", file, "--kind", "3", form, "31@1"});
    ASSERT_EQ(n.status, 0) << n.err;
    const bool pit40 = std::string(form) == "PIT-40";
    EXPECT_EQ(Cli({"get", file, pit40 ? "1:3" : "1:4", pit40 ? "1:4" : "1:5"}).out, "\n2\n");
    EXPECT_EQ(SetThenGet(file, {"2:3=5260250995", "2:0=PIT-11", "2:7=Błędna kwota przychodu."}, {"2:3", "2:1", "2:7"}),
              "5260250995\n2014\nBłędna kwota przychodu.\n");
  }
}

// Registration settlements: what a person types into NIP-7 or ZAP-3 is kept
// as the field takes it, and one bank account is the one for refunds.
TEST_F(ShippedFormsCli, RegistrationFormsKeepWhatIsTyped) {
  struct Case {
    const char* form;
    std::vector<std::string> values;
    std::vector<std::string> fields;
    const char* expected;
  } cases[] = {
      {"NIP-7",
       {"1:135=85010112345", "1:5=X", "1:6=KOWALSKA", "1:7=ANNA", "1:12=01011985", "1:14=X", "1:24=POLSKA",
        "1:31=KRAKÓW", "1:53=12 1020 1026 0000 0202 0000 0000", "1:62=X", "1:57=X", "1:120=ANNA"},
       {"1:135", "1:4", "1:5", "1:6", "1:12", "1:14", "1:24", "1:31", "1:53", "1:57", "1:62", "1:120"},
       "85010112345\n\n2\nKOWALSKA\n01-01-1985\n1\nPOLSKA\nKRAKÓW\n12 1020 1026 0000 0202 0000 0000\n1\n\nANNA\n"},
      {"ZAP-3",
       {"1:25=5260250995", "1:3=NOWAK", "1:5=31121970", "1:9=POLSKA", "1:16=GDAŃSK", "1:21=PL61109010140000071219812874",
        "1:34=X", "1:33=X", "1:46=JAN"},
       {"1:25", "1:3", "1:5", "1:9", "1:16", "1:21", "1:33", "1:34", "1:46"},
       "5260250995\nNOWAK\n31-12-1970\nPOLSKA\nGDAŃSK\nPL61109010140000071219812874\n1\n\nJAN\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    const std::string file = File(std::string(c.form) + ".dc2014");
    const CliRun n = Cli({"new", "-o", file, "--kind", "4", c.form});
    ASSERT_EQ(n.status, 0) << n.err;
    EXPECT_EQ(SetThenGet(file, c.values, c.fields), c.expected);
    // The office's notes are not for the person filling the form.
    if (std::string(c.form) == "NIP-7") {
      EXPECT_EQ(Cli({"set", file, "1:132=x"}).status, 4);
    }
  }
}

}  // namespace
}  // namespace pit
