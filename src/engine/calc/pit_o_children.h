#pragma once
// The five children of a PIT/O: each child's data, relief amounts and the
// two groups of month boxes (the taxpayer's and the spouse's), in the
// order of the printed form. The object indexes of a child are not in
// order (the form grew over the years), so code walks this table rather
// than runs of numbers.
#include <array>

#include "forms/pit_o_fields.h"

namespace pit {

struct PitOMonthBoxes {
  pit_o::Field wholeYear;
  std::array<pit_o::Field, 12> months;  // January to December
};

struct PitOChild {
  pit_o::Field pesel, surname, firstName, birthDate;
  pit_o::Field taxpayerRelief, spouseRelief;
  PitOMonthBoxes taxpayer, spouse;
};

inline constexpr std::array<PitOChild, 5> kPitOChildren = [] {
  using namespace pit_o;
  return std::array<PitOChild, 5>{{
      {child1_pesel,
       child1_surname,
       child1_first_name,
       child1_birth_date,
       child1_taxpayer_relief,
       child1_spouse_relief,
       {child1_taxpayer_whole_year,
        {child1_taxpayer_january, child1_taxpayer_february, child1_taxpayer_march, child1_taxpayer_april,
         child1_taxpayer_may, child1_taxpayer_june, child1_taxpayer_july, child1_taxpayer_august,
         child1_taxpayer_september, child1_taxpayer_october, child1_taxpayer_november, child1_taxpayer_december}},
       {child1_spouse_whole_year,
        {child1_spouse_january, child1_spouse_february, child1_spouse_march, child1_spouse_april, child1_spouse_may,
         child1_spouse_june, child1_spouse_july, child1_spouse_august, child1_spouse_september, child1_spouse_october,
         child1_spouse_november, child1_spouse_december}}},
      {child2_pesel,
       child2_surname,
       child2_first_name,
       child2_birth_date,
       child2_taxpayer_relief,
       child2_spouse_relief,
       {child2_taxpayer_whole_year,
        {child2_taxpayer_january, child2_taxpayer_february, child2_taxpayer_march, child2_taxpayer_april,
         child2_taxpayer_may, child2_taxpayer_june, child2_taxpayer_july, child2_taxpayer_august,
         child2_taxpayer_september, child2_taxpayer_october, child2_taxpayer_november, child2_taxpayer_december}},
       {child2_spouse_whole_year,
        {child2_spouse_january, child2_spouse_february, child2_spouse_march, child2_spouse_april, child2_spouse_may,
         child2_spouse_june, child2_spouse_july, child2_spouse_august, child2_spouse_september, child2_spouse_october,
         child2_spouse_november, child2_spouse_december}}},
      {child3_pesel,
       child3_surname,
       child3_first_name,
       child3_birth_date,
       child3_taxpayer_relief,
       child3_spouse_relief,
       {child3_taxpayer_whole_year,
        {child3_taxpayer_january, child3_taxpayer_february, child3_taxpayer_march, child3_taxpayer_april,
         child3_taxpayer_may, child3_taxpayer_june, child3_taxpayer_july, child3_taxpayer_august,
         child3_taxpayer_september, child3_taxpayer_october, child3_taxpayer_november, child3_taxpayer_december}},
       {child3_spouse_whole_year,
        {child3_spouse_january, child3_spouse_february, child3_spouse_march, child3_spouse_april, child3_spouse_may,
         child3_spouse_june, child3_spouse_july, child3_spouse_august, child3_spouse_september, child3_spouse_october,
         child3_spouse_november, child3_spouse_december}}},
      {child4_pesel,
       child4_surname,
       child4_first_name,
       child4_birth_date,
       child4_taxpayer_relief,
       child4_spouse_relief,
       {child4_taxpayer_whole_year,
        {child4_taxpayer_january, child4_taxpayer_february, child4_taxpayer_march, child4_taxpayer_april,
         child4_taxpayer_may, child4_taxpayer_june, child4_taxpayer_july, child4_taxpayer_august,
         child4_taxpayer_september, child4_taxpayer_october, child4_taxpayer_november, child4_taxpayer_december}},
       {child4_spouse_whole_year,
        {child4_spouse_january, child4_spouse_february, child4_spouse_march, child4_spouse_april, child4_spouse_may,
         child4_spouse_june, child4_spouse_july, child4_spouse_august, child4_spouse_september, child4_spouse_october,
         child4_spouse_november, child4_spouse_december}}},
      {child5_pesel,
       child5_surname,
       child5_first_name,
       child5_birth_date,
       child5_taxpayer_relief,
       child5_spouse_relief,
       {child5_taxpayer_whole_year,
        {child5_taxpayer_january, child5_taxpayer_february, child5_taxpayer_march, child5_taxpayer_april,
         child5_taxpayer_may, child5_taxpayer_june, child5_taxpayer_july, child5_taxpayer_august,
         child5_taxpayer_september, child5_taxpayer_october, child5_taxpayer_november, child5_taxpayer_december}},
       {child5_spouse_whole_year,
        {child5_spouse_january, child5_spouse_february, child5_spouse_march, child5_spouse_april, child5_spouse_may,
         child5_spouse_june, child5_spouse_july, child5_spouse_august, child5_spouse_september, child5_spouse_october,
         child5_spouse_november, child5_spouse_december}}},
  }};
}();

}  // namespace pit
