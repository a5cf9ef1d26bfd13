// Failures of the command-line tool. Each carries the exit status and one line
// of text for stderr; nothing reaches stdout once one is thrown.
#pragma once

#include <stdexcept>
#include <string>

namespace tonalis {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitBadInput = 2;

class ToolError : public std::runtime_error {
  public:
    ToolError(int status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

  private:
    int status_;
};

// Bad arguments or values: exit status 2.
class UsageError : public ToolError {
  public:
    explicit UsageError(const std::string& message) : ToolError(kExitBadInput, message) {}
};

}  // namespace tonalis
