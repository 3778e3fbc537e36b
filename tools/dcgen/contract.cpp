// The object indexes the calculations, the identification exchange, the
// validation and the XML export address are fixed; the contract file of a
// form lists them with what each must be, and a compiled form that breaks
// one of them must never reach the program folder.
#include <map>
#include <set>
#include <sstream>

#include "form_source.h"

namespace dcgen {
namespace {

// A field of the contract: its object index or the name the source gives
// it; a name the source does not have is a problem, and gives -1.
class Resolver {
 public:
  Resolver(const std::map<std::string, int>& ids, std::vector<std::string>& bad) : ids_(ids), bad_(bad) {}

  int One(const std::string& s) const {
    if (!s.empty() && s[0] >= '0' && s[0] <= '9') return std::stoi(s);
    const auto at = ids_.find(s);
    if (at != ids_.end()) return at->second;
    bad_.push_back("pole '" + s + "' nie ma nazwy w źródle");
    return -1;
  }
  int One(const YAML::Node& n) const { return One(n.as<std::string>()); }

  // "36", "36-40", "tax", "first-last" or a YAML list of them.
  std::vector<int> Indexes(const YAML::Node& n) const {
    std::vector<int> out;
    auto one = [&](const std::string& s) {
      auto dash = s.find('-');
      if (dash == std::string::npos) {
        if (int k = One(s); k >= 0) out.push_back(k);
        return;
      }
      int a = One(s.substr(0, dash)), b = One(s.substr(dash + 1));
      if (a < 0 || b < 0) return;
      for (int i = a; i <= b; ++i) out.push_back(i);
    };
    if (n.IsSequence()) {
      for (const auto& e : n) one(e.as<std::string>());
    } else if (n.IsScalar()) {
      one(n.as<std::string>());
    }
    return out;
  }

 private:
  const std::map<std::string, int>& ids_;
  std::vector<std::string>& bad_;
};

struct Expect {
  int typ;
  int option;  // -1: any
  const char* defValue;  // nullptr: any
};

const std::map<std::string, Expect>& Kinds() {
  static const std::map<std::string, Expect> k = {
      {"text", {pit::kTekst, -1, nullptr}},      {"amount", {pit::kLiczba, 1, "0,00"}},
      {"count", {pit::kLiczba, 2, nullptr}},     {"nip", {pit::kNip, -1, nullptr}},
      {"date", {pit::kData, -1, nullptr}},       {"krs", {pit::kSelect, -1, nullptr}},
      {"line", {pit::kKreska, -1, nullptr}},     {"office", {pit::kUrzadSkarbowy, -1, nullptr}},
      {"country", {pit::kKraj, -1, nullptr}},    {"percent", {pit::kJedenProcent, 1, "0,00"}},
      {"box", {pit::kCheckbox, -1, nullptr}},
      // What a calculation rounds to whole złoty: shown, printed and
      // exported without grosze only when the field says so.
      {"zloty", {pit::kLiczba, 12, "0,00"}},
  };
  return k;
}

std::set<std::string> SplitList(const std::string& s) {
  std::set<std::string> out;
  std::stringstream in(s);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!item.empty()) out.insert(item);
  }
  return out;
}

}  // namespace

