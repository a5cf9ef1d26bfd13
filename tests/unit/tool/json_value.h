// A minimal JSON reader for checking the tool's --json output: objects,
// arrays, numbers, strings and booleans, with the whole text required to be
// one value.
#pragma once

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tonalis::testing_json {

struct Value {
    enum Kind { kNumber, kString, kArray, kObject, kBool } kind = kNumber;
    double number = 0;  // 1 or 0 for a boolean
    std::string text;   // a string, or a number's digits as written
    std::vector<Value> items;
    std::map<std::string, Value> members;

    const Value& operator[](const std::string& key) const { return members.at(key); }
    const Value& operator[](size_t index) const { return items.at(index); }
};

class Reader {
  public:
    explicit Reader(const std::string& text) : text_(text) {}

    // False when the text is not exactly one JSON value (plus whitespace).
    bool Read(Value* out) {
        if (!ParseValue(out)) {
            return false;
        }
        SkipSpace();
        return pos_ == text_.size();
    }

  private:
    void SkipSpace() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) {
            ++pos_;
        }
    }

    bool Take(char c) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool ParseString(std::string* out) {
        if (!Take('"')) {
            return false;
        }
        while (pos_ < text_.size() && text_[pos_] != '"') {
            if (text_[pos_] == '\\') {
                ++pos_;
            }
            out->push_back(text_[pos_++]);
        }
        return Take('"');
    }

    bool ParseValue(Value* out) {
        SkipSpace();
        if (pos_ >= text_.size()) {
            return false;
        }
        const char c = text_[pos_];
        if (c == '{') {
            out->kind = Value::kObject;
            ++pos_;
            if (Take('}')) {
                return true;
            }
            do {
                std::string key;
                if (!ParseString(&key) || !Take(':') || !ParseValue(&out->members[key])) {
                    return false;
                }
            } while (Take(','));
            return Take('}');
        }
        if (c == '[') {
            out->kind = Value::kArray;
            ++pos_;
            if (Take(']')) {
                return true;
            }
            do {
                out->items.emplace_back();
                if (!ParseValue(&out->items.back())) {
                    return false;
                }
            } while (Take(','));
            return Take(']');
        }
        if (c == '"') {
            out->kind = Value::kString;
            return ParseString(&out->text);
        }
        for (const char* literal : {"true", "false"}) {
            if (text_.compare(pos_, std::strlen(literal), literal) == 0) {
                out->kind = Value::kBool;
                out->number = literal[0] == 't' ? 1 : 0;
                out->text = literal;
                pos_ += std::strlen(literal);
                return true;
            }
        }
        const size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '\0' &&
               std::strchr("+-0123456789.eE", text_[pos_]) != nullptr) {
            ++pos_;
        }
        out->kind = Value::kNumber;
        out->text = text_.substr(start, pos_ - start);
        char* end = nullptr;
        out->number = std::strtod(out->text.c_str(), &end);
        return !out->text.empty() && *end == '\0';
    }

    const std::string& text_;
    size_t pos_ = 0;
};

inline bool Parse(const std::string& text, Value* out) {
    return Reader(text).Read(out);
}

}  // namespace tonalis::testing_json
