// A small reader for the instruction-vector files: JSON objects, arrays,
// integers, strings and null, as those files use them. No floats, no
// escapes beyond \" and \\. Errors throw nothing: `ok` turns false.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct JsonValue {
  enum class Kind { Null, Number, String, Array, Object } kind = Kind::Null;
  int64_t number = 0;
  std::string text;
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> fields;

  const JsonValue& operator[](const std::string& key) const;
  int64_t num(const std::string& key) const { return (*this)[key].number; }
};

// Parses a whole document; sets ok = false on malformed input.
JsonValue json_parse(const std::string& text, bool& ok);

// Reads a gzip-compressed file into memory; false when it cannot be read.
bool read_gzip_file(const std::string& path, std::string& out);
