// Parsing a subcommand's options against its table of options.
#include "tool/arguments.h"

#include <cstring>

#include "model/text_format.h"
#include "model/tool_error.h"

namespace tonalis::tool {

namespace {

const KnownOption* FindOption(const Command& command, const std::string& name) {
    for (const KnownOption* common : {&kJsonOption, &kHelpOption}) {
        if (name == common->name) {
            return common;
        }
    }
    for (int i = 0; i < command.optionCount; ++i) {
        if (name == command.options[i].name) {
            return &command.options[i];
        }
    }
    return nullptr;
}

}  // namespace

Arguments Arguments::Parse(const Command& command, int count, const char* const* words) {
    Arguments arguments;
    for (int i = 0; i < count; ++i) {
        const std::string word = words[i];
        // The operand a command may take, among its options in any order.
        if (command.operand != nullptr && (arguments.operands_.empty() || command.operandRepeats) &&
            !word.empty() && word[0] != '-') {
            arguments.operands_.push_back(word);
            continue;
        }
        // "-x" is the one-letter option "x".
        const bool oneLetter = word.size() == 2 && word[0] == '-' && word[1] != '-';
        if (!oneLetter && (word.size() < 3 || word.compare(0, 2, "--") != 0)) {
            throw UsageError(Format("unexpected argument \"%s\"", word.c_str()));
        }
        const size_t equals = oneLetter ? std::string::npos : word.find('=');
        const std::string name =
            oneLetter ? word.substr(1)
                      : word.substr(2, equals == std::string::npos ? equals : equals - 2);
        const char* dashes = name.size() == 1 ? "-" : "--";
        const KnownOption* option = FindOption(command, name);
        if (option == nullptr) {
            throw UsageError(Format("unknown option %s%s", dashes, name.c_str()));
        }
        if (arguments.Has(option->name)) {
            throw UsageError(Format("option %s%s given twice", dashes, name.c_str()));
        }
        std::string value;
        if (equals != std::string::npos) {
            if (!option->takesValue) {
                throw UsageError(Format("option %s%s takes no value", dashes, name.c_str()));
            }
            value = word.substr(equals + 1);
        } else if (option->takesValue) {
            if (i + 1 >= count) {
                throw UsageError(Format("option %s%s needs a value", dashes, name.c_str()));
            }
            value = words[++i];
        }
        arguments.given_.emplace_back(option->name, value);
    }
    return arguments;
}

const std::string* Arguments::Operand() const {
    return operands_.empty() ? nullptr : &operands_.front();
}

const std::string* Arguments::Value(const char* name) const {
    const auto* found = Find(name);
    return found ? &found->second : nullptr;
}

const std::pair<std::string, std::string>* Arguments::Find(const char* name) const {
    for (const auto& entry : given_) {
        if (entry.first == name) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace tonalis::tool
