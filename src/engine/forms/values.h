#pragma once
// Field value texts: amounts, identifiers and dates as the editors produce
// them, how an amount field shows its value, and what committing an editor
// does to a field's value slot.
//
// Everything here works on the decimal text itself: no binary floating point
// and no C locale is involved, so "12,345" rounds the same way on every
// machine, and a "." desktop locale changes nothing.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settlement.h"
#include "calc/amounts.h"
#include "forms/field_object.h"
#include "text/amount_text.h"

namespace pit {

// --- amount texts -----------------------------------------------------------

// An amount text taken apart: sign, the digits before and after the decimal
// comma, exactly as written (leading and trailing zeros kept).
struct AmountText {
  bool Negative = false;
  std::string Whole;     // may be empty (",5")
  std::string Fraction;  // may be empty ("12" or "12,")
};

// An amount text by the program's one grammar (text/amount_text.h).
std::optional<AmountText> ParseAmountText(std::string_view text);
inline bool IsAmountText(std::string_view text) { return ParseAmountText(text).has_value(); }

// The exact value of an amount text, the one the calculations read from it
// (ParseAmount: a fraction past the eighteenth decimal is cut), or nothing
// when the text is not an amount. An empty text is none either: a blank box
// holds no amount. "-0" gives 0; "1 000,50" is no amount.
std::optional<Amount> AmountValue(std::string_view text);

// A whole number: an optional "-" and at least one digit.
bool IsWholeNumberText(std::string_view text);

// The normalising rule of the amount editor: "12" -> "12,00",
// "12," -> "12,00", "12,5" -> "12,50"; an empty text and any text with
// two characters after its first comma (or with more, "12,345") are kept.
// It works on any text; it does not check that the text is an amount.
std::string NormaliseAmount(std::string_view text);

// Roundings of an amount text. The rule works on the magnitude (the sign is
// put back, and never on zero): digits past the third decimal are dropped,
// then a third decimal of 5 or more rounds the grosze up. The złoty rounding
// rounds to grosze first, then 50 grosze or more go up. The result is
// normalised ("7,125" -> "7,13", "1234,5" -> "1235,00"); nothing when the
// text is not an amount.
std::optional<std::string> RoundAmountToGrosze(std::string_view text);
std::optional<std::string> RoundAmountToZloty(std::string_view text);

// How an amount field shows its value. `typ` and `option` are those of the
// field's definition. A Liczba value other than Option 2 is shown grouped by
// three digits with an ASCII space, with two decimals ("1234,5" ->
// "1 234,50"), or none for Option 12; extra decimals are rounded half up.
// Whole numbers (Option 2), JedenProcent values, values of other field types
// and Liczba values that are not amounts (e.g. left by an older file) are
// shown exactly as stored, so the user sees what is there.
std::string AmountAsShown(std::string_view value, int typ, int option);

// --- the amount editor's keys ---------------------------------------------

// Whether the amount box takes the typed character at all (the key filter):
// digits, backspace "\b", "-" unless `plusValue`, "," (or ".", which is
// typed as ",") unless the box is empty, already holds a comma or the field
// takes whole numbers (`option` 2). Every other character is refused.
bool AcceptsAmountKey(std::string_view text, char key, bool plusValue, int option);

// The amount box after one key at `caret` (a byte offset, clamped to the
// text): nothing when the key is refused; otherwise the text and caret after
// the insertion (or the backspace) and the box's own corrections: a "-" that
// is not first is taken out again, and a third decimal is taken off (the
// caret then goes to the end).
struct AmountBoxState {
  std::string Text;
  std::size_t Caret = 0;
};
std::optional<AmountBoxState> ApplyAmountKey(std::string_view text, std::size_t caret, char key,
                                             bool plusValue, int option);

// What the amount box holds after `typed` is typed into an empty box one
// character after another at the end; refused characters are dropped
// ("12.5" -> "12,5", "1-2" -> "12", "1,239" -> "1,23").
std::string TypeIntoAmountBox(std::string_view typed, bool plusValue, int option);

// --- masked identifiers and dates -----------------------------------------

// The masked box texts: digit positions hold a digit or a blank (space),
// the other positions a "-". NIP option 1 (natural person) groups 3-3-2-2
// ("123-456-78-90"), every other option 3-2-2-3 ("123-45-67-890"); a date is
// "dd-mm-yyyy".
//
// The input is either a masked text (it holds a "-"): then it is read
// position by position, and whatever is not a digit at a digit position
// becomes a blank; or it is typed text / stored digits without dashes: then
// its digits fill the digit positions in order and other characters are
// ignored, as the box refuses them. An empty input gives the empty mask
// ("   -   -  -  ").
std::string MaskNip(std::string_view text, int option);
std::string MaskDate(std::string_view text);

// The digits of a masked (or any) text, in order.
std::string DigitsOf(std::string_view text);

// --- commits -----------------------------------------------------------------
//
// Each commit takes the field's definition (the form window's array element,
// whose Value and tick some commits update as well) and the value slot of the
// same object index in the current form entry. Setting DocumentModified and
// running the calculation afterwards are the caller's part, even when a
// commit is refused.

struct CommitResult {
  bool accepted = true;
  std::string message;  // shown to the user when not accepted; may be empty
};

constexpr const char* kMsgKrsLength = "KRS musi zawierać 10 znakow";
constexpr const char* kMsgNotAnAmount = "Wpisana wartość nie jest kwotą";
constexpr const char* kMsgNotWholeNumber = "Wpisana wartość nie jest liczbą całkowitą";
constexpr const char* kMsgNegativeAmount = "Kwota nie może być ujemna";

// The committed text of an editor that holds text: Tekst, Liczba,
// JedenProcent, Nip, Data and Select (the KRS box). A refused commit leaves
// the slot and the definition as they were. Kreska and unknown types change
// nothing; Checbox, UrzadSkarbowy and Kraj are refused here (their editors
// commit a choice, below).
//
// Liczba and JedenProcent: an empty text takes DefValue; with Option 1, 11
// and 12 it is normalised, rounded (11 grosze, 12 złoty) and normalised
// again. A text that is then not an amount (not a whole number for Option 2)
// is refused, and so is a negative amount of a PlusValue field: the editor
// cannot produce either, but a value from elsewhere must not slip in.
CommitResult CommitEditorText(FieldObject& def, ValueSlot& slot, std::string_view text);

// A tick box (object `index` of entry number `entry`) ticked or unticked. The boxes of its
// group (same non-empty Name, type Checbox, same entry) lose their tick
// and value first; a ticked box holds its CheckValue. `defs` is the form's
// definition array, whose ticks follow the slots; it may be shorter than
// the slot list. Nothing happens to a ReadOnly box (not accepted, no
// message).
CommitResult CommitCheckbox(Settlement& s, int entry, int index, std::vector<FieldObject>& defs,
                            bool tick);

// A tax office chosen from the list, or none (`office` empty): the slot
// holds the office name and its code, or neither.
struct OfficeChoice {
  std::string Code;
  std::string Name;
};
CommitResult CommitTaxOffice(FieldObject& def, ValueSlot& slot,
                             const std::optional<OfficeChoice>& office);

// A country: the name of the list row chosen (none when no row is chosen)
// and the search box text; an empty search box clears the field.
CommitResult CommitCountry(FieldObject& def, ValueSlot& slot,
                           const std::optional<std::string>& chosenName,
                           std::string_view searchText);

}  // namespace pit
