#pragma once
// Slots of last year's records whose field this year's form moved or dropped:
// the import reads them where last year's program wrote them. Every other
// slot the import reads holds the same field as in this year's form and is
// named by this year's names (forms/<form>_fields.h).
namespace pit::last_year {

// Last year's PIT-36L had the taxpayer's address; this year's form has none
// and uses these slots for other fields.
namespace pit36l {
inline constexpr int voivodeship = 9;
inline constexpr int county = 10;
inline constexpr int commune = 11;
inline constexpr int street = 12;
inline constexpr int house_no = 13;
inline constexpr int flat_no = 14;
inline constexpr int town = 15;
inline constexpr int postal_code = 16;
inline constexpr int post_office = 17;
inline constexpr int country = 111;
}  // namespace pit36l

// The payer's address of last year's PIT-40 and PIT-11 (this year's forms
// have no payer address; the voivodeship is not read).
namespace pit40 {
inline constexpr int payer_county = 11;
inline constexpr int payer_country = 12;
inline constexpr int payer_commune = 13;
inline constexpr int payer_street = 14;
inline constexpr int payer_house_no = 15;
inline constexpr int payer_flat_no = 16;
inline constexpr int payer_town = 17;
inline constexpr int payer_postal_code = 18;
inline constexpr int payer_post_office = 19;
}  // namespace pit40

namespace pit11 {
inline constexpr int payer_county = 11;
inline constexpr int payer_country = 12;
inline constexpr int payer_commune = 13;
inline constexpr int payer_street = 14;
inline constexpr int payer_house_no = 15;
inline constexpr int payer_flat_no = 16;
inline constexpr int payer_town = 18;
inline constexpr int payer_postal_code = 19;
inline constexpr int payer_post_office = 20;
}  // namespace pit11

}  // namespace pit::last_year
