#pragma once
// The tax identifiers of the persons while forms are being chosen: the
// defaults of each settlement kind and what a change from NIP to PESEL
// takes away from the selection.
#include <string>
#include <vector>

#include "selection/selection_tree.h"

namespace pit {

// Taxpayer NIP for the taxpayers' kinds, the spouse NIP only in a joint
// return; the payer and registration kinds keep what they have.
void ApplyIdentifierDefaults(Settlement& s, int kind);

// Forms that can only be filed under a NIP, in the order the question lists
// them, with the words that follow a form's name in the list.
struct NipOnlyForm {
  int IdPit;
  const char* AfterName;
};
const std::vector<NipOnlyForm>& TaxpayerNipOnlyForms();
const std::vector<NipOnlyForm>& SpouseNipOnlyForms();

// The Yes/No question asked before a person's identifier becomes PESEL while
// NIP-only forms are ticked. Nothing to ask when `Found` is empty.
struct IdentifierQuestion {
  int Person = kPmNone;    // kPmTaxpayer or kPmSpouse
  int SearchPM = kPmNone;  // person code of the nodes looked at
  std::vector<int> Found;  // first ticked node of each listed form, in list order
  std::string Text;
  std::string Caption = "Pytanie";
  bool Needed() const { return !Found.empty(); }
};

IdentifierQuestion TaxpayerPeselQuestion(const SelectionTree& tree, const FormCatalogue& catalogue, int kind);
// Asked only in joint returns.
IdentifierQuestion SpousePeselQuestion(const SelectionTree& tree, const FormCatalogue& catalogue, int kind);

// The answer Yes: unticks what the question named. Every found node goes
// with everything under it, so no ticked attachment is left without its
// form; all copies of PIT/B and PIT-28/B of the person go too.
void DetachForPesel(SelectionTree& tree, const IdentifierQuestion& q);

}  // namespace pit
