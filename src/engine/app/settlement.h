#pragma once
// The settlement: the ordered list of form entries of one user's return,
// with the settlement-wide state that the main window keeps beside it.
#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/catalogue.h"
#include "forms/field_object.h"

namespace pit {

class DefinitionLibrary;

enum SettlementKind : int {
  kIndividual = 0, kJoint = 1, kSingleParent = 2, kPayerForms = 3, kRegistrationForms = 4,
};
enum IdentifierKind : int { kIdNone = -1, kIdNip = 0, kIdPesel = 1 };
enum PersonCode : int { kPmNone = 0, kPmTaxpayer = 1, kPmSpouse = 2 };

constexpr int kSlotCount = 350;

// Byte widths (terminating zero included) of the texts of an entry.
namespace slotw {
constexpr std::size_t Name = 16, Value = 255, Spare = 255, OfficeCode = 60, CheckValue = 50,
                      XMLNode = 83, ReturnGuid = 52;
}

// The value of one field of one form entry.
struct ValueSlot {
  int Option = 0;
  int Typ = 0;
  std::string Name;
  int FormNo = 0;
  int Page = 0;
  int ID = 0;
  std::string Value;
  std::string Spare;
  std::string OfficeCode;
  std::string CheckValue;
  bool CheckState = false;
  std::string XMLNode;

  // Texts enter the model cut to what their field in the file can hold.
  void SetValue(std::string_view v);
  void SetOfficeCode(std::string_view v);
};

struct FormEntry {
  std::int32_t TreeNode = 0;  // run-time only; written as found
  int Id = 0;
  int IdPit = 0;
  int IdParent = 0;
  int PM = 0;
  int Kind = 0;
  int CopyNo = 0;
  int TaxYear = 0;
  std::string ReturnGuid;
  int TaxpayerIdKind = 0;
  int SpouseIdKind = -1;
  int SpouseDataFlag = 0;
  bool Checked = false;
  bool SlotsLoaded = false;

  bool IsAttachment() const { return IdParent != 0; }

  // The values of the entry's fields, by object index.
  const std::array<ValueSlot, kSlotCount>& Slots() const { return slots_; }
  const ValueSlot& Slot(int k) const { return slots_[static_cast<std::size_t>(k)]; }

  // The slots of an entry that is in no settlement yet (read from a file,
  // made for a copy of another settlement): filling it is no edit. Once an
  // entry is in a settlement its values change only through the settlement
  // (Settlement::Write and its kin), and this throws std::logic_error.
  std::array<ValueSlot, kSlotCount>& Unlisted();

  // The value of field k in grosze when its text is an amount of at most two
  // decimals (an empty text is 0), else nullopt (more decimals, or not an
  // amount). An entry in a settlement keeps it from the write of the text,
  // so the calculations do not read the text again.
  std::optional<std::int64_t> Grosze(int k) const;

  // A number that changes with every change of the entry's values, whatever
  // the path (write, undo, rollback, refill), and never repeats in a run:
  // what was worked out from the values holds while it stays the same.
  std::uint64_t ValuesStamp() const { return marks_.valuesStamp; }

  // Left by the last distribution of the persons' data to the entry, so an
  // unchanged entry can be passed over; a copy of the entry starts blank.
  struct DistributionMark {
    std::uint64_t valuesStamp = 0;
    std::uint64_t source = 0;  // which persons' data and settlement kinds; 0: none
    std::array<int, 4> header{};
    int parentPm = 0;
  };
  DistributionMark& Distributed() const { return marks_.distributed; }

 private:
  friend class Settlement;
  friend void FillSlotsFromDefinition(FormEntry& e, const std::vector<FieldObject>& records);
  // What the settlement keeps about an entry in it; a copy of the entry
  // starts in no settlement.
  struct Listing {
    Listing() = default;
    Listing(const Listing&) {}
    Listing& operator=(const Listing&) = delete;
    bool listed = false;
    // For each slot, the level of the journal that holds its value from
    // before the open edit (0: the slot has not changed in it).
    std::array<std::uint32_t, kSlotCount> journalLevel{};
    // The grosze of each slot's text, valid where `hasGrosze` says so.
    std::array<std::int64_t, kSlotCount> grosze{};
    std::bitset<kSlotCount> hasGrosze;
  };
  // Read for every entry at each calculation: kept beside the header, not
  // past the slots. A copy of the entry starts with none.
  struct Marks {
    Marks() = default;
    Marks(const Marks&) {}
    Marks& operator=(const Marks&) = delete;
    std::uint64_t valuesStamp = 0;
    mutable DistributionMark distributed;
  };
  void ValuesChanged();
  // Takes the grosze of slot k (or of every slot) from its text.
  void ReadGrosze(std::size_t k);
  void ReadAllGrosze();
  Marks marks_;
  std::array<ValueSlot, kSlotCount> slots_{};
  Listing listing_;
};

// What the writes of values change in a slot. Its other members (name,
// type, place, XML node, check value) come from the form's definition and
// change only with a whole slot written.
struct SlotValues {
  int Option = 0;
  bool CheckState = false;
  std::string Value;
  std::string Spare;
  std::string OfficeCode;

