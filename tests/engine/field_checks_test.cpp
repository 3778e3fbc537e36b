// Identifiers, dates and postal codes are checked when they are committed:
// the check digits of NIP and PESEL, dates that exist (birth dates from 1900
// to 2014), the Polish postal code NN-NNN. What fails is not stored and the
// message says what is wrong. Works on the definitions the build generates.
#include <gtest/gtest.h>

#include <string>

#include "app/session.h"
#include "forms/definition_library.h"
#include "forms/field_checks.h"

namespace pit {
namespace {

TEST(FieldChecks, CheckDigitsAndDates) {
  struct Case {
    FieldRole role;
    const char* text;
    const char* problem;  // a part of the message, nullptr when the value passes
  } cases[] = {
      {FieldRole::Nip, "526-025-09-95", nullptr},
      {FieldRole::Nip, "526-02-50-995", nullptr},  // the legal person's grouping
      {FieldRole::Nip, "   -   -  -  ", nullptr},  // empty
      {FieldRole::Nip, "123-456-78-90", "cyfra kontrolna"},
      {FieldRole::Nip, "526-025-09-  ", "10 cyfr"},
      {FieldRole::Identifier, "5260250995", nullptr},
      {FieldRole::Identifier, "44051401359", nullptr},
      {FieldRole::Identifier, "", nullptr},
      {FieldRole::Identifier, "1234567890", "cyfra kontrolna"},
      {FieldRole::Identifier, "44051401358", "cyfra kontrolna"},
      {FieldRole::Identifier, "85022912340", "data urodzenia"},  // 29 February of 1985
      {FieldRole::Identifier, "526025099", "10 cyfr (NIP) albo 11"},
      {FieldRole::Identifier, "526-025-09-95", "samymi cyframi"},
      {FieldRole::Pesel, "84022912343", nullptr},  // 29 February of 1984
      {FieldRole::Pesel, "02322900006", nullptr},  // the 2000s: month + 20
      {FieldRole::Pesel, "90130100004", "data urodzenia"},  // month 13
      {FieldRole::Pesel, "5260250995", "11 cyfr"},  // a NIP where a PESEL belongs
      {FieldRole::BirthDate, "31-12-1970", nullptr},
      {FieldRole::BirthDate, "31121970", nullptr},  // typed without dashes
      {FieldRole::BirthDate, "29-02-2000", nullptr},
      {FieldRole::BirthDate, "  -  -    ", nullptr},
      {FieldRole::BirthDate, "31-02-9999", "między 1900 a 2014"},
      {FieldRole::BirthDate, "31-02-1999", "nie istnieje"},
      {FieldRole::BirthDate, "29-02-1900", "nie istnieje"},  // 1900 was no leap year
      {FieldRole::BirthDate, "01-01-2015", "między 1900 a 2014"},
      {FieldRole::BirthDate, "01-13-1980", "nie istnieje"},
      {FieldRole::BirthDate, "01-01-19  ", "niepełna"},
      {FieldRole::Date, "30-04-2015", nullptr},
      {FieldRole::Date, "31-04-2015", "nie istnieje"},
      {FieldRole::PostalCode, "00-950", nullptr},
      {FieldRole::PostalCode, "", nullptr},
      {FieldRole::PostalCode, "ab1x2", "NN-NNN"},
      {FieldRole::PostalCode, "00950", "NN-NNN"},
      {FieldRole::PostalCode, "00-9500", "NN-NNN"},
  };
  for (const Case& c : cases) {
    const std::string problem = FieldValueProblem(c.role, c.text);
    if (c.problem == nullptr) {
      EXPECT_EQ(problem, "") << c.text;
    } else {
      EXPECT_NE(problem.find(c.problem), std::string::npos) << c.text << ": " << problem;
    }
  }
  // Abroad a postal code has its own form.
  EXPECT_EQ(FieldValueProblem(FieldRole::PostalCode, "10115", false), "");
}

// The century is carried in the month of a PESEL.
TEST(FieldChecks, BirthDateOfAPesel) {
  const std::pair<const char*, const char*> cases[] = {
      {"44051401359", "14-05-1944"},
      {"02322900006", "29-12-2002"},
      {"84022912343", "29-02-1984"},
      {"44051401358", ""},  // wrong check digit
      {"5260250995", ""},
  };
  for (const auto& [pesel, date] : cases) EXPECT_EQ(PeselBirthDate(pesel), date) << pesel;
}

TEST(FieldChecks, RolesComeFromTheDefinition) {
  FieldObject d;
  struct Case {
    int typ;
    const char* name;
    const char* hint;
    FieldRole role;
  } cases[] = {
      {kNip, "P8", "NIP spółki", FieldRole::Nip},
      {kTekst, "PNIP", "Identyfikator podatkowy NIP / numer PESEL podatnika", FieldRole::Identifier},
      {kTekst, "PlNIP", "", FieldRole::Identifier},
      {kTekst, "P146", "NIP lub PESEL pełnomocnika", FieldRole::Identifier},
      {kTekst, "P76", "Numer PESEL", FieldRole::Pesel},
      {kTekst, "P6", "Imiona, nazwiska i numery PESEL małoletnich dzieci", FieldRole::None},
      {kTekst, "PKod", "Kod pocztowy", FieldRole::PostalCode},
      {kData, "PDataUr", "Data urodzenia (dzień - miesiąc - rok)", FieldRole::BirthDate},
      {kData, "P40", "Data złożenia", FieldRole::Date},
      {kTekst, "PNazw", "Nazwisko", FieldRole::None},
  };
  for (const Case& c : cases) {
    d.Typ = c.typ;
    d.Name = c.name;
    d.Hint = c.hint;
    EXPECT_EQ(RoleOf(d), c.role) << c.hint;
  }
}

// Through the session both programs commit with: the taxpayer's, the
// spouse's and the payer's fields alike; a refusal keeps the stored value.
class CommitChecksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.SetDefinitions(&defs);
    session.SetCountryCheck([](const std::string&) { return true; });
  }
  const std::string& Value(int entry, int field) const {
    return s.Entry(entry).Slots()[static_cast<std::size_t>(field)].Value;
  }
  void NewSettlement(int kind, int idPit) {
    session.New(kind);
    s.AddEntry(idPit, 0, 0, kind);
    s.RebuildTree(defs);
    ASSERT_EQ(session.RecalculateAll({}, false), CalcStatus::Done);
  }

