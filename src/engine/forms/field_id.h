#pragma once
// A named field of one form: its object index, typed by the form (the form's
// number), so that a field of one form is refused where another form's field
// is meant. The names themselves are generated from the form sources into
// forms/<form>_fields.h; code that reads or writes any field by index takes
// a named field as its index.
namespace pit {

template <int Form>
struct FieldOf {
  int index;
  constexpr operator int() const { return index; }
};

}  // namespace pit
