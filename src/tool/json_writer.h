// A small writer for the one JSON object a subcommand prints with --json.
// Commas and nesting are tracked here; callers only name keys and values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonalis::tool {

class JsonWriter {
  public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(const char* name);
    // 17 significant digits, so that the text reads back as the same double;
    // JSON has no infinity or NaN, so those are written as null.
    void Number(double value);
    void Integer(int64_t value);
    void String(const std::string& value);
    void Bool(bool value);
    // key: [red, green, blue]
    void Triple(const char* key, const double values[3]);
    // key: [values...], as integers (a run of table levels)
    void Levels(const char* key, const uint16_t* values, int count);

    // The finished text, ending in a newline.
    std::string Text() const { return text_ + "\n"; }

  private:
    void BeforeValue();
    void AppendQuoted(const std::string& value);

    std::string text_;
    std::vector<bool> containerHasItems_;
    bool afterKey_ = false;
};

}  // namespace tonalis::tool
