#pragma once
// The way back from a definition folder to a source: a .dcs (and its .dcd)
// edited by eye in the form designer becomes a YAML source that `dcgen
// compile` turns into the very same records. The page layout of the source
// the shipped forms were made from is not in the records, so the rebuilt
// source gives every field a cell of its own at the field's place; where no
// cell can put a field where it lies, the field carries its rectangle.
#include <optional>
#include <string>
#include <vector>

#include <yaml-cpp/yaml.h>

#include "form_source.h"
#include "forms/field_object.h"

namespace dcgen {

struct DecompileInput {
  int idPit = 0;
  std::string code;
  int variant = 0;
  std::vector<pit::FieldObject> fields;
  std::optional<pit::FormDescription> description;
};

struct Decompiled {
  YAML::Node source;
  // What the source cannot carry: each names the record (or the
  // description) and the attribute. Empty when the round trip holds.
  std::vector<std::string> problems;
};

Decompiled Decompile(const DecompileInput& in, Measurer& m);

// YAML text of a rebuilt source: cells on one line each, texts quoted.
std::string EmitSource(const YAML::Node& source, const std::string& comment);

// Attributes in which `got` differs from `want`, as "Left 30 zamiast 31"
// (the value got, then the one wanted); empty for equal records.
std::vector<std::string> RecordDifferences(const pit::FieldObject& want, const pit::FieldObject& got);

// dcgen decompile PLIK.dcs [PLIK.dcd] -o ZRODLO.yaml [--form N] [--force]
// (arguments after the command name).
int DecompileCommand(const std::vector<std::string>& args, Measurer& m);

}  // namespace dcgen
