#pragma once
// Checks of what is typed into fields whose value has a fixed meaning
// outside the form: a NIP or PESEL with its check digit, a date that exists
// in the calendar (a birth date from 1900 to 2014), a Polish postal code
// "NN-NNN". A value that fails is not committed; the message says in Polish
// what is wrong. Empty values pass: whether a field must be filled is the
// required-field list's business.
#include <string>
#include <string_view>

#include "forms/field_object.h"

namespace pit {

enum class FieldRole {
  None,
  Nip,         // a NIP field (the masked box)
  Identifier,  // a person's NIP or PESEL, told apart by the number of digits
  Pesel,
  Date,
  BirthDate,
  PostalCode,
};

// What the definition record says the field holds: its type, and for text
// fields the name of a person's identifier (…NIP) or the printed label the
// record keeps as its hint ("Numer PESEL", "Kod pocztowy", "Data urodzenia").
FieldRole RoleOf(const FieldObject& def);

// Ten digits whose weighted sum (6 5 7 2 3 4 5 6 7) modulo 11 is the last.
bool NipValid(std::string_view digits);
// Eleven digits with the check digit of weights 1 3 7 9 and a birth date
// (the century in the month) that exists.
bool PeselValid(std::string_view digits);
// The birth date a valid PESEL carries, as "dd-mm-yyyy"; empty for a number
// that is not a valid PESEL.
std::string PeselBirthDate(std::string_view digits);
// A day that exists: day 1..31 within the month, leap years counted.
bool RealDate(int day, int month, int year);

// The problem with committing `text` into a field of role `role`, empty when
// there is none. `text` is what the editor gives: the masked text of a NIP
// or date box ("123-456-78-90", "31-12-1970"), digits for a date typed
// without dashes, the plain text of a text box. A postal code is checked
// only for an address in Poland (`polishAddress`).
std::string FieldValueProblem(FieldRole role, std::string_view text, bool polishAddress = true);

}  // namespace pit
