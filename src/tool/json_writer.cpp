// JSON text for the tool's --json output.
#include "tool/json_writer.h"

#include <cmath>

#include "tool/text_format.h"

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

void JsonWriter::AppendQuoted(const std::string& value) {
    text_ += '"';
    for (unsigned char c : value) {
        if (c == '"' || c == '\\') {
            text_ += '\\';
            text_ += static_cast<char>(c);
        } else if (c < 0x20) {
            text_ += Format("\\u%04x", c);
        } else {
            text_ += static_cast<char>(c);
        }
    }
    text_ += '"';
}

}  // namespace tonalis::tool
