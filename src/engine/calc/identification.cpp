#include "calc/identification.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <type_traits>
#include <vector>

#include "app/catalogue.h"
#include "app/settlement.h"
#include "app/undo.h"
#include "forms/nip7_fields.h"
#include "forms/nip_b_fields.h"
#include "forms/nip_c_fields.h"
#include "forms/pit11_fields.h"
#include "forms/pit16a_fields.h"
#include "forms/pit28_fields.h"
#include "forms/pit28a_fields.h"
#include "forms/pit28b_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit38_fields.h"
#include "forms/pit39_fields.h"
#include "forms/pit40_fields.h"
#include "forms/pit_2k_fields.h"
#include "forms/pit_b_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_m_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/pit_r_fields.h"
#include "forms/pit_uz_fields.h"
#include "forms/pit_z_fields.h"
#include "forms/pit_zg_fields.h"
#include "forms/sse_a_fields.h"
#include "forms/sse_r_a_fields.h"
#include "forms/sse_r_fields.h"
#include "forms/upkd_ord_zu_fields.h"
#include "text/cp1250.h"

namespace pit {
namespace {

enum class Person { Own, Taxpayer, Spouse, Payer };

enum class Item {
  Identifier,     // into NIP or PESEL by the person's kind
  IdNipOnly,      // only when the person's kind is NIP
  IdNipEither,    // only when either person's kind is NIP
  IdNipAlways,    // NIP whatever the kind
  Office,         // name and office code
  Surname, FirstName, BirthDate,
  Voivodeship, County, Country, Commune, Street, HouseNo, FlatNo, Town, PostalCode, PostOffice,
  VariantATick, VariantAText, VariantBTick, VariantBText,
  PayerNip, PayerName1, PayerName2, PayerName3, PayerName4, PayerName5,
};

struct Link {
  int field;
  Person person;
  Item item;
};

using Links = std::vector<Link>;

void Names(Links& l, Person p, int surname, int firstName, int birthDate) {
  l.push_back({surname, p, Item::Surname});
  l.push_back({firstName, p, Item::FirstName});
  l.push_back({birthDate, p, Item::BirthDate});
}

// Fields in record order: Voivodeship, County, Country, Commune, Street,
// HouseNo, FlatNo, Town, PostalCode, PostOffice.
void Address(Links& l, Person p, std::initializer_list<int> fields) {
  static const Item kOrder[] = {Item::Voivodeship, Item::County, Item::Country, Item::Commune,
                                Item::Street,      Item::HouseNo, Item::FlatNo, Item::Town,
                                Item::PostalCode,  Item::PostOffice};
  int i = 0;
  for (int f : fields) l.push_back({f, p, kOrder[i++]});
}

void PayerNames(Links& l, std::initializer_list<int> fields) {
  static const Item kOrder[] = {Item::PayerName1, Item::PayerName2, Item::PayerName3, Item::PayerName4,
                                Item::PayerName5};
  int i = 0;
  for (int f : fields) l.push_back({f, Person::Payer, kOrder[i++]});
}

// The correspondence of one entry's fields with the records.
Links LinksFor(const Settlement& s, const FormEntry& e) {
  Links l;
  l.reserve(40);  // both persons' identification and addresses: one allocation
  const Person own = Person::Own;
  const Person tp = Person::Taxpayer;
  const Person sp = Person::Spouse;
  switch (e.IdPit) {
    case kPit36: {
      using namespace pit36;
      l.push_back({taxpayer_id, own, Item::Identifier});
      l.push_back({office, own, Item::Office});
      Names(l, own, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date);
      Address(l, own,
              {taxpayer_voivodeship, taxpayer_county, taxpayer_country, taxpayer_commune, taxpayer_street,
               taxpayer_house_no, taxpayer_flat_no, taxpayer_town, taxpayer_postal_code, taxpayer_post_office});
      if (e.Kind == kJoint) {
        l.push_back({spouse_id, sp, Item::Identifier});
        l.push_back({office, sp, Item::Office});
        Names(l, sp, spouse_surname, spouse_first_name, spouse_birth_date);
        Address(l, sp,
                {spouse_voivodeship, spouse_county, spouse_country, spouse_commune, spouse_street, spouse_house_no,
                 spouse_flat_no, spouse_town, spouse_postal_code, spouse_post_office});
      }
      break;
    }
    case kPit37: {
      using namespace pit37;
      l.push_back({taxpayer_id, own, Item::Identifier});
      l.push_back({office, own, Item::Office});
      Names(l, own, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date);
      Address(l, own,
              {taxpayer_voivodeship, taxpayer_county, taxpayer_country, taxpayer_commune, taxpayer_street,
               taxpayer_house_no, taxpayer_flat_no, taxpayer_town, taxpayer_postal_code, taxpayer_post_office});
      if (e.Kind == kJoint) {
        l.push_back({spouse_id, sp, Item::Identifier});
        l.push_back({office, sp, Item::Office});
        Names(l, sp, spouse_surname, spouse_first_name, spouse_birth_date);
        Address(l, sp,
                {spouse_voivodeship, spouse_county, spouse_country, spouse_commune, spouse_street, spouse_house_no,
                 spouse_flat_no, spouse_town, spouse_postal_code, spouse_post_office});
      }
      break;
    }
    case kPit36L:
      l.push_back({pit36l::taxpayer_id, own, Item::IdNipOnly});
      l.push_back({pit36l::office, own, Item::Office});
      Names(l, own, pit36l::surname, pit36l::first_name, pit36l::birth_date);
      break;
    case kPit38: {
      using namespace pit38;
      l.push_back({taxpayer_id, own, Item::Identifier});
      l.push_back({office, own, Item::Office});
      Names(l, own, surname, first_name, birth_date);
      Address(l, own,
              {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office});
      break;
    }
    case kPit28: {
      using namespace pit28;
      l.push_back({taxpayer_id, own, Item::Identifier});
      l.push_back({office, own, Item::Office});
      Names(l, own, surname, first_name, birth_date);
      Address(l, own,
              {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office});
      break;
    }
    case kPit39: {
      using namespace pit39;
      l.push_back({taxpayer_id, own, Item::Identifier});
      l.push_back({office, own, Item::Office});
      Names(l, own, surname, first_name, birth_date);
      Address(l, own,
              {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office});
      break;
    }
    case kPitO: {
      using namespace pit_o;
      // The form's first person block is the one of the attachment's person.
      const Person first = e.PM == kPmSpouse ? sp : tp;
      l.push_back({taxpayer_id, first, Item::Identifier});
      Names(l, first, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date);
      if (e.PM == kPmNone && (s.Kind == kIndividual || s.Kind == kJoint)) {
        l.push_back({spouse_id, sp, Item::Identifier});
        Names(l, sp, spouse_surname, spouse_first_name, spouse_birth_date);
      }
      break;
    }
    case kPitD: {
      using namespace pit_d;
      l.push_back({taxpayer_id, tp, Item::Identifier});
      Names(l, tp, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date);
      l.push_back({spouse_id, sp, Item::Identifier});
      Names(l, sp, spouse_surname, spouse_first_name, spouse_birth_date);
      break;
    }
    case kPit2K: {
      using namespace pit_2k;
      l.push_back({taxpayer_id, tp, Item::Identifier});
      Names(l, tp, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date);
      l.push_back({spouse_id, sp, Item::Identifier});
      Names(l, sp, spouse_surname, spouse_first_name, spouse_birth_date);
      break;
    }
    case kPitM:
      l.push_back({pit_m::taxpayer_id, own, Item::Identifier});
      Names(l, own, pit_m::surname, pit_m::first_name, pit_m::birth_date);
      break;
    case kPitZG:
      l.push_back({pit_zg::taxpayer_id, own, Item::Identifier});
      Names(l, own, pit_zg::surname, pit_zg::first_name, pit_zg::birth_date);
      break;
    case kPit28A:
      l.push_back({pit28a::taxpayer_id, own, Item::Identifier});
      Names(l, own, pit28a::surname, pit28a::first_name, pit28a::birth_date);
      break;
    case kPitB:
      l.push_back({pit_b::taxpayer_id, own, Item::IdNipEither});
      Names(l, own, pit_b::surname, pit_b::first_name, pit_b::birth_date);
      break;
    case kPitZ:
      l.push_back({pit_z::taxpayer_id, own, Item::IdNipEither});
      Names(l, own, pit_z::surname, pit_z::first_name, pit_z::birth_date);
      break;
    case kSseR:
      l.push_back({sse_r::taxpayer_id, own, Item::IdNipEither});
      break;
    case kSseA:
      l.push_back({sse_a::taxpayer_id, own, Item::IdNipEither});
      break;
    case kSseRA:
      l.push_back({sse_r_a::taxpayer_id, own, Item::IdNipEither});
      break;
    case kPit28B:
      l.push_back({pit28b::taxpayer_id, own, Item::IdNipOnly});
      Names(l, own, pit28b::surname, pit28b::first_name, pit28b::birth_date);
      break;
    case kPit40: {
      using namespace pit40;
      l.push_back({taxpayer_id, tp, Item::Identifier});
      l.push_back({office, tp, Item::Office});
      Names(l, tp, surname, first_name, birth_date);
      Address(l, tp,
              {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office});
      l.push_back({payer_entity, tp, Item::VariantATick});
      l.push_back({payer_entity, tp, Item::VariantAText});
      l.push_back({payer_person, tp, Item::VariantBTick});
      l.push_back({payer_person, tp, Item::VariantBText});
      l.push_back({payer_nip, Person::Payer, Item::PayerNip});
      PayerNames(l, {payer_name, payer_regon, payer_surname, payer_first_name, payer_birth_date});
      break;
    }
    case kPit11: {
      using namespace pit11;
      l.push_back({taxpayer_id, tp, Item::Identifier});
      l.push_back({office, tp, Item::Office});
      Names(l, tp, surname, first_name, birth_date);
      Address(l, tp,
              {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office});
      l.push_back({payer_entity, tp, Item::VariantATick});
      l.push_back({payer_entity, tp, Item::VariantAText});
      l.push_back({payer_person, tp, Item::VariantBTick});
      l.push_back({payer_person, tp, Item::VariantBText});
      l.push_back({payer_nip, Person::Payer, Item::PayerNip});
      PayerNames(l, {payer_name, payer_regon, payer_surname, payer_first_name, payer_birth_date});
      break;
    }
    case kPitR: {
      using namespace pit_r;
      l.push_back({taxpayer_id, tp, Item::Identifier});
      l.push_back({office, tp, Item::Office});
      Names(l, tp, surname, first_name, birth_date);
      l.push_back({payer_nip, Person::Payer, Item::PayerNip});
      PayerNames(l, {payer_name, payer_regon});
      break;
    }
    case kNip7:
      l.push_back({nip7::nip, own, Item::IdNipAlways});
      break;
    case kNipB:
      l.push_back({nip_b::taxpayer_id, own, Item::IdNipAlways});
      break;
    case kNipC:
      l.push_back({nip_c::taxpayer_id, own, Item::IdNipAlways});
      break;
    case kUpkdOrdZu: {
      using namespace upkd_ord_zu;
      // The filer's name fields: a person's name and birth date, or a
      // payer's full and short name.
      if (s.Kind == kPayerForms) {
        l.push_back({taxpayer_id, Person::Payer, Item::PayerNip});
        PayerNames(l,
                   {taxpayer_surname, taxpayer_short_name, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date});
      } else if (s.Kind == kJoint) {
        const int parentPm = s.Has(e.IdParent) ? s.Entry(e.IdParent).PM : kPmNone;
        if (parentPm == kPmSpouse) {
          l.push_back({taxpayer_id, sp, Item::Identifier});
          Names(l, sp, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date);
        } else {
          l.push_back({taxpayer_id, tp, Item::Identifier});
          Names(l, tp, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date);
          if (parentPm == kPmNone) {
            l.push_back({spouse_id, sp, Item::Identifier});
            Names(l, sp, spouse_surname, spouse_first_name, spouse_birth_date);
          }
        }
      } else {
        l.push_back({taxpayer_id, tp, Item::Identifier});
        Names(l, tp, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date);
      }
      break;
    }
    case kPit16A:
      l.push_back({pit16a::taxpayer_id, own, Item::IdNipOnly});
      l.push_back({pit16a::office, own, Item::Office});
      Names(l, own, pit16a::surname, pit16a::first_name, pit16a::birth_date);
      break;
    case kPitUZ: {
      using namespace pit_uz;
      const Person first = e.PM == kPmSpouse ? sp : tp;
      l.push_back({taxpayer_id, first, Item::Identifier});
      Names(l, first, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date);
      if (e.PM == kPmNone && (s.Kind == kIndividual || s.Kind == kJoint)) {
        l.push_back({spouse_id, sp, Item::Identifier});
        Names(l, sp, spouse_surname, spouse_first_name, spouse_birth_date);
      }
      break;
    }
    default:  // NIP-1, NIP-3, ZAP-3, UPKD and the payer's UPKD carry their own data
      break;
  }
  return l;
}

// The same, made once for each kind of entry: every calculation that
// exchanges the persons' data reads the links of every entry.
const Links& LinksOf(const Settlement& s, const FormEntry& e) {
  using Key = std::array<int, 5>;
  thread_local std::map<Key, Links> made;
  const int parentPm = e.IdPit == kUpkdOrdZu && s.Has(e.IdParent) ? s.Entry(e.IdParent).PM : 0;
  const Key key{e.IdPit, e.Kind, e.PM, s.Kind, parentPm};
  auto found = made.find(key);
  if (found != made.end()) return found->second;
  // Headers read from a damaged file can hold any numbers.
  if (made.size() > 512) made.clear();
  return made.emplace(key, LinksFor(s, e)).first->second;
}

bool IsSpouse(Person p, const FormEntry& e) {
  return p == Person::Spouse || (p == Person::Own && e.PM == kPmSpouse);
}

int KindOf(Person p, const FormEntry& e, const Settlement& s) {
  return IsSpouse(p, e) ? s.SpouseIdKind : s.TaxpayerIdKind;
}

// The text member of a record for an item; nullptr for the identifier
// items and the ticks, which have their own rules.
template <typename Records, typename Rec>
auto* TextMember(Records& ids, Rec& rec, Item item) {
  using Str = std::remove_reference_t<decltype((rec.Surname))>;
  Str* r = nullptr;
  switch (item) {
    case Item::Surname: r = &rec.Surname; break;
    case Item::FirstName: r = &rec.FirstName; break;
    case Item::BirthDate: r = &rec.BirthDate; break;
    case Item::Voivodeship: r = &rec.Voivodeship; break;
    case Item::County: r = &rec.County; break;
    case Item::Country: r = &rec.Country; break;
    case Item::Commune: r = &rec.Commune; break;
    case Item::Street: r = &rec.Street; break;
    case Item::HouseNo: r = &rec.HouseNo; break;
    case Item::FlatNo: r = &rec.FlatNo; break;
    case Item::Town: r = &rec.Town; break;
    case Item::PostalCode: r = &rec.PostalCode; break;
    case Item::PostOffice: r = &rec.PostOffice; break;
    case Item::VariantAText: r = &ids.PayerForm.VariantAText; break;
    case Item::VariantBText: r = &ids.PayerForm.VariantBText; break;
    case Item::PayerNip: r = &ids.Payer.NIP; break;
    case Item::PayerName1: r = &ids.Payer.PayerName1; break;
    case Item::PayerName2: r = &ids.Payer.PayerName2; break;
    case Item::PayerName3: r = &ids.Payer.PayerName3; break;
    case Item::PayerName4: r = &ids.Payer.PayerName4; break;
    case Item::PayerName5: r = &ids.Payer.PayerName5; break;
    default: break;
  }
  return r;
}

std::size_t WidthOf(Item item) {
  switch (item) {
    case Item::BirthDate: return idw::BirthDate;
    case Item::HouseNo: return idw::HouseNo;
    case Item::FlatNo: return idw::FlatNo;
    case Item::PostalCode: return idw::PostalCode;
    case Item::PayerNip: return idw::NIP;
    default: return idw::Text;
  }
}

// Whether the link's identifier goes through the NIP text, the PESEL text,
// or neither (kIdNone).
int IdentifierTarget(const Link& l, const FormEntry& e, const Settlement& s) {
  const int kind = KindOf(l.person, e, s);
  switch (l.item) {
    case Item::Identifier: return kind;
    case Item::IdNipOnly: return kind == kIdNip ? kIdNip : kIdNone;
    case Item::IdNipEither:
      return (s.TaxpayerIdKind == kIdNip || s.SpouseIdKind == kIdNip) ? kIdNip : kIdNone;
    case Item::IdNipAlways: return kIdNip;
    default: return kIdNone;
  }
}

bool IsIdentifier(Item i) {
  return i == Item::Identifier || i == Item::IdNipOnly || i == Item::IdNipEither || i == Item::IdNipAlways;
}

}  // namespace

int AddressCountryFieldOf(const Settlement& s, int entry, int postalField) {
  if (!s.Has(entry)) return -1;
  const Links& links = LinksOf(s, s.Entry(entry));
  for (const Link& postal : links) {
    if (postal.field != postalField || postal.item != Item::PostalCode) continue;
    for (const Link& country : links)
      if (country.person == postal.person && country.item == Item::Country) return country.field;
  }
  return -1;
}

void CollectIdentification(Settlement& s, IdentificationRecords& ids, int entry) {
  if (!s.Has(entry)) return;
  const FormEntry& e = s.Entry(entry);
  for (const Link& l : LinksOf(s, e)) {
    const ValueSlot& slot = e.Slots()[static_cast<std::size_t>(l.field)];
    IdentificationRecord& rec = IsSpouse(l.person, e) ? ids.Spouse : ids.Taxpayer;
    if (IsIdentifier(l.item)) {
      const int target = IdentifierTarget(l, e, s);
      if (target == kIdNip) {
        rec.NIP = FitWidth(slot.Value, idw::NIP);
      } else if (target == kIdPesel) {
        rec.PESEL = FitWidth(slot.Value, idw::PESEL);
      } else if (l.item == Item::Identifier && IsSpouse(l.person, e)) {
        // No spouse: nothing of a former spouse's identifier may survive.
        rec.NIP.clear();
        rec.PESEL.clear();
      }
      continue;
    }
    switch (l.item) {
      case Item::Office:
        rec.TaxOffice = FitWidth(slot.Value, idw::TaxOffice);
        rec.TaxOfficeCode = FitWidth(slot.OfficeCode, idw::TaxOfficeCode);
        break;
      case Item::VariantATick: ids.PayerForm.VariantA = slot.CheckState; break;
      case Item::VariantBTick: ids.PayerForm.VariantB = slot.CheckState; break;
      default:
        if (std::string* t = TextMember(ids, rec, l.item)) *t = FitWidth(slot.Value, WidthOf(l.item));
        break;
    }
  }
}

void DistributeIdentificationTo(Settlement& s, const IdentificationRecords& ids, int entry) {
  if (!s.Has(entry)) return;
  const FormEntry& e = s.Entry(entry);
  for (const Link& l : LinksOf(s, e)) {
    const int k = l.field;
    const IdentificationRecord& rec = IsSpouse(l.person, e) ? ids.Spouse : ids.Taxpayer;
    if (IsIdentifier(l.item)) {
      const int target = IdentifierTarget(l, e, s);
      if (target == kIdNip)
        s.Write(entry, k, rec.NIP);
      else if (target == kIdPesel)
        s.Write(entry, k, rec.PESEL);
      else if (l.item == Item::Identifier)
        s.Write(entry, k, std::string_view());
      continue;
    }
    switch (l.item) {
      case Item::Office:
        s.Write(entry, k, rec.TaxOffice);
        s.WriteOfficeCode(entry, k, rec.TaxOfficeCode);
        break;
      case Item::VariantATick: s.WriteCheck(entry, k, ids.PayerForm.VariantA); break;
      case Item::VariantBTick: s.WriteCheck(entry, k, ids.PayerForm.VariantB); break;
      default:
        if (const std::string* t = TextMember(ids, rec, l.item)) s.Write(entry, k, *t);
        break;
    }
  }
  // A PIT/O of one spouse only carries nobody else.
  if (e.IdPit == kPitO && (e.PM == kPmTaxpayer || e.PM == kPmSpouse)) {
    using namespace pit_o;
    for (int k : {spouse_id, spouse_surname, spouse_first_name, spouse_birth_date, status})
      s.Write(entry, k, std::string_view());
  }
}

namespace {

// What a distribution writes into an entry follows from the persons' data,
// the settlement's kinds, the entry's header and its parent's person, and
// the entry's own values (a write of what is there is no change). When none
// of these moved since the last distribution to the entry, it would write
// nothing: most calculations of a large settlement pass every entry over.
struct DistributionSource {
  IdentificationRecords ids;
  int kind = 0, taxpayerIdKind = 0, spouseIdKind = 0;
  std::uint64_t number = 0;
};

std::uint64_t SourceOf(const Settlement& s, const IdentificationRecords& ids) {
  static std::atomic<std::uint64_t> numbers{0};
  thread_local DistributionSource last;
  if (last.number == 0 || last.kind != s.Kind || last.taxpayerIdKind != s.TaxpayerIdKind ||
      last.spouseIdKind != s.SpouseIdKind || !SameIdentification(last.ids, ids)) {
    last.ids = ids;
    last.kind = s.Kind;
    last.taxpayerIdKind = s.TaxpayerIdKind;
    last.spouseIdKind = s.SpouseIdKind;
    last.number = ++numbers;
  }
  return last.number;
}

}  // namespace

void DistributeIdentification(Settlement& s, const IdentificationRecords& ids) {
  const std::uint64_t source = SourceOf(s, ids);
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    const int parentPm = s.Has(e.IdParent) ? s.Entry(e.IdParent).PM : 0;
    const std::array<int, 4> header{e.IdPit, e.Kind, e.PM, e.IdParent};
    FormEntry::DistributionMark& mark = e.Distributed();
    if (mark.source == source && mark.valuesStamp == e.ValuesStamp() && mark.header == header &&
        mark.parentPm == parentPm)
      continue;
    DistributeIdentificationTo(s, ids, i);
    mark = FormEntry::DistributionMark{e.ValuesStamp(), source, header, parentPm};
  }
}

}  // namespace pit
