#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "text/collation.h"
#include "text/cp1250.h"
#include "text/guid.h"

namespace pit {
namespace {

TEST(Cp1250, EveryPolishLetterRoundTrips) {
  const std::string letters = "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
  const std::string enc = Utf8ToCp1250(letters);
  ASSERT_EQ(enc.size(), 18u);  // one byte each
  // A few code points that differ from Latin-1 and would break a naive codec.
  EXPECT_EQ(static_cast<unsigned char>(enc[0]), 0xB9);   // ą
  EXPECT_EQ(static_cast<unsigned char>(enc[3]), 0xB3);   // ł
  EXPECT_EQ(static_cast<unsigned char>(enc[17]), 0xAF);  // Ż
  EXPECT_EQ(Cp1250ToUtf8(enc), letters);
}

TEST(Cp1250, AllAssignedBytesRoundTrip) {
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const std::string utf8 = Cp1250ToUtf8(one);
    if (utf8 == "?" && b != '?') continue;  // unassigned byte
    EXPECT_EQ(Utf8ToCp1250(utf8), one) << "byte " << b;
  }
}

TEST(Cp1250, OutsideTheCodePageBecomesQuestionMark) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"ж", "?"},              // Cyrillic
      {"€uro", "\x80uro"},     // euro sign is in the code page
      {"a\xFF" "b", "a?b"},    // invalid UTF-8 byte
      {"\xE2\x82", "??"},      // truncated sequence
      {"😀", "?"},             // outside the BMP
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1250(c.in), c.out) << c.in;
}

TEST(FixedText, CutAtWidthAndReadWithoutTerminator) {
  std::vector<std::uint8_t> field(6, 0xAA);
  WriteFixedText(field.data(), field.size(), "Łódź-Bałuty");
  EXPECT_EQ(field[5], 0);  // always terminated inside the field
  EXPECT_EQ(ReadFixedText(field.data(), field.size()), "Łódź-");

  // A field that lacks its zero is read up to its width, never beyond.
  std::vector<std::uint8_t> full = {'A', 'B', 'C', 0xB3, 'X', 'Y'};
  EXPECT_EQ(ReadFixedText(full.data(), 4), "ABCł");

  EXPECT_EQ(FitWidth("ŻÓŁW123", 5), "ŻÓŁW");
  EXPECT_EQ(FitWidth("ab", 5), "ab");
  EXPECT_EQ(FitWidth("ab", 0), "");
}

TEST(Guid, ShapeAndUniqueness) {
  const std::string a = NewGuidText();
  const std::string b = NewGuidText();
  EXPECT_TRUE(IsGuidText(a)) << a;
  EXPECT_NE(a, b);
  EXPECT_FALSE(IsGuidText("{" + a.substr(1)));
  EXPECT_FALSE(IsGuidText(a.substr(0, 35)));
  std::string lower = a;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower != a) {
    EXPECT_FALSE(IsGuidText(lower));
  }
}

TEST(Cp1250, ControlsGoAndWhatFitsIsKnown) {
  const struct {
    std::string in;
    std::string clean;
    bool fits;
  } cases[] = {
      {"Kowalska", "Kowalska", true},
      {"Żółć ąę €", "Żółć ąę €", true},
      {"A\nB\r\tC", "ABC", true},                            // a value cannot fake a line of output
      {"\x1b[31mczerwony\x1b[0m", "[31mczerwony[0m", true},    // nor colour a terminal
      {"x\x7f\u0085\u009b1y", "x1y", true},                   // DEL and C1 controls (NEL, CSI)
      {"emoji \U0001F600", "emoji \U0001F600", false},        // kept here, refused where it is stored
      {"\u4e2d", "\u4e2d", false},
      {"a?b", "a?b", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithoutControls(c.in), c.clean) << c.in;
    EXPECT_EQ(FitsCp1250(c.clean), c.fits) << c.in;
  }
}

TEST(UpperPl, PolishLetters) { EXPECT_EQ(UpperPl("zażółć gęślą jaźń"), "ZAŻÓŁĆ GĘŚLĄ JAŹŃ"); }

TEST(PolishLess, OrdersByThePolishAlphabetWithoutRegardToCase) {
  // Each text comes before the next one.
  const std::vector<std::vector<std::string>> chains = {
      {"WARSZAWA-BEMOWO", "WARSZAWA-ŚRÓDMIEŚCIE", "WARSZAWA-WOLA"},
      {"Ala", "ąb", "Bolek", "cel", "Ćma", "Ewa", "Ęka", "Lis", "łoś", "Nowy", "Ńa", "Osa", "Ósma", "Sowa", "śnieg",
       "Tur", "Zet", "Źdźbło", "żaba"},
      {"PIT-36", "PIT-36L", "PIT/B", "PIT/D"},  // punctuation and digits before letters, as before
      {"KOWAL", "Kowalska", "KOWALSKI"},
      {"ŁÓDŹ", "łódź"},  // equal but for case: a fixed order
  };
  for (const auto& chain : chains) {
    for (std::size_t k = 0; k + 1 < chain.size(); ++k) {
      EXPECT_TRUE(PolishLess(chain[k], chain[k + 1])) << chain[k] << " < " << chain[k + 1];
      EXPECT_FALSE(PolishLess(chain[k + 1], chain[k])) << chain[k + 1] << " !< " << chain[k];
    }
  }
  EXPECT_FALSE(PolishLess("Śląsk", "Śląsk"));
  EXPECT_TRUE(PolishLess("", "A"));
}

}  // namespace
}  // namespace pit
