// JSON text for the tool's --json output.
#include "tool/json_writer.h"

#include <cmath>

#include "model/text_format.h"
#include "model/unicode_text.h"

namespace tonalis::tool {

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!containerHasItems_.empty()) {
        if (containerHasItems_.back()) {
            text_ += ',';
        }
        containerHasItems_.back() = true;
    }
}

void JsonWriter::BeginObject() {
    BeforeValue();
    text_ += '{';
    containerHasItems_.push_back(false);
}

void JsonWriter::EndObject() {
    text_ += '}';
    containerHasItems_.pop_back();
}

void JsonWriter::BeginArray() {
    BeforeValue();
    text_ += '[';
    containerHasItems_.push_back(false);
}

void JsonWriter::EndArray() {
    text_ += ']';
    containerHasItems_.pop_back();
}

void JsonWriter::Key(const char* name) {
    BeforeValue();
    AppendQuoted(name);
    text_ += ':';
    afterKey_ = true;
}

void JsonWriter::Number(double value) {
    BeforeValue();
    text_ += std::isfinite(value) ? Format("%.17g", value) : std::string("null");
}

void JsonWriter::Integer(int64_t value) {
    BeforeValue();
    text_ += Format("%lld", static_cast<long long>(value));
}

void JsonWriter::String(const std::string& value) {
    BeforeValue();
    AppendQuoted(value);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
}

// Profile texts and file names are bytes in some code page, not always UTF-8.
// A byte that is no part of a UTF-8 sequence is taken as the Latin-1
// character of that number, so that the output always parses.
void JsonWriter::AppendQuoted(const std::string& value) {
    text_ += '"';
    for (size_t at = 0; at < value.size();) {
        const unsigned char c = static_cast<unsigned char>(value[at]);
        const size_t sequence = Utf8SequenceLength(value.data() + at, value.size() - at);
        if (c == '"' || c == '\\') {
            text_ += '\\';
            text_ += static_cast<char>(c);
        } else if (c < 0x20 || sequence == 0) {
            text_ += Format("\\u%04x", c);
        } else {
            text_.append(value, at, sequence);
        }
        at += sequence == 0 ? 1 : sequence;
    }
    text_ += '"';
}

void JsonWriter::Triple(const char* key, const double values[3]) {
    Key(key);
    BeginArray();
    for (int c = 0; c < 3; ++c) {
        Number(values[c]);
    }
    EndArray();
}

void JsonWriter::Levels(const char* key, const uint16_t* values, int count) {
    Key(key);
    BeginArray();
    for (int i = 0; i < count; ++i) {
        Integer(values[i]);
    }
    EndArray();
}

}  // namespace tonalis::tool
