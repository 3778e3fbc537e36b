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

// The fields of a person's names on a form.
struct NameFields {
  int surname, firstName, birthDate;
};

// The fields of a person's address on a form, in the order of the record:
// voivodeship, county, country, commune, street, house, flat, town, postal
// code, post office.
using AddressFields = std::array<int, 10>;

void Names(Links& l, Person p, const NameFields& n) {
  l.push_back({n.surname, p, Item::Surname});
  l.push_back({n.firstName, p, Item::FirstName});
  l.push_back({n.birthDate, p, Item::BirthDate});
}

// The block most attachments give a person: the identifier and the names.
void IdAndNames(Links& l, Person p, Item id, int idField, const NameFields& n) {
  l.push_back({idField, p, id});
  Names(l, p, n);
}

// A return's block of a person: the identifier, the tax office, the names
// and, where the form has one, the address.
void ReturnBlock(Links& l, Person p, Item id, int idField, int office, const NameFields& n) {
  l.push_back({idField, p, id});
  l.push_back({office, p, Item::Office});
  Names(l, p, n);
}

void ReturnBlock(Links& l, Person p, Item id, int idField, int office, const NameFields& n,
                 const AddressFields& address) {
  ReturnBlock(l, p, id, idField, office, n);
  static const Item kOrder[] = {Item::Voivodeship, Item::County, Item::Country, Item::Commune,
                                Item::Street,      Item::HouseNo, Item::FlatNo, Item::Town,
                                Item::PostalCode,  Item::PostOffice};
  for (std::size_t i = 0; i < address.size(); ++i) l.push_back({address[i], p, kOrder[i]});
}

// PIT-36 and PIT-37: the taxpayer's block, and the spouse's on a joint
// return. Both persons name the one tax office.
void TaxpayerAndSpouse(Links& l, const FormEntry& e, int office, int taxpayerId, const NameFields& taxpayer,
                       const AddressFields& taxpayerAddress, int spouseId, const NameFields& spouse,
                       const AddressFields& spouseAddress) {
  ReturnBlock(l, Person::Own, Item::Identifier, taxpayerId, office, taxpayer, taxpayerAddress);
  if (e.Kind == kJoint) ReturnBlock(l, Person::Spouse, Item::Identifier, spouseId, office, spouse, spouseAddress);
}

// PIT-O and PIT/UZ: the first block is the one of the person the attachment
// is for; one attached for both persons of an individual or joint return
// names the spouse as well.
void AttachmentPersons(Links& l, const Settlement& s, const FormEntry& e, int firstId, const NameFields& first,
                       int spouseId, const NameFields& spouse) {
  IdAndNames(l, e.PM == kPmSpouse ? Person::Spouse : Person::Taxpayer, Item::Identifier, firstId, first);
  if (e.PM == kPmNone && (s.Kind == kIndividual || s.Kind == kJoint))
    IdAndNames(l, Person::Spouse, Item::Identifier, spouseId, spouse);
}

// PIT-D and PIT/2K: both persons' blocks, always.
void BothPersons(Links& l, int taxpayerId, const NameFields& taxpayer, int spouseId, const NameFields& spouse) {
  IdAndNames(l, Person::Taxpayer, Item::Identifier, taxpayerId, taxpayer);
  IdAndNames(l, Person::Spouse, Item::Identifier, spouseId, spouse);
}

// The payer's NIP and the up to five texts of its name (a name and REGON,
// or a person's surname, first name and birth date).
void PayerBlock(Links& l, int nip, std::initializer_list<int> names) {
  static const Item kOrder[] = {Item::PayerName1, Item::PayerName2, Item::PayerName3, Item::PayerName4,
                                Item::PayerName5};
  l.push_back({nip, Person::Payer, Item::PayerNip});
  int i = 0;
  for (int f : names) l.push_back({f, Person::Payer, kOrder[i++]});
}

