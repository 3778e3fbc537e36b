#pragma once
// A settlement built entry by entry, with the headless display, for the
// calculation tests: each run is told what the display shows and the display
// takes what the run asked to show. Slots start empty, which the calculations read as 0.
#include <map>
#include <string>
#include <type_traits>

#include "app/settlement.h"
#include "calc/calculation.h"
#include "app/headless_display.h"

namespace pit::testing {

struct CalcFixture {
  Settlement s;
  IdentificationRecords ids;
  HeadlessDisplay display;
  CalcContext ctx{s, ids};

  explicit CalcFixture(int kind = kIndividual, int spouseIdKind = kIdNone) {
    s.Open();
    s.Kind = kind;
    s.TaxpayerIdKind = kIdNip;
    s.SpouseIdKind = spouseIdKind;
  }

  int Add(int idPit, int parent = 0, int pm = kPmNone) { return s.AddEntry(idPit, parent, pm, s.Kind); }
  const ValueSlot& Slot(int e, int k) const { return s.Entry(e).Slot(k); }
  void Set(int e, int k, const std::string& v) { s.Write(e, k, v); }
  void Set(int e, const std::map<int, std::string>& values) {
    for (const auto& [k, v] : values) Set(e, k, v);
  }
  // A member of a slot that the calculations do not write (its type, a mark).
  template <class Change>
  void Edit(int e, int k, Change change) {
    ValueSlot v = Slot(e, k);
    change(v);
    s.WriteSlot(e, k, v);
  }
  const std::string& Get(int e, int k) { return Slot(e, k).Value; }
  void Tick(int e, int k, const std::string& code) {
    s.WriteCheck(e, k, true);
    s.Write(e, k, code);
  }
  void Show(int e, int page = 1) { display.Show(e, s.Entry(e).IdPit, page); }
  // Runs `f` on the context with the display's screen; the display takes
  // what it asked to show.
  template <class F>
  auto OnDisplay(F f) {
    ctx.Begin(display.Input());
    if constexpr (std::is_void_v<decltype(f())>) {
      f();
      display.Take(ctx.shown);
    } else {
      auto r = f();
      display.Take(ctx.shown);
      return r;
    }
  }
  CalcStatus Run(int e) {
    return OnDisplay([&] { return RunCalculation(ctx, s.Entry(e).IdPit, e); });
  }

  // Every value text of every entry, to compare whole settlements.
  std::map<std::pair<int, int>, std::string> Snapshot() const {
    std::map<std::pair<int, int>, std::string> out;
    for (int i = 1; i <= s.Count(); ++i)
      for (int k = 0; k < kSlotCount; ++k) {
        const ValueSlot& v = s.Entry(i).Slots()[static_cast<std::size_t>(k)];
        out[{i, k}] = v.Value + (v.CheckState ? "|x" : "") + "|" + std::to_string(v.Option);
      }
    return out;
  }
};

}  // namespace pit::testing
