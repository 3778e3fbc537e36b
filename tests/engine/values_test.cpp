#include "forms/values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace pit {

// Failures show the amount, not its bytes.
void PrintTo(const Amount& x, std::ostream* os) { *os << FormatAmount(x); }

namespace {

// --- amount texts -----------------------------------------------------------

TEST(NormaliseAmount, FollowsTheFourSteps) {
  struct Case { const char* in; const char* out; };
  const std::vector<Case> cases = {
      {"12", "12,00"},    {"12,", "12,00"},   {"12,5", "12,50"},   {"12,34", "12,34"},
      {"12,345", "12,345"}, {"", ""},         {"-3", "-3,00"},     {",5", ",50"},
      {"0", "0,00"},      {"1,2,3", "1,2,3"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormaliseAmount(c.in), c.out) << c.in;
}

TEST(AmountText, AcceptsOnlyTheCommaGrammar) {
  struct Case { const char* text; std::optional<Amount> value; };
  const std::vector<Case> cases = {
      {"12", Amount(12)},     {"12,50", Amount::FromGrosze(1250)}, {"-7,125", Amount::Fraction(-7125, 1000)},
      {",5", Amount::FromGrosze(50)},  {"-,5", Amount::FromGrosze(-50)}, {"12,", Amount(12)},
      {"-0", Amount(0)},      {"0012,10", Amount::FromGrosze(1210)},
      // not amounts: must never read as 0
      {"", std::nullopt},      {"-", std::nullopt},       {",", std::nullopt},
      {"12.5", std::nullopt},  {"1 234,50", std::nullopt}, {" 12", std::nullopt},
      {"12 ", std::nullopt},   {"+12", std::nullopt},     {"1,2,3", std::nullopt},
      {"1e5", std::nullopt},   {"--1", std::nullopt},     {"12-", std::nullopt},
      {"abc", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsAmountText(c.text), c.value.has_value()) << c.text;
    EXPECT_EQ(AmountValue(c.text), c.value) << c.text;
  }
}

// The form window asks whether a box shows zero and whether a typed text is
// the amount the box opened with; export asks whether a field is zero. A
// text that is no amount answers neither, and a text of many decimals is
// compared to the last digit the calculations read.
TEST(AmountText, ZeroAndEqualityOfTexts) {
  struct Case { const char* a; const char* b; bool same; };
  const std::vector<Case> cases = {
      {"0,00", "0", true},
      {"-0,00", "0", true},
      {"-0", "0,000", true},
      {"1000,5", "1000,50", true},
      {"0001000,500", "1000,5", true},
      {"1 000,50", "1000,5", false},  // grouped as shown: no amount
      {"", "0", false},               // a blank box holds no amount
      {"abc", "abc", false},
      {"0,001", "0", false},
      {"12,345", "12,35", false},
      {"-0,01", "0,01", false},
      // past what a long double tells apart
      {"9999999999999,9999999999", "9999999999999,9999999998", false},
      {"1234567890123,456789012", "1234567890123,456789011", false},
      // beyond eighteen decimals the calculations see no difference
      {"1,0000000000000000001", "1", true},
  };
  for (const auto& c : cases) {
    const auto a = AmountValue(c.a), b = AmountValue(c.b);
    EXPECT_EQ(a && b && *a == *b, c.same) << c.a << " vs " << c.b;
  }
  for (const char* zero : {"0", "0,00", "-0,00", ",0", "0,", "-0,000000"})
    EXPECT_EQ(AmountValue(zero), Amount(0)) << zero;
  for (const char* notZero : {"0,01", "-0,01", "0,001", "0,000000000000000001"}) {
    ASSERT_TRUE(AmountValue(notZero)) << notZero;
    EXPECT_NE(*AmountValue(notZero), 0) << notZero;
  }
}

TEST(AmountText, KeepsDigitsExactly) {
  const auto a = ParseAmountText("-0012,3400");
  ASSERT_TRUE(a);
  EXPECT_TRUE(a->Negative);
  EXPECT_EQ(a->Whole, "0012");
  EXPECT_EQ(a->Fraction, "3400");
}

TEST(WholeNumberText, DigitsWithOptionalMinus) {
  EXPECT_TRUE(IsWholeNumberText("125"));
  EXPECT_TRUE(IsWholeNumberText("-3"));
  EXPECT_FALSE(IsWholeNumberText(""));
  EXPECT_FALSE(IsWholeNumberText("-"));
  EXPECT_FALSE(IsWholeNumberText("12,0"));
  EXPECT_FALSE(IsWholeNumberText("1 2"));
}

TEST(Rounding, GroszeAndZlotyOnTheDecimalText) {
  struct Case { const char* in; const char* grosze; const char* zloty; };
  const std::vector<Case> cases = {
      {"12,3449", "12,34", "12,00"},   // digits past the third decimal are dropped
      {"12,345", "12,35", "12,00"},
      {"7,125", "7,13", "7,00"},       // 7.125 is not exact in binary
      {"7,1249", "7,12", "7,00"},
      {"1,005", "1,01", "1,00"},       // ditto: a double would give 1,00
      {"1234,49", "1234,49", "1234,00"},
      {"1234,5", "1234,50", "1235,00"},
      {"1234,495", "1234,50", "1235,00"},  // złoty rounding starts from the grosze
      {"999,995", "1000,00", "1000,00"},   // carry into a new digit
      {"9,999", "10,00", "10,00"},
      {"99,5", "99,50", "100,00"},
      {"0,49", "0,49", "0,00"},
      {"0,495", "0,50", "1,00"},
      {"12", "12,00", "12,00"},
      {"12,", "12,00", "12,00"},
      {",5", "0,50", "1,00"},
      {"007,10", "7,10", "7,00"},
      {"12,3456789012345678901", "12,35", "12,00"},
      {"9999999999999,995", "10000000000000,00", "10000000000000,00"},  // the largest amount, carried
      {"0001234567890123,125", "1234567890123,13", "1234567890123,00"},  // leading zeros do not count
      // negative amounts: the rule on the magnitude, no negative zero
      {"-7,125", "-7,13", "-7,00"},
      {"-1234,5", "-1234,50", "-1235,00"},
      {"-0,004", "0,00", "0,00"},
      {"-0,005", "-0,01", "0,00"},
      {"-0,5", "-0,50", "-1,00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundAmountToGrosze(c.in), std::optional<std::string>(c.grosze)) << c.in;
    EXPECT_EQ(RoundAmountToZloty(c.in), std::optional<std::string>(c.zloty)) << c.in;
  }
  // Ten thousand billion złoty and more, or more than twenty decimals, is no
  // amount: such a text can only come from a damaged file.
  for (const char* no : {"10000000000000", "123456789012345678901234567890,125", "-10000000000000,00",
                         "1,000000000000000000001"}) {
    EXPECT_EQ(RoundAmountToGrosze(no), std::nullopt) << no;
  }
}

TEST(Rounding, RefusesTextsThatAreNotAmounts) {
  for (const char* bad : {"", "abc", "12.5", "1 000", "-"}) {
    EXPECT_FALSE(RoundAmountToGrosze(bad)) << bad;
    EXPECT_FALSE(RoundAmountToZloty(bad)) << bad;
  }
}

TEST(AmountAsShown, GroupsLiczbaAndLeavesTheRest) {
  struct Case { const char* value; int typ; int option; const char* shown; };
  const std::vector<Case> cases = {
      {"1234,5", kLiczba, 1, "1 234,50"},
      {"1234567,891", kLiczba, 11, "1 234 567,89"},
      {"100000", kLiczba, 1, "100 000,00"},
      {"999", kLiczba, 1, "999,00"},
      {"999,995", kLiczba, 1, "1 000,00"},
      {"0", kLiczba, 1, "0,00"},
      {"-1234,5", kLiczba, 11, "-1 234,50"},
      {"-0,001", kLiczba, 1, "0,00"},
      {",5", kLiczba, 1, "0,50"},
      {"1235,00", kLiczba, 12, "1 235"},
      {"1234,5", kLiczba, 12, "1 235"},
      {"1234,49", kLiczba, 12, "1 234"},
      {"0,00", kLiczba, 0, "0,00"},
      // shown as stored
      {"12345", kLiczba, 2, "12345"},
      {"1234,50", kJedenProcent, 1, "1234,50"},
      {"1234,5", kTekst, 0, "1234,5"},
      {"", kLiczba, 1, ""},
      {"abc", kLiczba, 1, "abc"},
      {"1 234,50", kLiczba, 1, "1 234,50"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AmountAsShown(c.value, c.typ, c.option), c.shown) << c.value << " opt " << c.option;
}

// --- the amount editor's keys ---------------------------------------------

TEST(AmountKeys, TypingKeepsOnlyWhatTheBoxAccepts) {
  struct Case { const char* typed; bool plus; int option; const char* box; };
  const std::vector<Case> cases = {
      {"12.5", false, 1, "12,5"},
      {"12,5", false, 12, "12,5"},
      {"1-2", false, 1, "12"},       // a minus after digits is taken out again
      {"-12", false, 1, "-12"},
      {"-12", true, 1, "12"},        // PlusValue refuses the minus
      {"1,239", false, 1, "1,23"},   // third decimal taken off
      {",5", false, 1, "5"},         // comma refused in an empty box
      {"1,2,3", false, 1, "1,23"},   // one comma only
      {"12,5", false, 2, "125"},     // whole numbers take no comma
      {"12.5", false, 2, "125"},
      {"1a2 x", false, 1, "12"},
      {"12\b3", false, 1, "13"},
      {"\b", false, 1, ""},
      {"--5", false, 1, "-5"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TypeIntoAmountBox(c.typed, c.plus, c.option), c.box) << c.typed;
}

TEST(AmountKeys, KeysAtTheCaret) {
  struct Case {
    const char* text; std::size_t caret; char key; bool plus; int option;
    std::optional<std::string> out; std::size_t outCaret;
  };
  const std::vector<Case> cases = {
      {"12", 0, '-', false, 1, "-12", 1},
      {"12", 0, '-', true, 1, std::nullopt, 0},
      {"-12", 0, '-', false, 1, "-12", 1},
      {"12", 1, '-', false, 1, "12", 1},
      {"1234", 1, ',', false, 1, "1,23", 4},     // "1,234" loses its last digit
      {"1,23", 2, '5', false, 1, "1,52", 4},
      {"12", 99, '3', false, 1, "123", 3},       // caret clamped
      {"12", 0, '\b', false, 1, "12", 0},
      {"1,5", 2, '\b', false, 1, "15", 1},
      {"12", 2, '.', false, 1, "12,", 3},
      {"1,5", 3, ',', false, 1, std::nullopt, 0},
      {"", 0, ',', false, 1, std::nullopt, 0},
      {"12", 2, 'a', false, 1, std::nullopt, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AcceptsAmountKey(c.text, c.key, c.plus, c.option), c.out.has_value())
        << c.text << " + " << c.key;
    const auto s = ApplyAmountKey(c.text, c.caret, c.key, c.plus, c.option);
    ASSERT_EQ(s.has_value(), c.out.has_value()) << c.text << " + " << c.key;
    if (s) {
      EXPECT_EQ(s->Text, *c.out) << c.text << " + " << c.key;
      EXPECT_EQ(s->Caret, c.outCaret) << c.text << " + " << c.key;
    }
  }
}

// --- masked identifiers and dates -----------------------------------------

TEST(Masks, NipAndDateTexts) {
  enum Kind { kNatural, kLegal, kDay };
  struct Case { Kind kind; const char* in; const char* out; };
  const std::vector<Case> cases = {
      {kNatural, "1234567890", "123-456-78-90"},
      {kLegal, "1234567890", "123-45-67-890"},
      {kNatural, "", "   -   -  -  "},
      {kLegal, "", "   -  -  -   "},
      {kNatural, "123-456-78-90", "123-456-78-90"},
      {kNatural, "123-4__-78-90", "123-4  -78-90"},  // blanks of a masked box
      {kNatural, "12345", "123-45 -  -  "},
      {kNatural, "12345678901234", "123-456-78-90"},
      {kNatural, "12 34x567890", "123-456-78-90"},   // typed: non-digits refused
      {kDay, "01052014", "01-05-2014"},
      {kDay, "01-05-2014", "01-05-2014"},
      {kDay, "", "  -  -    "},
      {kDay, " 1-05-2014", " 1-05-2014"},
      {kDay, "0105", "01-05-    "},
  };
  for (const auto& c : cases) {
    const std::string masked =
        c.kind == kDay ? MaskDate(c.in) : MaskNip(c.in, c.kind == kNatural ? 1 : 2);
    EXPECT_EQ(masked, c.out) << c.in;
  }
  EXPECT_EQ(DigitsOf("123-45 -67-890"), "1234567890");
  EXPECT_EQ(DigitsOf("   -   -  -  "), "");
}

// --- commits -----------------------------------------------------------------

struct TextCommitCase {
  const char* name;
  int typ;
  int option;
  std::string text;
  bool accepted;
  std::string stored;
  std::string message = {};
  int maxChar = 0;
  bool plusValue = false;
  std::string defValue = "0,00";
};

class CommitEditorTextTest : public ::testing::TestWithParam<TextCommitCase> {};

TEST_P(CommitEditorTextTest, SlotBecomes) {
  const auto& c = GetParam();
  FieldObject def;
  def.Typ = c.typ;
  def.Option = c.option;
  def.MaxChar = c.maxChar;
  def.PlusValue = c.plusValue;
  def.DefValue = c.defValue;
  def.Value = "definition before";
  ValueSlot slot;
  slot.Typ = c.typ;
  slot.Option = c.option;
  slot.Value = "before";

  const CommitResult r = CommitEditorText(def, slot, c.text);
  EXPECT_EQ(r.accepted, c.accepted);
  EXPECT_EQ(r.message, c.message);
  EXPECT_EQ(slot.Value, c.stored);
  // Texts, KRS numbers (and the pick lists) are remembered in the definition
  // too; amounts, identifiers and dates only in the slot.
  const bool keptInDefinition = (c.typ == kTekst || c.typ == kSelect) && c.accepted;
  EXPECT_EQ(def.Value, keptInDefinition ? c.stored : "definition before");
}

const std::string k300(300, 'a');

INSTANTIATE_TEST_SUITE_P(
    Values, CommitEditorTextTest,
    ::testing::Values(
        TextCommitCase{"AmountNormalised", kLiczba, 1, "12", true, "12,00"},
        TextCommitCase{"AmountOneDecimal", kLiczba, 1, "12,5", true, "12,50"},
        TextCommitCase{"AmountTrailingComma", kLiczba, 1, "12,", true, "12,00"},
        TextCommitCase{"AmountNoRoundingForOption1", kLiczba, 1, "12,345", true, "12,345"},
        TextCommitCase{"EmptyTakesDefault", kLiczba, 1, "", true, "0,00"},
        TextCommitCase{"EmptyDefaultNormalised", kLiczba, 11, "", true, "5,00", "", 0, false, "5"},
        TextCommitCase{"EmptyWithoutDefault", kLiczba, 11, "", true, "", "", 0, false, ""},
        TextCommitCase{"GroszeUp", kLiczba, 11, "7,125", true, "7,13"},
        TextCommitCase{"GroszeDown", kLiczba, 11, "7,1249", true, "7,12"},
        TextCommitCase{"ZlotyDown", kLiczba, 12, "1234,49", true, "1234,00"},
        TextCommitCase{"ZlotyUp", kLiczba, 12, "1234,5", true, "1235,00"},
        TextCommitCase{"ZlotyWhole", kLiczba, 12, "12", true, "12,00"},
        TextCommitCase{"OnePercentRounded", kJedenProcent, 11, "7,125", true, "7,13"},
        TextCommitCase{"WholeNumberAsTyped", kLiczba, 2, "125", true, "125"},
        TextCommitCase{"WholeNumberEmpty", kLiczba, 2, "", true, "", "", 0, false, ""},
        TextCommitCase{"WholeNumberWithComma", kLiczba, 2, "12,5", false, "before",
                       kMsgNotWholeNumber},
        TextCommitCase{"NotAnAmount", kLiczba, 1, "abc", false, "before", kMsgNotAnAmount},
        TextCommitCase{"DotIsNotAComma", kLiczba, 11, "12.5", false, "before", kMsgNotAnAmount},
        TextCommitCase{"NegativeAllowed", kLiczba, 11, "-3,335", true, "-3,34"},
        TextCommitCase{"NegativeRefusedByPlusValue", kLiczba, 1, "-3", false, "before",
                       kMsgNegativeAmount, 0, true},
        TextCommitCase{"TooLongAmount", kLiczba, 1, std::string(260, '1'), false, "before",
                       kMsgNotAnAmount},
        TextCommitCase{"TextCutToMaxChar", kTekst, 0, "abcdefgh", true, "abcde", "", 5},
        TextCommitCase{"TextCutInCharacters", kTekst, 0, "żółćęś", true, "żół", "", 3},
        TextCommitCase{"TextAtMost254", kTekst, 0, k300, true, std::string(254, 'a')},
        TextCommitCase{"TextMaxCharAbove254", kTekst, 0, k300, true, std::string(254, 'a'), "",
                       400},
        TextCommitCase{"TextEmpty", kTekst, 0, "", true, ""},
        TextCommitCase{"NipDigits", kNip, 1, "1234567890", true, "123-456-78-90"},
        TextCommitCase{"NipLegal", kNip, 2, "123-45-67-890", true, "123-45-67-890"},
        TextCommitCase{"NipEmptyKeepsDashes", kNip, 1, "", true, "   -   -  -  "},
        TextCommitCase{"DateDigits", kData, 0, "01052014", true, "01-05-2014"},
        TextCommitCase{"DateEmptyMask", kData, 0, "  -  -    ", true, ""},
        TextCommitCase{"DateFirstBlank", kData, 0, " 1-05-2014", true, ""},
        TextCommitCase{"DatePartial", kData, 0, "12", true, "12-  -    "},
        TextCommitCase{"KrsTen", kSelect, 0, "0000012345", true, "0000012345"},
        TextCommitCase{"KrsEmpty", kSelect, 0, "", true, ""},
        TextCommitCase{"KrsNine", kSelect, 0, "000001234", false, "before", kMsgKrsLength},
        TextCommitCase{"KrsEleven", kSelect, 0, "00000123456", false, "before", kMsgKrsLength},
        TextCommitCase{"KreskaUntouched", kKreska, 1, "x", true, "before"},
        TextCommitCase{"CheckboxNeedsItsOwnCommit", kCheckbox, 0, "X", false, "before"}),
    [](const auto& info) { return std::string(info.param.name); });

// A form entry with two groups of tick boxes and unnamed boxes.
class CheckboxCommit : public ::testing::Test {
 protected:
  void SetUp() override {
    defs.resize(10);
    Box(3, "G", "1", true);
    Box(4, "G", "2", false);
    Box(5, "H", "X", true);
    Box(6, "", "A", true);
    Box(7, "", "B", true);
    // Same name, other type: not part of the group.
    ValueSlot text;
    text.Typ = kTekst;
    text.Name = "G";
    text.Value = "keep";
    s.WriteSlot(kEntry, 8, text);
  }
  void Box(int k, const char* name, const char* value, bool ticked) {
    ValueSlot b;
    b.Typ = kCheckbox;
    b.Name = name;
    b.CheckValue = value;
    b.CheckState = ticked;
    b.Value = ticked ? value : "";
    s.WriteSlot(kEntry, k, b);
    if (static_cast<std::size_t>(k) >= defs.size()) return;
    defs[k].Typ = kCheckbox;
    defs[k].Name = name;
    defs[k].Choices[0].Value = value;
    defs[k].Choices[0].Flag = ticked;
  }
  // Tick states and values of slots 3..8, as "state:value" texts.
  std::vector<std::string> States() const {
    std::vector<std::string> out;
    for (int k = 3; k <= 8; ++k)
      out.push_back(std::to_string(Slot(k).CheckState) + ":" + Slot(k).Value);
    return out;
  }
  const ValueSlot& Slot(int k) const { return s.Entry(kEntry).Slots()[static_cast<std::size_t>(k)]; }

  static constexpr int kEntry = 1;
  Settlement s;
  int added = s.AddEntry(kPit37, 0, 0, kIndividual);
  std::vector<FieldObject> defs;
};

TEST_F(CheckboxCommit, TickingOneClearsItsGroup) {
  ASSERT_TRUE(CommitCheckbox(s, kEntry, 4, defs, true).accepted);
  EXPECT_EQ(States(), (std::vector<std::string>{"0:", "1:2", "1:X", "1:A", "1:B", "0:keep"}));
  EXPECT_FALSE(defs[3].Choices[0].Flag);
  EXPECT_TRUE(defs[4].Choices[0].Flag);
}

TEST_F(CheckboxCommit, UntickingClearsTheWholeGroup) {
  ASSERT_TRUE(CommitCheckbox(s, kEntry, 3, defs, false).accepted);
  EXPECT_EQ(States(), (std::vector<std::string>{"0:", "0:", "1:X", "1:A", "1:B", "0:keep"}));
  EXPECT_FALSE(defs[3].Choices[0].Flag);
}

TEST_F(CheckboxCommit, UnnamedBoxesAreNotAGroup) {
  s.WriteCheck(kEntry, 6, false);
  s.Write(kEntry, 6, "");
  ASSERT_TRUE(CommitCheckbox(s, kEntry, 6, defs, true).accepted);
  EXPECT_EQ(States(), (std::vector<std::string>{"1:1", "0:", "1:X", "1:A", "1:B", "0:keep"}));
}

TEST_F(CheckboxCommit, ReadOnlyAndNonBoxesAreLeftAlone) {
  const auto before = States();
  defs[4].ReadOnly = true;
  EXPECT_FALSE(CommitCheckbox(s, kEntry, 4, defs, true).accepted);
  EXPECT_FALSE(CommitCheckbox(s, kEntry, 8, defs, true).accepted);
  EXPECT_FALSE(CommitCheckbox(s, kEntry, kSlotCount, defs, true).accepted);
  EXPECT_EQ(States(), before);
}

TEST_F(CheckboxCommit, DefinitionsMayBeShorterThanTheSlots) {
  Box(300, "G", "3", false);
  ASSERT_TRUE(CommitCheckbox(s, kEntry, 300, defs, true).accepted);
  EXPECT_EQ(Slot(300).Value, "3");
  EXPECT_EQ(States()[0], "0:");
  EXPECT_FALSE(defs[3].Choices[0].Flag);
}

TEST(PickCommits, TaxOfficeAndCountry) {
  FieldObject def;
  ValueSlot slot;
  CommitTaxOffice(def, slot, OfficeChoice{"1435", "Urząd Skarbowy Warszawa-Mokotów"});
  EXPECT_EQ(slot.Value, "Urząd Skarbowy Warszawa-Mokotów");
  EXPECT_EQ(slot.OfficeCode, "1435");
  EXPECT_EQ(def.Value, slot.Value);
  CommitTaxOffice(def, slot, std::nullopt);
  EXPECT_EQ(slot.Value, "");
  EXPECT_EQ(slot.OfficeCode, "");
  EXPECT_EQ(def.Value, "");

  CommitCountry(def, slot, std::string("POLSKA"), "POL");
  EXPECT_EQ(slot.Value, "POLSKA");
  EXPECT_EQ(def.Value, "POLSKA");
  CommitCountry(def, slot, std::string("POLSKA"), "");  // search box emptied
  EXPECT_EQ(slot.Value, "");
  slot.Value = "NIEMCY";
  CommitCountry(def, slot, std::nullopt, "NIE");
  EXPECT_EQ(slot.Value, "");
}

}  // namespace
}  // namespace pit
