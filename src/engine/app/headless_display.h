#pragma once
// The screen of a program without windows (the command line, the tests):
// what is shown, kept between calculations, and everything the calculations
// asked to show, gathered from their results.
#include <map>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "calc/shown.h"
#include "forms/field_object.h"

namespace pit {

// The flags a calculation set, put into the field records of the form shown.
void ApplyFlags(const ShownResult& r, std::vector<FieldObject>& fields);

class HeadlessDisplay {
 public:
  // What is shown; set directly by the owner.
  int entry = 0;
  int idPit = 0;
  int page = 1;
  int clicked = -1;  // the field a click committed
  int edited = -1;   // the field being committed
  bool reminderFlag = false;

  std::map<int, FieldFlags> flags;  // last value set per field
  std::vector<std::string> messages;
  MessageListHeight height = MessageListHeight::Hidden;
  int extraLines = 0;
  std::vector<std::pair<std::string, int>> correctionInfos;
  std::vector<std::string> reminders;  // warnings among them
  std::vector<std::string> errors;
  std::string donationLabel;

  void Show(int entryNo, int type, int pageNo = 1) {
    entry = entryNo;
    idPit = type;
    page = pageNo;
    reminderFlag = false;
  }
  // Takes what is shown from the settlement's current entry.
  void Show(const CurrentEntryState& c) { Show(c.Number, c.IdPit, c.Page); }

  // What a calculation is told.
  CalcInput Input() const;
  // What a calculation asked for, taken in: the flags,
  // the message list, the windows as records, the label; a request for
  // another entry shows it at page 1.
  void Take(const ShownResult& r);

  bool MustBe(int field) const;
  bool ReadOnly(int field) const;
  bool Visible(int field) const;
};

}  // namespace pit
