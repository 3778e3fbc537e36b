#pragma once
// The amounts a commit reduced, named under the reduction notice: a user
// who sees "Program dokonał redukcji odliczeń" learns which of the amounts
// they had given were cut and from what, e.g. "poz. 90: 7 175,40 → 0,00".
#include <functional>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "app/undo.h"
#include "calc/display.h"
#include "forms/field_object.h"

namespace pit {

// The field records of an entry as they stand after the calculation (its
// flags included); nullptr when unknown.
using FieldRecordsOf = std::function<const std::vector<FieldObject>*(int entry)>;

// One line for each amount the user gives that the commit's calculation
// lowered: the committed field from the value given (`given`, after its
// type's rules), every other from its value before the commit. An amount a
// return takes from the attachment where the user gave it and cuts to what
// the tax allows (the PIT/O deductions in the PIT-37) is listed from the
// attachment's amount when it ends below it.
std::vector<CutAmount> ReducedAmounts(const CommitStep& step, const std::string& given,
                                      const FieldRecordsOf& recordsOf, const Settlement& s);

// The cuts still standing after a commit: those listed before whose amount
// still holds the value it was cut to (not given again, nor restored), an
// amount cut again by this commit once, with its newest line, then the new.
std::vector<CutAmount> StandingCuts(const std::vector<CutAmount>& before, const std::vector<CutAmount>& added,
                                    const Settlement& s);

// Passes everything on to `inner` and notes whether the reduction notice of
// the form shown is in the message list after the calculation.
class NoticeWatch : public CalcDisplay {
 public:
  explicit NoticeWatch(CalcDisplay& inner) : inner_(inner) {}
  bool NoticeShown() const { return notice_; }
  // The calculation made the message list anew.
  bool Cleared() const { return cleared_; }

  int ShownEntry() const override { return inner_.ShownEntry(); }
  int ShownIdPit() const override { return inner_.ShownIdPit(); }
  int CurrentPage() const override { return inner_.CurrentPage(); }
  int FieldUnderMouse() const override { return inner_.FieldUnderMouse(); }
  int FieldBeingEdited() const override { return inner_.FieldBeingEdited(); }
  void SetReadOnly(int field, bool on) override { inner_.SetReadOnly(field, on); }
  void SetVisible(int field, bool on) override { inner_.SetVisible(field, on); }
  void SetMustBe(int field, bool on) override { inner_.SetMustBe(field, on); }
  void SetMaxChar(int field, int maxChar) override { inner_.SetMaxChar(field, maxChar); }
  void ClearMessages() override {
    notice_ = false;
    cleared_ = true;
    inner_.ClearMessages();
  }
  void AddMessage(const std::string& line) override;
  void SetMessageListHeight(MessageListHeight h) override {
    if (h == MessageListHeight::Hidden) notice_ = false;
    inner_.SetMessageListHeight(h);
  }
  void GrowMessageList(int pixels) override { inner_.GrowMessageList(pixels); }
  void ShowCorrectionInfo(const std::string& caption, int page) override { inner_.ShowCorrectionInfo(caption, page); }
  void ShowReminder(const std::string& text) override { inner_.ShowReminder(text); }
  void ShowWarning(const std::string& text) override { inner_.ShowWarning(text); }
  bool ReminderFlag() const override { return inner_.ReminderFlag(); }
  void SetReminderFlag() override { inner_.SetReminderFlag(); }
  void ReportError(const std::string& text) override { inner_.ReportError(text); }
  void SelectEntry(int entry, int idPit) override { inner_.SelectEntry(entry, idPit); }
  void SetDonationLabel(const std::string& text) override { inner_.SetDonationLabel(text); }

 private:
  CalcDisplay& inner_;
  bool notice_ = false;
  bool cleared_ = false;
};

}  // namespace pit