  void TakeFrom(const ValueSlot& s);
  // Whether `s` holds these values, whatever its other members.
  bool In(const ValueSlot& s) const {
    return Option == s.Option && CheckState == s.CheckState && Value == s.Value && Spare == s.Spare &&
           OfficeCode == s.OfficeCode;
  }
  // Puts these values in `s`, which keeps its other members.
  void Into(ValueSlot& s) const;
};

// Puts a slot's values kept apart from it (SlotValues, or a step's view of
// them) in `s`, which keeps its other members.
template <class Values>
void PutValues(const Values& v, ValueSlot& s) {
  s.Option = v.Option;
  s.CheckState = v.CheckState;
  s.Value.assign(v.Value);
  s.Spare.assign(v.Spare);
  s.OfficeCode.assign(v.OfficeCode);
}

// Whether two slots agree in the members only a whole slot written changes.
bool SameFixedParts(const ValueSlot& a, const ValueSlot& b);

// A slot as it was before the open edit first changed it. Most edits change
// values only: the record keeps those, and the whole slot only when a whole
// slot written changed more (most slots' XML node and check value take
// more room than all their values).
struct JournalRecord {
  int entry = 0;
  int field = 0;
  SlotValues before;
  std::unique_ptr<ValueSlot> whole;  // the slot before, when more than its values changed; else null
  std::uint32_t outerLevel = 0;      // the level the slot had before this record
};

// The spouse data flags, one per attachment that may carry the spouse's data.
struct SpouseDataFlags {
  bool PitO = false, PitD = false, Pit2K = false, PitUZ = false;
  // The flag that belongs to a form type; nullptr for other types.
  bool* For(int idPit);
  bool Get(int idPit) const;
};

// A node of the tree of forms: a view of the settlement, rebuilt from it.
struct TreeNode {
  int Entry = 0;             // 1-based entry number
  std::string Text;
  bool Bold = false;         // main forms
  int Image = 0;             // person code
  int SelectedImage = 3;     // person code + 3
  bool Expanded = false;
  std::vector<TreeNode> Children;
};

// The entry shown in the form window, as the calculations see it.
struct CurrentEntryState {
  int Number = 0;  // 0: none
  int IdPit = 0;
  int IdParent = 0;
  int PM = 0;
  int Kind = 0;
  int Page = 0;
  int PageCount = 0;
  int FieldUnderMouse = -1;
  std::string ReturnGuid;
};

constexpr const char* kNewDocumentName = "nowe_rozliczenie.dc2014";

// Whether the settlement differs from its file. It reads and assigns like a
// bool, and tells its one listener (the session, which tells the window)
// each time the state changes, whoever assigns it.
class ModifiedFlag {
 public:
  ModifiedFlag() = default;
  // The listener belongs to the settlement's owner: a copied or moved
  // settlement takes the state, not the listener.
  ModifiedFlag(const ModifiedFlag& other) : on_(other.on_) {}
  ModifiedFlag& operator=(const ModifiedFlag& other) { return *this = static_cast<bool>(other); }
  ModifiedFlag& operator=(bool on) {
    if (on != on_) {
      on_ = on;
      if (listener_) listener_(on);
    }
    return *this;
  }
  operator bool() const { return on_; }
  void SetListener(std::function<void(bool)> listener) { listener_ = std::move(listener); }

 private:
  bool on_ = false;
  std::function<void(bool)> listener_;
};

class Settlement {
 public:
  // --- the list ----------------------------------------------------------
  bool IsOpen() const { return open_; }
  int Count() const { return static_cast<int>(entries_.size()); }
  // 1-based; callers check the range (Has).
  bool Has(int number) const { return number >= 1 && number <= Count(); }
  FormEntry& Entry(int number) { return *entries_[static_cast<std::size_t>(number - 1)]; }
  const FormEntry& Entry(int number) const { return *entries_[static_cast<std::size_t>(number - 1)]; }

  // Makes an empty open list (count 0).
  void Open();
  // Releases the list: no settlement is open afterwards.
  void Clear();

  int AddEntry(int idPit, int idParent, int pm, int kind);
  // The same with the values it starts with (a form chosen on the selection
  // screen with what it held there).
  int AddEntry(int idPit, int idParent, int pm, int kind, const std::array<ValueSlot, kSlotCount>& slots,
               bool loaded);
  // Appends an entry read from a file (number and header as given).
  void AppendLoaded(std::unique_ptr<FormEntry> e);
  void RemoveEntry(int idPit, int idParent, int pm);
  void RemoveAt(int number);
  int FindEntry(int idPit, int idParent, int pm) const;
  int FindFirstOfType(int idPit) const;
  int FindByTypeAndParent(int idPit, int idParent) const;
  int FindByTypeAndPerson(int idPit, int pm) const;
  int CountByTypeAndParent(int idPit, int idParent, int pm) const;
  int CountInReturn(int idPit, const std::string& guid) const;
  int FirstAttachment() const;