// PIT-11 and PIT-40: the taxpayer's return block, which kind of payer
// (a tick and its text each), and the payer's block.
void PayerForm(Links& l, int id, int office, const NameFields& n, const AddressFields& address, int entity,
               int person, int payerNip, std::initializer_list<int> payerNames) {
  ReturnBlock(l, Person::Taxpayer, Item::Identifier, id, office, n, address);
  l.push_back({entity, Person::Taxpayer, Item::VariantATick});
  l.push_back({entity, Person::Taxpayer, Item::VariantAText});
  l.push_back({person, Person::Taxpayer, Item::VariantBTick});
  l.push_back({person, Person::Taxpayer, Item::VariantBText});
  PayerBlock(l, payerNip, payerNames);
}

// The correspondence of one entry's fields with the records.
Links LinksFor(const Settlement& s, const FormEntry& e) {
  Links l;
  l.reserve(40);  // both persons' identification and addresses: one allocation
  const Person own = Person::Own;
  switch (e.IdPit) {
    case kPit36: {
      using namespace pit36;
      TaxpayerAndSpouse(l, e, office, taxpayer_id, {taxpayer_surname, taxpayer_first_name, taxpayer_birth_date},
                        {taxpayer_voivodeship, taxpayer_county, taxpayer_country, taxpayer_commune, taxpayer_street,
                         taxpayer_house_no, taxpayer_flat_no, taxpayer_town, taxpayer_postal_code,
                         taxpayer_post_office},
                        spouse_id, {spouse_surname, spouse_first_name, spouse_birth_date},
                        {spouse_voivodeship, spouse_county, spouse_country, spouse_commune, spouse_street,
                         spouse_house_no, spouse_flat_no, spouse_town, spouse_postal_code, spouse_post_office});
      break;
    }
    case kPit37: {
      using namespace pit37;
      TaxpayerAndSpouse(l, e, office, taxpayer_id, {taxpayer_surname, taxpayer_first_name, taxpayer_birth_date},
                        {taxpayer_voivodeship, taxpayer_county, taxpayer_country, taxpayer_commune, taxpayer_street,
                         taxpayer_house_no, taxpayer_flat_no, taxpayer_town, taxpayer_postal_code,
                         taxpayer_post_office},
                        spouse_id, {spouse_surname, spouse_first_name, spouse_birth_date},
                        {spouse_voivodeship, spouse_county, spouse_country, spouse_commune, spouse_street,
                         spouse_house_no, spouse_flat_no, spouse_town, spouse_postal_code, spouse_post_office});
      break;
    }
    case kPit36L: {
      using namespace pit36l;
      ReturnBlock(l, own, Item::IdNipOnly, taxpayer_id, office, {surname, first_name, birth_date});
      break;
    }
    case kPit16A: {
      using namespace pit16a;
      ReturnBlock(l, own, Item::IdNipOnly, taxpayer_id, office, {surname, first_name, birth_date});
      break;
    }
    case kPit38: {
      using namespace pit38;
      ReturnBlock(l, own, Item::Identifier, taxpayer_id, office, {surname, first_name, birth_date},
                  {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office});
      break;
    }
    case kPit28: {
      using namespace pit28;
      ReturnBlock(l, own, Item::Identifier, taxpayer_id, office, {surname, first_name, birth_date},
                  {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office});
      break;
    }
    case kPit39: {
      using namespace pit39;
      ReturnBlock(l, own, Item::Identifier, taxpayer_id, office, {surname, first_name, birth_date},
                  {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office});
      break;
    }
    case kPitO: {
      using namespace pit_o;
      AttachmentPersons(l, s, e, taxpayer_id, {taxpayer_surname, taxpayer_first_name, taxpayer_birth_date},
                        spouse_id, {spouse_surname, spouse_first_name, spouse_birth_date});
      break;
    }
    case kPitUZ: {
      using namespace pit_uz;
      AttachmentPersons(l, s, e, taxpayer_id, {taxpayer_surname, taxpayer_first_name, taxpayer_birth_date},
                        spouse_id, {spouse_surname, spouse_first_name, spouse_birth_date});
      break;
    }
    case kPitD: {
      using namespace pit_d;
      BothPersons(l, taxpayer_id, {taxpayer_surname, taxpayer_first_name, taxpayer_birth_date}, spouse_id,
                  {spouse_surname, spouse_first_name, spouse_birth_date});
      break;
    }
    case kPit2K: {
      using namespace pit_2k;
      BothPersons(l, taxpayer_id, {taxpayer_surname, taxpayer_first_name, taxpayer_birth_date}, spouse_id,
                  {spouse_surname, spouse_first_name, spouse_birth_date});
      break;
    }
    case kPitM:
      IdAndNames(l, own, Item::Identifier, pit_m::taxpayer_id, {pit_m::surname, pit_m::first_name, pit_m::birth_date});
      break;
    case kPitZG:
      IdAndNames(l, own, Item::Identifier, pit_zg::taxpayer_id,
                 {pit_zg::surname, pit_zg::first_name, pit_zg::birth_date});
      break;
    case kPit28A:
      IdAndNames(l, own, Item::Identifier, pit28a::taxpayer_id,
                 {pit28a::surname, pit28a::first_name, pit28a::birth_date});
      break;
    case kPitB:
      IdAndNames(l, own, Item::IdNipEither, pit_b::taxpayer_id, {pit_b::surname, pit_b::first_name, pit_b::birth_date});
      break;
    case kPitZ:
      IdAndNames(l, own, Item::IdNipEither, pit_z::taxpayer_id, {pit_z::surname, pit_z::first_name, pit_z::birth_date});
      break;
    case kPit28B:
      IdAndNames(l, own, Item::IdNipOnly, pit28b::taxpayer_id,
                 {pit28b::surname, pit28b::first_name, pit28b::birth_date});
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
    case kPit40: {
      using namespace pit40;
      PayerForm(l, taxpayer_id, office, {surname, first_name, birth_date},
                {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office},
                payer_entity, payer_person, payer_nip,
                {payer_name, payer_regon, payer_surname, payer_first_name, payer_birth_date});
      break;
    }
    case kPit11: {
      using namespace pit11;
      PayerForm(l, taxpayer_id, office, {surname, first_name, birth_date},
                {voivodeship, county, country, commune, street, house_no, flat_no, town, postal_code, post_office},
                payer_entity, payer_person, payer_nip,
                {payer_name, payer_regon, payer_surname, payer_first_name, payer_birth_date});
      break;
    }
    case kPitR: {
      using namespace pit_r;
      ReturnBlock(l, Person::Taxpayer, Item::Identifier, taxpayer_id, office, {surname, first_name, birth_date});
      PayerBlock(l, payer_nip, {payer_name, payer_regon});
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
      const NameFields taxpayer{taxpayer_surname, taxpayer_first_name, taxpayer_birth_date};
      // The filer's name fields: a person's name and birth date, or a
      // payer's full and short name.
      if (s.Kind == kPayerForms) {
        PayerBlock(l, taxpayer_id,
                   {taxpayer_surname, taxpayer_short_name, taxpayer_surname, taxpayer_first_name, taxpayer_birth_date});
      } else if (s.Kind == kJoint) {
        const int parentPm = s.Has(e.IdParent) ? s.Entry(e.IdParent).PM : kPmNone;
        if (parentPm == kPmSpouse) {
          IdAndNames(l, Person::Spouse, Item::Identifier, taxpayer_id, taxpayer);
        } else {
          IdAndNames(l, Person::Taxpayer, Item::Identifier, taxpayer_id, taxpayer);
          if (parentPm == kPmNone)
            IdAndNames(l, Person::Spouse, Item::Identifier, spouse_id,
                       {spouse_surname, spouse_first_name, spouse_birth_date});
        }
      } else {
        IdAndNames(l, Person::Taxpayer, Item::Identifier, taxpayer_id, taxpayer);
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
