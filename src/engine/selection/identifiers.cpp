#include "selection/identifiers.h"

namespace pit {

void ApplyIdentifierDefaults(Settlement& s, int kind) {
  switch (kind) {
    case kIndividual:
    case kSingleParent:
      s.TaxpayerIdKind = kIdNip;
      s.SpouseIdKind = kIdNone;
      break;
    case kJoint:
      s.TaxpayerIdKind = kIdNip;
      s.SpouseIdKind = kIdNip;
      break;
    default:
      break;
  }
}

const std::vector<NipOnlyForm>& TaxpayerNipOnlyForms() {
  static const std::vector<NipOnlyForm> forms = {
      {kPitZ, ""},
      {kPit28B, " - wszystkie dołączone do rozliczenia "},
      {kPit36L, " wraz z wszystkimi dołączonymi do niego załącznikami "},
      {kPitB, " - wszystkie dołączone do rozliczenia "},
      {kSseR, ""},
      {kSseA, ""},
      {kSseRA, ""},
      {kPit16A, ""},
  };
  return forms;
}

const std::vector<NipOnlyForm>& SpouseNipOnlyForms() {
  static const std::vector<NipOnlyForm> forms = {
      {kPitB, " (Małżonek)"}, {kPitZ, " (Małżonek)"}, {kSseR, " (Małżonek)"},
      {kSseA, " (Małżonek)"}, {kSseRA, " (Małżonek)"},
  };
  return forms;
}

namespace {

// The found nodes and their list; empty when nothing is ticked.
std::string FindListed(const SelectionTree& tree, const FormCatalogue& catalogue,
                       const std::vector<NipOnlyForm>& forms, int pm, std::vector<int>& found) {
  std::string list;
  for (const NipOnlyForm& f : forms) {
    const int node = tree.FindTicked(f.IdPit, pm);
    if (node < 0) continue;
    found.push_back(node);
    list += "\n - " + catalogue[f.IdPit].Code + f.AfterName;
  }
  return list;
}

}  // namespace

IdentifierQuestion TaxpayerPeselQuestion(const SelectionTree& tree, const FormCatalogue& catalogue, int kind) {
  IdentifierQuestion q;
  q.Person = kPmTaxpayer;
  q.SearchPM = kind == kJoint ? kPmTaxpayer : kPmNone;
  const std::string list = FindListed(tree, catalogue, TaxpayerNipOnlyForms(), q.SearchPM, q.Found);
  if (q.Found.empty()) return q;
  q.Text = std::string("UWAGA!\nZmiana identyfikatora Podatnika z NIP na PESEL spowoduje odłączenie") +
           "\ni utratę dotychczasowych danych wpisanych w drukach:\n" + list +
           "\n\nCzy dokonać zmiany identyfikatora Podatnika?";
  return q;
}

IdentifierQuestion SpousePeselQuestion(const SelectionTree& tree, const FormCatalogue& catalogue, int kind) {
  IdentifierQuestion q;
  q.Person = kPmSpouse;
  q.SearchPM = kPmSpouse;
  if (kind != kJoint) return q;
  const std::string list = FindListed(tree, catalogue, SpouseNipOnlyForms(), q.SearchPM, q.Found);
  if (q.Found.empty()) return q;
  q.Text = std::string("UWAGA!\nZmiana identyfikatora Małżonka z NIP na PESEL spowoduje ") +
           "odłączenie\ni utratę dotychczasowych danych wpisanych w formularzu:\n" + list +
           "\n\nCzy dokonać zmiany identyfikatora Małżonka?";
  return q;
}

void DetachForPesel(SelectionTree& tree, const IdentifierQuestion& q) {
  bool pitB = false, pit28B = false;
  for (int node : q.Found) {
    if (!tree.Has(node)) continue;
    pitB = pitB || tree.Node(node).IdPit == kPitB;
    pit28B = pit28B || tree.Node(node).IdPit == kPit28B;
    tree.UntickWithDescendants(node);
  }
  if (pit28B) tree.UntickAll(kPit28B, q.SearchPM);
  if (pitB || q.Person == kPmSpouse) tree.UntickAll(kPitB, q.SearchPM);
}

}  // namespace pit