  // Renumbers Id, fills the slots of entries not yet loaded from their
  // definitions and rebuilds the tree view model.
  void RebuildTree(DefinitionLibrary& defs);
  const std::vector<TreeNode>& Tree() const { return tree_; }
  // Entry numbers in the tree's display order (depth first).
  std::vector<int> TreeOrder() const;
  // Text of a node for an entry: the code, " (P)"/" (M)" for attachments.
  std::string NodeText(int number) const;

  // Appends a further copy of entry `number` (same type, parent, person,
  // kind and GUID), rebuilds the tree and marks the document modified.
  // Returns the new entry's number, or -1 when `number` is not an entry.
  int AddCopy(int number, DefinitionLibrary& defs);

  // Stamps every entry with the settlement-wide state, as saving does.
  void StampEntries();
  // Takes the settlement-wide state from one entry, as loading does.
  void TakeStateFrom(const FormEntry& e);

  // --- changing values ------------------------------------------------------
  // Every change of a value of an entry in the list goes through these: the
  // slot as it was joins the journal of the open edit the first time the
  // edit changes it. Writing what is there already is no change (false).
  // Out of range entries and fields are ignored.
  bool Write(int entry, int field, std::string_view value) {  // cut to the slot's width
    // Most writes of a calculation put back what is there: those stop here.
    if (Has(entry) && field >= 0 && field < kSlotCount && value.size() < slotw::Value &&
        entries_[static_cast<std::size_t>(entry - 1)]->slots_[static_cast<std::size_t>(field)].Value == value)
      return false;
    return WriteText(entry, field, value);
  }
  bool WriteCheck(int entry, int field, bool on);
  bool WriteOption(int entry, int field, int option);
  bool WriteOfficeCode(int entry, int field, std::string_view code);  // cut to its width
  bool WriteSpare(int entry, int field, std::string_view spare);
  bool WriteSlot(int entry, int field, const ValueSlot& slot);

  // The slots the open edit changed, each once, with what they held before
  // it, in the order they first changed.
  const std::vector<JournalRecord>& Journal() const { return journal_; }
  // Closes the open edit: its journal is handed over and a new one begins.
  std::vector<JournalRecord> TakeJournal();
  // Closes the open edit once its journal was read: the records are dropped
  // and their room kept for the next edit.
  void CloseEdit();

  // The writes made from its start can be taken back (a calculation that
  // stopped half-way). Trials nest; one that is not rolled back keeps its
  // writes in the edit around it.
  class Trial {
   public:
    explicit Trial(Settlement& s);
    Trial(const Trial&) = delete;
    Trial& operator=(const Trial&) = delete;
    ~Trial();
    // Every slot written since the start holds its value from then again.
    void RollBack();

   private:
    Settlement& s_;
    std::size_t start_;
    std::uint32_t outer_;
    bool open_ = true;
  };

  // --- settlement-wide state ------------------------------------------------
  int Kind = kIndividual;
  int TaxpayerIdKind = kIdNip;
  int SpouseIdKind = kIdNone;
  SpouseDataFlags SpouseData;
  std::string DocumentPath;
  std::string DocumentName = kNewDocumentName;
  ModifiedFlag DocumentModified;
  CurrentEntryState Current;

  const FormCatalogue& Catalogue() const { return catalogue_; }
  FormCatalogue& Catalogue() { return catalogue_; }

  // Changes each time the list of entries is made, emptied or cut (never
  // the same number twice in a run, whichever settlement): what was recorded
  // about entries by their numbers holds while it stays the same. Entries
  // appended keep the numbers of those before them.
  std::uint64_t Structure() const { return structure_; }

 private:
  void Restructured();
  // The slot to change, its old value journaled; nullptr out of range.
  ValueSlot* Journaled(int entry, int field);
  ValueSlot* SlotFor(int entry, int field);
  bool WriteText(int entry, int field, std::string_view value);
  // A text member of the slot, cut to `width`.
  bool WriteString(int entry, int field, std::string ValueSlot::*member, std::string_view text, std::size_t width);
  // `whole`: the write changes more of the slot than its values.
  void Journal(int entry, int field, const ValueSlot& slot, bool whole = false);
  // The last record of the slot among the first `end` gets the whole slot
  // before, if it had only the values: `now` has the parts they left alone.
  void KeepWhole(int entry, int field, const ValueSlot& now, std::size_t end);
  void ForgetLevels();

  FormCatalogue catalogue_;
  std::vector<JournalRecord> journal_;
  std::uint32_t level_ = 1;  // 1: the edit itself; each trial inside it one more
  std::uint64_t structure_ = 0;
  bool open_ = false;
  std::vector<std::unique_ptr<FormEntry>> entries_;
  std::vector<TreeNode> tree_;
};

// Whether two slots hold the same in every member.
bool SameSlot(const ValueSlot& a, const ValueSlot& b);

// Fills the slots of an entry from its form's field records (the rebuild rule).
void FillSlotsFromDefinition(FormEntry& e, const std::vector<FieldObject>& records);

}  // namespace pit
