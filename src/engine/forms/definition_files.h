#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forms/field_object.h"

namespace pit {

constexpr std::size_t kFieldRecordSize = 3808;
constexpr std::size_t kFormDescriptionSize = 276;
constexpr int kMaxFields = 350;

// --- .dcs ---------------------------------------------------------------
FieldObject DecodeFieldObject(const std::uint8_t* record);  // kFieldRecordSize bytes
void EncodeFieldObject(const FieldObject& f, std::uint8_t* record);
// All whole records of a buffer; a trailing partial record is ignored.
std::vector<FieldObject> DecodeFieldObjects(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> EncodeFieldObjects(const std::vector<FieldObject>& fields);

// Why field records cannot be what the program wrote (a damaged or foreign
// file): no record, more than a form has, a type not known, a rectangle off
// any page, a page number no form has. Names the first record at fault;
// empty when the records are plausible.
std::string ImplausibleFieldRecords(const std::vector<FieldObject>& fields);
// The most pages a form may have, and the farthest a field may lie on one.
constexpr int kMostPages = 50;
constexpr int kFarRight = 1000, kFarBottom = 4000;

// nullopt when the file is missing or unreadable; an empty file gives 0 fields.
std::optional<std::vector<FieldObject>> LoadFieldObjects(const std::string& path);
bool SaveFieldObjects(const std::string& path, const std::vector<FieldObject>& fields);
// File length div 3808, 0 when missing.
int CountFieldRecords(const std::string& path);
std::optional<FieldObject> ReadFieldRecord(const std::string& path, int k);
bool AppendFieldRecord(const std::string& path, const FieldObject& f);
bool RewriteFieldRecord(const std::string& path, int k, const FieldObject& f);

// --- .dcd ---------------------------------------------------------------
std::optional<FormDescription> DecodeFormDescription(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> EncodeFormDescription(const FormDescription& d);
std::optional<FormDescription> LoadFormDescription(const std::string& path);
bool SaveFormDescription(const std::string& path, const FormDescription& d);

// --- .dcg header --------------------------------------------------------
// Width and height of a page picture: the frame of an enhanced metafile or
// the bounding box of a placeable WMF. nullopt for anything else or a
// picture with a zero or negative size.
struct PictureSize {
  int width = 0;
  int height = 0;
};
std::optional<PictureSize> ReadPictureSize(const std::vector<std::uint8_t>& bytes);
// Height of the page when drawn 800 pixels wide: trunc(h * 800 / w).
int PageHeightFor800(const PictureSize& s);

// --- file names in the definition folder ---------------------------------
std::string DcsPath(const std::string& dcDir, int idPit);
std::string DcdPath(const std::string& dcDir, int idPit);
std::string DcgPath(const std::string& dcDir, int idPit, int page, bool withoutBackground = false);

}  // namespace pit
