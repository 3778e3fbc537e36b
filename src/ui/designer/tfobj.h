#pragma once
// "Zmiana typu obiektu": the type dialog of designer mode. Choosing a tab
// gives the field that type with the defaults of a newly drawn field of it;
// nothing reaches the file before "Zastosuj".
#include <QDialog>

#include "forms/field_object.h"

class QTabWidget;

namespace pit::ui {

// `f` with type `typ` and the settings of a newly drawn field of that type;
// the rectangle, ID, Page, Group, Name, PlusValue, Tab and Poz stay.
FieldObject ResetFieldType(const FieldObject& f, int typ);

class TFObj : public QDialog {
  Q_OBJECT

 public:
  explicit TFObj(QWidget* parent = nullptr);
  // Shows the tab of the field's type; the field stays as it is.
  void Edit(int index, const FieldObject& f);
  QTabWidget* Tabs() const { return tabs_; }
  const FieldObject& Edited() const { return field_; }

 signals:
  void applied(int index, const pit::FieldObject& f);

 private:
  QTabWidget* tabs_ = nullptr;
  FieldObject field_;
  int index_ = -1;
};

}  // namespace pit::ui
