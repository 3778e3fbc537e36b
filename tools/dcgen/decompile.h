#pragma once
// The way back from a definition folder to a source: a .dcs (and its .dcd)
// edited by eye in the form designer becomes a YAML source that `dcgen
// compile` turns into the very same records. The page layout of the source
// the shipped forms were made from is not in the records, so the rebuilt
// source gives every field a cell of its own at the field's place; where no
// cell can put a field where it lies, the field carries its rectangle.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

#include "form_source.h"
#include "forms/field_object.h"

namespace dcgen {

// The source a definition was compiled from, before the designer edited
// the definition: what the records cannot hold – the names of the fields and
// the form's own keys (namespace, kind, copies, colours ...) – is taken from
// it, so that the code naming the fields still compiles after a round trip.
struct PreviousSource {
  int idPit = 0;
  YAML::Node keys;                       // root keys but form, pages, templates
  std::vector<pit::FieldObject> fields;  // its records
  std::map<std::string, int> ids;        // its names -> object index
};

// A previous source's text (its templates expanded, the shared ones when
// given). Throws SourceError when it does not compile.
PreviousSource PreviousOf(const YAML::Node& source, Measurer& m, const SharedTemplates* shared = nullptr);
// The same from a file, with the shared templates of its folder.
PreviousSource LoadPreviousSource(const std::filesystem::path& file, Measurer& m);

struct DecompileInput {
  int idPit = 0;
  std::string code;
  int variant = 0;
  std::vector<pit::FieldObject> fields;
  std::optional<pit::FormDescription> description;
  // When given, its keys and names go into the rebuilt source (its code
  // and variant win over the two above).
  std::optional<PreviousSource> previous;
};

// A name of the previous source no record of the edited definition takes.
struct DroppedName {
  std::string id;
  int index = 0;    // the field's object index in the previous source
  bool deleted = false;  // no record has the field's ID any more
};

struct Decompiled {
  YAML::Node source;
  // What the source cannot carry: each names the record (or the
  // description) and the attribute. Empty when the round trip holds.
  std::vector<std::string> problems;
  // Names of the previous source: carried (object index -> name) and lost.
  std::map<int, std::string> names;
  std::vector<DroppedName> dropped;
};

// Which record of `fields` is which field of the previous source. The
// designer keeps a record's ID when it moves, edits or retypes it, shifts
// the records after a deleted one down (their IDs stay) and appends new ones
// with the ID of their index – which may be the ID of a field deleted
// before. So the records are paired in order on equal IDs, and only where
// the record still looks like the field: the same name, XML element or
// printed position (a tick box also the same value), so that a field drawn
// in place of a deleted one does not take its name.
struct NameCarry {
  std::map<int, std::string> names;  // object index in `fields` -> name
  std::vector<DroppedName> dropped;
};
NameCarry CarryNames(const PreviousSource& previous, const std::vector<pit::FieldObject>& fields);

Decompiled Decompile(const DecompileInput& in, Measurer& m);

// YAML text of a rebuilt source: cells on one line each, texts quoted.
std::string EmitSource(const YAML::Node& source, const std::string& comment);

// Attributes in which `got` differs from `want`, as "Left 30 zamiast 31"
// (the value got, then the one wanted); empty for equal records.
std::vector<std::string> RecordDifferences(const pit::FieldObject& want, const pit::FieldObject& got);

// dcgen decompile PLIK.dcs [PLIK.dcd] -o ZRODLO.yaml [--form N] [--force]
// (arguments after the command name). A source that --force replaces is
// the previous source: its names and keys go into the new one.
int DecompileCommand(const std::vector<std::string>& args, Measurer& m);
// The lines of the usage text that tell what becomes of the replaced source.
extern const char* const kPreviousSourceUsage;

}  // namespace dcgen
