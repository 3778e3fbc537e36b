#pragma once
// What a calculation is told about the screen, and what it asks the screen
// to show. Both are plain values: the form window renders the result, the
// command line prints it or ignores it, the tests read it. Field numbers are
// object indexes of the form shown.
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pit {

// The screen as a calculation sees it.
struct CalcInput {
  int entry = 0;            // the entry shown (0: none)
  int idPit = 0;            // its form: a rule for the form shown applies when it is this one
  int page = 1;             // the page shown
  int committedField = -1;  // the field whose value is being committed
  // The field whose click started the calculation (a tick box ticked with
  // the pointer); -1 when a key or nothing did.
  int clickedField = -1;
  // A reminder was already shown during this page display: reminders come
  // once per page display.
  bool reminderShown = false;
};

// A field's flags as the calculation set them; -1: left as they were.
struct FieldFlags {
  int readOnly = -1, visible = -1, mustBe = -1, maxChar = -1;
};

// The flags a calculation set, by field, in field order. Every commit fills
// them afresh, a few dozen fields mostly in order: kept side by side rather
// than as a tree with a node for each field.
class FlagsByField {
 public:
  using value_type = std::pair<int, FieldFlags>;
  // The flags of `field`, all left as they were when it had none.
  FieldFlags& operator[](int field);
  std::vector<value_type>::const_iterator begin() const { return list_.begin(); }
  std::vector<value_type>::const_iterator end() const { return list_.end(); }
  bool empty() const { return list_.empty(); }
  std::size_t size() const { return list_.size(); }

 private:
  std::vector<value_type> list_;
};

enum class MessageListHeight { Normal, Hidden };

// The message list under the form.
struct MessageList {
  bool replaced = false;            // the lines before the calculation are gone
  std::vector<std::string> lines;   // added, in order
  std::optional<MessageListHeight> height;  // set to its normal height or put away
  int extraLines = 0;               // grown by so many lines after that
  // Lines added before this index were put away with the list.
  std::size_t hiddenBefore = 0;
};

// A window or box the user must see, in the order asked for.
struct ShownWindow {
  enum class Kind {
    Reminder,        // something left to fill in
    Warning,         // something looks wrong but is kept as typed
    Error,           // the calculation could not go on
    CorrectionInfo,  // the explanation of a correction: caption and its page (0 or 1)
  };
  Kind kind = Kind::Reminder;
  std::string text;
  int page = 0;
  bool operator==(const ShownWindow& o) const { return kind == o.kind && text == o.text && page == o.page; }
};

struct EntryRef {
  int entry = 0;
  int idPit = 0;
};

// What a calculation wants shown. The recording functions keep the last
// value asked for where the screen keeps only one.
struct ShownResult {
  FlagsByField flags;
  MessageList messages;
  std::vector<ShownWindow> windows;
  std::optional<std::string> donationLabel;  // the 1% panel's limit
  // Another entry the user must go to first (shown at its page 1).
  std::optional<EntryRef> showEntry;
  // A reminder has been shown during the page display (the input's, then
  // the calculation's own).
  bool reminderShown = false;

  void SetReadOnly(int field, bool on) { flags[field].readOnly = on; }
  void SetVisible(int field, bool on) { flags[field].visible = on; }
  void SetMustBe(int field, bool on) { flags[field].mustBe = on; }
  void SetMaxChar(int field, int maxChar) { flags[field].maxChar = maxChar; }

  void ClearMessages() {
    messages.replaced = true;
    messages.lines.clear();
    messages.extraLines = 0;
    messages.hiddenBefore = 0;
  }
  void AddMessage(const std::string& line) { messages.lines.push_back(line); }
  void SetMessageListHeight(MessageListHeight h) {
    messages.height = h;
    messages.extraLines = 0;
    if (h == MessageListHeight::Hidden) messages.hiddenBefore = messages.lines.size();
  }
  void GrowMessageList(int lines) { messages.extraLines += lines; }

  void Remind(const std::string& text) { windows.push_back({ShownWindow::Kind::Reminder, text, 0}); }
  void Warn(const std::string& text) { windows.push_back({ShownWindow::Kind::Warning, text, 0}); }
  void Fail(const std::string& text) { windows.push_back({ShownWindow::Kind::Error, text, 0}); }
  void CorrectionInfo(const std::string& caption, int page) {
    windows.push_back({ShownWindow::Kind::CorrectionInfo, caption, page});
  }
  void SetDonationLabel(const std::string& text) { donationLabel = text; }

  // Whether `line` is in the list and showing (not put away after it).
  bool Showing(const std::string& line) const;
};

}  // namespace pit
