#include "json_reader.h"

#include <zlib.h>

#include <cctype>

namespace {

const JsonValue kMissing{};

struct Parser {
  const std::string& s;
  size_t p = 0;
  bool ok = true;

  void space() {
    while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
  }

  bool eat(char c) {
    space();
    if (p < s.size() && s[p] == c) { ++p; return true; }
    return false;
  }

  JsonValue value() {
    JsonValue v;
    space();
    if (p >= s.size()) { ok = false; return v; }
    char c = s[p];
    if (c == '{') {
      ++p;
      v.kind = JsonValue::Kind::Object;
      if (eat('}')) return v;
      do {
        JsonValue key = value();
        if (key.kind != JsonValue::Kind::String || !eat(':')) { ok = false; return v; }
        v.fields[key.text] = value();
      } while (ok && eat(','));
      if (!eat('}')) ok = false;
    } else if (c == '[') {
      ++p;
      v.kind = JsonValue::Kind::Array;
      if (eat(']')) return v;
      do v.items.push_back(value()); while (ok && eat(','));
      if (!eat(']')) ok = false;
    } else if (c == '"') {
      ++p;
      v.kind = JsonValue::Kind::String;
      while (p < s.size() && s[p] != '"') {
        if (s[p] == '\\' && p + 1 < s.size()) ++p;
        v.text += s[p++];
      }
      if (p >= s.size()) ok = false; else ++p;
    } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
      v.kind = JsonValue::Kind::Number;
      bool negative = c == '-';
      if (negative) ++p;
      while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) {
        v.number = v.number * 10 + (s[p++] - '0');
      }
      if (negative) v.number = -v.number;
    } else if (s.compare(p, 4, "null") == 0) {
      p += 4;
    } else {
      ok = false;
    }
    return v;
  }
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
  auto it = fields.find(key);
  return it == fields.end() ? kMissing : it->second;
}

JsonValue json_parse(const std::string& text, bool& ok) {
  Parser parser{text};
  JsonValue v = parser.value();
  parser.space();
  ok = parser.ok && parser.p == text.size();
  return v;
}

bool read_gzip_file(const std::string& path, std::string& out) {
  gzFile f = gzopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  out.clear();
  char buffer[1 << 16];
  int n;
  while ((n = gzread(f, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
  bool good = n == 0;
  gzclose(f);
  return good;
}
