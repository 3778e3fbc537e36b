#include "output/print_order.h"

namespace pit {
namespace {

// Parents come before their children in the list, so a walk up a chain is
// never longer than the list; the bound keeps a damaged file from looping.
bool IsUnder(const Settlement& s, int number, int main) {
  int guard = s.Count();
  for (int p = s.Entry(number).IdParent; p != 0 && s.Has(p) && guard-- > 0; p = s.Entry(p).IdParent)
    if (p == main) return true;
  return false;
}

void AppendReturn(const Settlement& s, int main, std::vector<int>& out) {
  out.push_back(main);
  for (int i = 1; i <= s.Count(); ++i)
    if (i != main && IsUnder(s, i, main)) out.push_back(i);
}

}  // namespace

int MainEntryOf(const Settlement& s, int number) {
  if (!s.Has(number)) return 0;
  int guard = s.Count();
  int n = number;
  while (s.Entry(n).IdParent != 0 && s.Has(s.Entry(n).IdParent) && guard-- > 0) n = s.Entry(n).IdParent;
  return n;
}

std::vector<int> EntriesToPrint(const Settlement& s, int range, int current) {
  std::vector<int> out;
  switch (range) {
    case kPrintCurrentPage:
    case kPrintCurrentForm:
      if (s.Has(current)) out.push_back(current);
      break;
    case kPrintReturn:
      if (s.Has(current)) AppendReturn(s, MainEntryOf(s, current), out);
      break;
    case kPrintSettlement:
      for (int i = 1; i <= s.Count(); ++i)
        if (s.Entry(i).IdParent == 0 || !s.Has(s.Entry(i).IdParent)) AppendReturn(s, i, out);
      break;
    default:
      break;
  }
  return out;
}

}  // namespace pit
