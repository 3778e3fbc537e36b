#pragma once
// The rules of the form window that need no window: the entry hints, the
// tab order, the 1% flow's KRS fields, and the ordering of the pick lists.
#include <string>
#include <vector>

#include "forms/field_object.h"
#include "refdata/dictionaries.h"

namespace pit::ui {

// The message shown before the text box of field k of a form opens, or
// empty. `slotValue` is the field's value: most hints show only while it
// is "0,00"; the PIT-40 hint shows every time.
std::string EntryHint(int idPit, int k, const std::string& slotValue);

// The object index of the KRS field whose filling lets the 1% amount field
// of a return be edited; -1 for forms without one.
int KrsFieldOf(int idPit);

// The field the tab order goes to after `left`: among the fields from index
// 1 on that are visible, editable and have an editor, the one with the
// smallest Tab above the left field's (lowest index on equal Tab); `left`
// itself when there is none.
int NextFieldIndex(const std::vector<FieldObject>& defs, int left);
// The field Shift+Tab goes to: the one whose Tab comes right before the
// left field's (`left` when there is none), with the same fields skipped.
int PreviousFieldIndex(const std::vector<FieldObject>& defs, int left);

// The end-of-page question.
std::string PageQuestion(int page, const std::string& formCode);

// Pick-list orders: ascending by the town, or by the country name, compared
// byte by byte in Windows-1250; empty dictionary records are left out.
std::vector<TaxOffice> OfficesByTown(const std::vector<TaxOffice>& records);
std::vector<Country> CountriesByName(const std::vector<Country>& records);

// Whether `text` begins with `prefix` (both UTF-8) after upper-casing the
// prefix as the lists' search boxes do; an empty prefix matches.
bool BeginsWithUpper(const std::string& text, const std::string& prefix);

}  // namespace pit::ui
