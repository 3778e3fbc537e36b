#pragma once
// What the calculations may see of and do to the form window. The engine
// declares it; the form window implements it, the command-line program and
// the tests use HeadlessDisplay. Field numbers are object indexes of the
// definition currently open in the window.
#include <map>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "forms/field_object.h"

namespace pit {

enum class MessageListHeight { Normal, Hidden };

class CalcDisplay {
 public:
  virtual ~CalcDisplay() = default;

  // --- what is on screen (0 / -1 when nothing) ---------------------------
  virtual int ShownEntry() const = 0;
  virtual int ShownIdPit() const = 0;
  virtual int CurrentPage() const = 0;
  virtual int FieldUnderMouse() const = 0;
  virtual int FieldBeingEdited() const = 0;

  // --- flags of the open definition ----------------------------------------
  virtual void SetReadOnly(int field, bool on) = 0;
  virtual void SetVisible(int field, bool on) = 0;
  virtual void SetMustBe(int field, bool on) = 0;
  virtual void SetMaxChar(int field, int maxChar) = 0;

  // --- the message list under the form ---------------------------------------
  virtual void ClearMessages() = 0;
  virtual void AddMessage(const std::string& line) = 0;
  virtual void SetMessageListHeight(MessageListHeight h) = 0;
  virtual void GrowMessageList(int pixels) = 0;

  // --- windows and boxes -------------------------------------------------------
  // The modal "korekta" explanation; page 0 or 1 of its two texts.
  virtual void ShowCorrectionInfo(const std::string& caption, int page) = 0;
  // A reminder message box; the flag keeps it to once per page display.
  virtual void ShowReminder(const std::string& text) = 0;
  // A box about something that looks wrong but is kept as typed; where a
  // display has no warning sign it is a reminder.
  virtual void ShowWarning(const std::string& text) { ShowReminder(text); }
  virtual bool ReminderFlag() const = 0;
  virtual void SetReminderFlag() = 0;
  // A calculation that cannot go on (a field that does not hold a number).
  virtual void ReportError(const std::string& text) = 0;

  // Makes an entry the one shown (page 1), as a click in the tree does;
  // the caller runs the calculation.
  virtual void SelectEntry(int entry, int idPit) = 0;

  // The label of the 1% panel (KwotaDarowizny).
  virtual void SetDonationLabel(const std::string& text) = 0;
};

// Records everything; optionally applies the flags to a field array.
class HeadlessDisplay : public CalcDisplay {
 public:
  struct Flags {
    int readOnly = -1, visible = -1, mustBe = -1, maxChar = -1;  // -1: never set
  };

  // What is shown; set directly by the owner.
  int entry = 0;
  int idPit = 0;
  int page = 1;
  int underMouse = -1;
  int edited = -1;
  bool reminderFlag = false;

  std::map<int, Flags> flags;  // last value set per field
  std::vector<std::string> messages;
  MessageListHeight height = MessageListHeight::Hidden;
  int extraHeight = 0;
  std::vector<std::pair<std::string, int>> correctionInfos;
  std::vector<std::string> reminders;
  std::vector<std::string> errors;
  std::string donationLabel;
  std::vector<FieldObject>* fields = nullptr;  // the open definition, if any

  void Show(int entryNo, int type, int pageNo = 1) {
    entry = entryNo;
    idPit = type;
    page = pageNo;
    reminderFlag = false;
  }
  // Takes what is shown from the settlement's current entry.
  void Show(const CurrentEntryState& c) {
    Show(c.Number, c.IdPit, c.Page);
    underMouse = c.FieldUnderMouse;
  }
  bool MustBe(int field) const;
  bool ReadOnly(int field) const;
  bool Visible(int field) const;

  int ShownEntry() const override { return entry; }
  int ShownIdPit() const override { return idPit; }
  int CurrentPage() const override { return page; }
  int FieldUnderMouse() const override { return underMouse; }
  int FieldBeingEdited() const override { return edited; }
  void SetReadOnly(int field, bool on) override;
  void SetVisible(int field, bool on) override;
  void SetMustBe(int field, bool on) override;
  void SetMaxChar(int field, int maxChar) override;
  void ClearMessages() override {
    messages.clear();
    extraHeight = 0;
  }
  void AddMessage(const std::string& line) override { messages.push_back(line); }
  void SetMessageListHeight(MessageListHeight h) override {
    height = h;
    extraHeight = 0;
  }
  void GrowMessageList(int pixels) override { extraHeight += pixels; }
  void ShowCorrectionInfo(const std::string& caption, int pg) override {
    correctionInfos.emplace_back(caption, pg);
  }
  void ShowReminder(const std::string& text) override { reminders.push_back(text); }
  bool ReminderFlag() const override { return reminderFlag; }
  void SetReminderFlag() override { reminderFlag = true; }
  void ReportError(const std::string& text) override { errors.push_back(text); }
  void SelectEntry(int entryNo, int type) override { Show(entryNo, type, 1); }
  void SetDonationLabel(const std::string& text) override { donationLabel = text; }
};

}  // namespace pit
