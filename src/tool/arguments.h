// The options of one subcommand: "--name value", "--name=value" or a bare
// "--flag", each known to the subcommand and given at most once; "-x value"
// for a one-letter option; and one operand for a command that names one.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tool/command.h"

namespace tonalis::tool {

class Arguments {
  public:
    // Parses the words after the subcommand's name; throws UsageError for an
    // unknown, repeated or incomplete option and for any other word.
    static Arguments Parse(const Command& command, int count, const char* const* words);

    bool Has(const char* name) const { return Find(name) != nullptr; }
    // The value given for an option, or nullptr when it was not given.
    const std::string* Value(const char* name) const;
    // The operand, or nullptr when none was given.
    const std::string* Operand() const;
    // Every operand, for a command whose operand repeats.
    const std::vector<std::string>& Operands() const { return operands_; }

  private:
    const std::pair<std::string, std::string>* Find(const char* name) const;

    std::vector<std::pair<std::string, std::string>> given_;
    std::vector<std::string> operands_;
};

}  // namespace tonalis::tool
