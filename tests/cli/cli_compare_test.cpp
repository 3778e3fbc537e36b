// `pit2014cli compare`: the methods of taxation side by side, the file left
// as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

#include "../support/cli_run.h"

namespace pit {
namespace {

using testsupport::CliRun;

class CompareCli : public testsupport::CliFolderTest {
 protected:
  CompareCli() : CliFolderTest(PIT_CLI, "pit-cli-compare-") {}

  std::string Bytes(const std::string& file) const {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  // The joint PIT-37 of a couple earning 120 000 and 10 000 zł.
  std::string JointCouple() {
    const std::string f = File("wspolne.dc2014");
    EXPECT_EQ(Cli({"new", "-o", f, "--kind", "1", "PIT-37"}).status, 0);
    const CliRun s = Cli({"set", f, "1:36=120000", "1:37=1335", "1:63=10000", "1:64=1335"});
    EXPECT_EQ(s.status, 0) << s.err;
    return f;
  }
};

TEST_F(CompareCli, JointCoupleAsJson) {
  const std::string f = JointCouple();
  const std::string before = Bytes(f);
  const CliRun r = Cli({"compare", f, "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["individual"]["tax"], 26447);
  EXPECT_EQ(j["individual"]["available"], true);
  EXPECT_DOUBLE_EQ(j["individual"]["to_pay"].get<double>(), 26447.0);
  EXPECT_EQ(j["joint"]["tax"], 21807);
  EXPECT_DOUBLE_EQ(j["joint"]["overpayment"].get<double>(), 0.0);
  EXPECT_EQ(j["single_parent"]["available"], false);
  EXPECT_FALSE(j["single_parent"]["reason"].get<std::string>().empty());
  EXPECT_TRUE(j["single_parent"]["tax"].is_null());
  EXPECT_EQ(j["best"], "joint");
  EXPECT_EQ(Bytes(f), before);  // worked out on copies
}

TEST_F(CompareCli, TableInPolish) {
  const std::string f = JointCouple();
  const CliRun r = Cli({"compare", f});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto line = [&](const std::string& head) {
    const auto at = r.out.find("\n" + head);
    return at == std::string::npos ? std::string() : r.out.substr(at + 1, r.out.find('\n', at + 1) - at - 1);
  };
  const std::string individual = line("indywidualnie"), joint = line("wspólnie z małżonkiem");
  EXPECT_NE(individual.find("25443,00"), std::string::npos) << r.out;
  EXPECT_NE(individual.find("1004,00"), std::string::npos) << r.out;
  EXPECT_NE(individual.find("+4640,00"), std::string::npos) << r.out;
  EXPECT_NE(joint.find("21807,00"), std::string::npos) << r.out;
  EXPECT_NE(joint.find("najkorzystniejszy"), std::string::npos) << r.out;
  EXPECT_NE(line("osoba samotnie wychowująca dziecko").find("Niedostępne"), std::string::npos) << r.out;
}

TEST_F(CompareCli, WrongUseAndFilesItCannotCompare) {
  EXPECT_EQ(Cli({"compare"}).status, 2);
  EXPECT_EQ(Cli({"compare", File("x.dc2014"), "--table"}).status, 2);
  EXPECT_EQ(Cli({"compare", File("brak.dc2014")}).status, 3);
  const std::string payer = File("platnik.dc2014");
  ASSERT_EQ(Cli({"new", "-o", payer, "--kind", "3", "PIT-11"}).status, 0);
  const CliRun r = Cli({"compare", payer, "--json"});
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.err.find("płatnika"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
}

}  // namespace
}  // namespace pit