std::vector<std::string> CheckContract(const CompiledForm& form, const YAML::Node& contract) {
  std::vector<std::string> bad;
  const Resolver names(form.ids, bad);
  auto Indexes = [&](const YAML::Node& n) { return names.Indexes(n); };
  const int count = static_cast<int>(form.fields.size());
  auto field = [&](int k, const std::string& why) -> const pit::FieldObject* {
    if (k < 0) return nullptr;  // a name the source lacks, already reported
    if (k >= 0 && k < count) return &form.fields[k];
    bad.push_back("pole " + std::to_string(k) + " (" + why + ") nie istnieje");
    return nullptr;
  };

  if (contract["form"] && contract["form"].as<int>() != form.idPit)
    bad.push_back("kontrakt dotyczy formularza " + contract["form"].as<std::string>());
  if (contract["pages"] && contract["pages"].as<int>() != form.description.PageCount)
    bad.push_back("liczba stron " + std::to_string(form.description.PageCount) + ", oczekiwano " +
                  contract["pages"].as<std::string>());

  for (const auto& kv : contract["types"]) {
    const std::string kind = kv.first.as<std::string>();
    auto e = Kinds().find(kind);
    if (e == Kinds().end()) {
      bad.push_back("nieznany rodzaj w kontrakcie: " + kind);
      continue;
    }
    for (int k : Indexes(kv.second)) {
      const pit::FieldObject* f = field(k, kind);
      if (!f) continue;
      const Expect& x = e->second;
      if (f->Typ != x.typ || (x.option >= 0 && f->Option != x.option) ||
          (x.defValue && f->DefValue != x.defValue)) {
        bad.push_back("pole " + std::to_string(k) + " ma być " + kind + " (Typ " +
                      std::to_string(x.typ) + (x.option >= 0 ? ", Option " + std::to_string(x.option) : "") +
                      (x.defValue ? std::string(", domyślnie \"") + x.defValue + "\"" : "") +
                      "), jest Typ " + std::to_string(f->Typ) + ", Option " +
                      std::to_string(f->Option) + ", domyślnie \"" + f->DefValue + "\"");
      }
    }
  }

  // Tick-box groups: the codes the calculations write, one Name per group,
  // no box of another group sharing it.
  std::map<std::string, int> groupOfName;  // Name -> first box of the group
  std::map<int, int> groupOfBox;           // box index -> first box of its group
  for (const auto& g : contract["boxes"]) {
    std::vector<int> idx = Indexes(g["f"]);
    std::vector<std::string> codes;
    for (const auto& c : g["codes"]) codes.push_back(c.as<std::string>());
    if (codes.size() != idx.size() || idx.empty()) {
      bad.push_back("kontrakt: grupa kwadratów z inną liczbą kodów niż pól");
      continue;
    }
    std::string name;
    for (std::size_t i = 0; i < idx.size(); ++i) {
      groupOfBox[idx[i]] = idx[0];
      const pit::FieldObject* f = field(idx[i], "kwadrat");
      if (!f) continue;
      if (f->Typ != pit::kCheckbox) {
        bad.push_back("pole " + std::to_string(idx[i]) + " ma być kwadratem (Checbox)");
        continue;
      }
      if (f->CheckValue() != codes[i])
        bad.push_back("kwadrat " + std::to_string(idx[i]) + " ma kod \"" + f->CheckValue() +
                      "\", oczekiwano \"" + codes[i] + "\"");
      if (name.empty()) name = f->Name;
      else if (f->Name != name)
        bad.push_back("kwadrat " + std::to_string(idx[i]) + " nie należy do grupy pola " +
                      std::to_string(idx[0]));
    }
    if (!name.empty()) groupOfName[name] = idx[0];
  }
  for (const auto& f : form.fields) {
    if (f.Typ != pit::kCheckbox) continue;
    auto g = groupOfName.find(f.Name);
    if (g == groupOfName.end()) continue;
    auto mine = groupOfBox.find(f.ID);
    if (mine == groupOfBox.end() || mine->second != g->second)
      bad.push_back("kwadrat " + std::to_string(f.ID) + " dzieli nazwę grupy \"" + f.Name +
                    "\" z grupą pola " + std::to_string(g->second));
  }

  // Fields that must exist whatever their type (e.g. the copy caption slot).
  if (contract["present"]) {
    for (int k : Indexes(contract["present"])) field(k, "wymagane");
  }

  // XML names: the main forms' identification under Podmiot1./Podmiot2.,
  // the attachments' identification as plain positions.
  for (const char* prefix : {"Podmiot1.", "Podmiot2."}) {
    std::string key(prefix, 8);
    if (!contract[key]) continue;
    for (int k : Indexes(contract[key])) {
      const pit::FieldObject* f = field(k, key);
      if (f && f->XMLNode.rfind(prefix, 0) != 0)
        bad.push_back("pole " + std::to_string(k) + ": nazwa XML \"" + f->XMLNode +
                      "\" ma zaczynać się od " + prefix);
    }
  }
  std::set<std::string> exchangedNames;
  const YAML::Node exchange = contract["exchange"];
  if (exchange) {
    for (int k : Indexes(exchange)) {
      const pit::FieldObject* f = field(k, "wymiana danych identyfikacyjnych");
      if (f) exchangedNames.insert(f->XMLNode);
    }
  }
  // The validation never reports the exempt names: they must be identification
  // positions of the form. The exchange fills some of them; the others (e.g.
  // an address the exchange does not carry) are listed as `identification`.
  std::set<std::string> identificationNames = exchangedNames;
  if (contract["identification"]) {
    for (int k : Indexes(contract["identification"])) {
      const pit::FieldObject* f = field(k, "pole identyfikacyjne");
      if (f) identificationNames.insert(f->XMLNode);
    }
  }
  // The form's source holds the list; a contract may add to it.
  std::set<std::string> exempt = SplitList(form.exempt);
  if (contract["exempt"]) {
    for (const std::string& name : SplitList(contract["exempt"].as<std::string>())) exempt.insert(name);
  }
  for (const std::string& name : exempt) {
    if (!identificationNames.count(name))
      bad.push_back("nazwa " + name +
                    " z listy pominięć nie należy do pola identyfikacyjnego (wymiana danych lub "
                    "identification)");
  }
  // Exact XML names where the contract fixes them.
  for (const auto& kv : contract["xml"]) {
    int k = names.One(kv.first);
    const pit::FieldObject* f = field(k, "nazwa XML");
    if (f && f->XMLNode != kv.second.as<std::string>())
      bad.push_back("pole " + std::to_string(k) + ": nazwa XML \"" + f->XMLNode +
                    "\", oczekiwano \"" + kv.second.as<std::string>() + "\"");
  }
  // A person's identifier: a text field of ten digit cells (a NIP; the
  // calculation makes it eleven for a PESEL), with the two strike-through
  // lines the calculation draws: first the one for a PESEL, over the printed
  // word NIP, then the one for a NIP, over the word PESEL, both on the
  // field's label above it.
  for (const auto& kv : contract["identifiers"]) {
    const int k = names.One(kv.first);
    const std::string id = "pole " + std::to_string(k);
    const pit::FieldObject* f = field(k, "identyfikator");
    std::vector<int> lines = Indexes(kv.second);
    if (lines.size() != 2) {
      bad.push_back("kontrakt: identyfikator " + std::to_string(k) + " bez dwóch kresek");
      continue;
    }
    if (!f) continue;
    if (f->Typ != pit::kTekst || f->MaxChar != 10 || f->TextAlign != pit::kAlignCells)
      bad.push_back(id + " ma być identyfikatorem (Typ " + std::to_string(pit::kTekst) +
                    ", MaxChar 10, TextAlign " + std::to_string(pit::kAlignCells) + "), jest Typ " +
                    std::to_string(f->Typ) + ", MaxChar " + std::to_string(f->MaxChar) +
                    ", TextAlign " + std::to_string(f->TextAlign));
    const pit::FieldObject* l[2] = {field(lines[0], "kreska"), field(lines[1], "kreska")};
    bool usable = true;
    for (int i = 0; i < 2; ++i) {
      if (!l[i]) {
        usable = false;
        continue;
      }
      const std::string li = "kreska " + std::to_string(lines[i]);
      if (l[i]->Typ != pit::kKreska) {
        bad.push_back(li + " (" + id + ") ma być kreską, jest Typ " + std::to_string(l[i]->Typ));
        usable = false;
      } else if (l[i]->Page != f->Page || l[i]->Bottom > f->Top || l[i]->Left < f->Left - 4 ||
                 l[i]->Right > f->Right + 4 || f->Top - l[i]->Bottom > 40) {
        bad.push_back(li + " nie leży na etykiecie nad polem " + std::to_string(k));
        usable = false;
      }
    }
    if (!usable) continue;
    // Reading order: the word NIP comes before PESEL on the label.
    const bool sameLine = l[0]->Top < l[1]->Bottom && l[1]->Top < l[0]->Bottom;
    if (sameLine ? l[0]->Right > l[1]->Left : l[0]->Top > l[1]->Top)
      bad.push_back("kreski " + std::to_string(lines[0]) + " i " + std::to_string(lines[1]) + " (" +
                    id + ") w odwrotnej kolejności: pierwsza skreśla słowo NIP, druga PESEL");
  }
  // Pages the calculations look at (e.g. the 1% warning of its page).
  for (const auto& kv : contract["page"]) {
    int k = names.One(kv.first);
    const pit::FieldObject* f = field(k, "strona");
    if (f && f->Page != kv.second.as<int>())
      bad.push_back("pole " + std::to_string(k) + ": strona " + std::to_string(f->Page) +
                    ", oczekiwano " + kv.second.as<std::string>());
  }
  // Printed positions the program's messages quote.
  for (const auto& kv : contract["poz"]) {
    int k = names.One(kv.first);
    const pit::FieldObject* f = field(k, "pozycja");
    if (f && f->Poz != kv.second.as<int>())
      bad.push_back("pole " + std::to_string(k) + ": pozycja " + std::to_string(f->Poz) +
                    ", oczekiwano " + kv.second.as<std::string>());
  }
  return bad;
}

}  // namespace dcgen