  DefinitionLibrary defs{PIT_BIN_DIR "/dc"};
  Settlement s;
  IdentificationRecords ids;
  SettlementSession session{s, ids};
};

TEST_F(CommitChecksTest, JointReturnChecksBothPersons) {
  NewSettlement(kJoint, kPit37);
  struct Case {
    int field;
    const char* good;
    const char* bad;
    const char* says;
  } cases[] = {
      {0, "5260250995", "1234567890", "cyfra kontrolna"},   // taxpayer's NIP
      {1, "44051401359", "44051401358", "cyfra kontrolna"},  // spouse's PESEL
      {12, "01-02-1970", "31-02-9999", "między 1900 a 2014"},
      {25, "29-02-1984", "31-02-1999", "nie istnieje"},
      {21, "00-950", "ab1x2", "NN-NNN"},
      {34, "80-180", "80180", "NN-NNN"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(session.CommitTyped(1, c.field, c.good).ok()) << c.field;
    const std::string kept = Value(1, c.field);
    session.SetModified(false);
    const CommitOutcome r = session.CommitTyped(1, c.field, c.bad);
    EXPECT_FALSE(r.accepted) << c.bad;
    EXPECT_NE(r.message.find(c.says), std::string::npos) << c.bad << ": " << r.message;
    EXPECT_EQ(Value(1, c.field), kept) << c.bad;
    EXPECT_FALSE(session.Modified()) << c.bad;
  }
  // The spouse living abroad writes the postal code of that country.
  ASSERT_TRUE(session.CommitTyped(1, 141, "NIEMCY").ok());
  EXPECT_TRUE(session.CommitTyped(1, 34, "10115").ok());
  EXPECT_EQ(Value(1, 34), "10115");
  // The taxpayer still lives in Poland.
  EXPECT_FALSE(session.CommitTyped(1, 21, "10115").accepted);
}

TEST_F(CommitChecksTest, PayerFormChecksThePayersAndTheTaxpayersIdentifiers) {
  NewSettlement(kPayerForms, kPit11);
  for (int field : {0, 21}) {
    EXPECT_TRUE(session.CommitTyped(1, field, "5260250995").ok()) << field;
    const CommitOutcome r = session.CommitTyped(1, field, "5260250996");
    EXPECT_FALSE(r.accepted) << field;
    EXPECT_NE(r.message.find("cyfra kontrolna"), std::string::npos) << r.message;
    EXPECT_EQ(Value(1, field), "5260250995");
  }
}

}  // namespace
}  // namespace pit
