#include "calc/display.h"

namespace pit {
namespace {
FieldObject* FieldAt(std::vector<FieldObject>* fields, int k) {
  if (fields == nullptr || k < 0 || k >= static_cast<int>(fields->size())) return nullptr;
  return &(*fields)[static_cast<std::size_t>(k)];
}
}  // namespace

void HeadlessDisplay::SetReadOnly(int field, bool on) {
  flags[field].readOnly = on;
  if (FieldObject* f = FieldAt(fields, field)) f->ReadOnly = on;
}
void HeadlessDisplay::SetVisible(int field, bool on) {
  flags[field].visible = on;
  if (FieldObject* f = FieldAt(fields, field)) f->Visible = on;
}
void HeadlessDisplay::SetMustBe(int field, bool on) {
  flags[field].mustBe = on;
  if (FieldObject* f = FieldAt(fields, field)) f->MustBe = on;
}
void HeadlessDisplay::SetMaxChar(int field, int maxChar) {
  flags[field].maxChar = maxChar;
  if (FieldObject* f = FieldAt(fields, field)) f->MaxChar = maxChar;
}

bool HeadlessDisplay::MustBe(int field) const {
  auto it = flags.find(field);
  return it != flags.end() && it->second.mustBe == 1;
}
bool HeadlessDisplay::ReadOnly(int field) const {
  auto it = flags.find(field);
  return it != flags.end() && it->second.readOnly == 1;
}
bool HeadlessDisplay::Visible(int field) const {
  auto it = flags.find(field);
  return it == flags.end() || it->second.visible != 0;
}

}  // namespace pit
