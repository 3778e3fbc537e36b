// The form window's part in "Cofnij" and "Ponów": the typing not yet
// committed, and showing values that the history put back.
#include "calc/display.h"
#include "forms/values.h"
#include "ui/forms/field_editors.h"
#include "ui/forms/opp_panels.h"
#include "ui/forms/pick_panels.h"
#include "ui/forms/tfimage.h"

namespace pit::ui {

bool TFImage::EditorHoldsTyping() const {
  const int k = edited_;
  if (!IsField(k) || openedFor_ != k || Slot(k) == nullptr) return false;
  const std::string& stored = Slot(k)->Value;
  if (editor_ == Editor::Text && textBox_ != nullptr) return textBox_->text().toStdString() != stored;
  if (editor_ == Editor::Masked && maskedBox_ != nullptr) {
    const FieldObject& d = fields_[static_cast<std::size_t>(k)];
    const std::string masked = d.Typ == kNip ? MaskNip(stored, d.Option) : MaskDate(stored);
    return maskedBox_->Masked().toStdString() != masked;
  }
  return false;
}

void TFImage::ShowRestoredValues() {
  RunEntryCalculation();
  const int k = edited_;
  if (IsField(k) && openedFor_ == k && Slot(k) != nullptr) {
    switch (editor_) {
      case Editor::Text:
      case Editor::Masked:
        RevertEditor();
        break;
      case Editor::Tick:
        tickPanel_->SetCaption(Slot(k)->CheckState);
        break;
      case Editor::Office:
        OpenTaxOfficePanel(k);
        break;
      case Editor::Country:
        OpenCountryPanel(k);
        break;
      case Editor::Picker:
        OpenOrganisationPicker(k);
        break;
      case Editor::None:
      case Editor::ValueOver:
        break;
    }
  }
  Redraw();
}

}  // namespace pit::ui
