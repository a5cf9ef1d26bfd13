// How the profile subcommands report a refused or failed profile: the message
// of the applet's string resource, in English, and its number.
#pragma once

#include <string>

namespace tonalis::tool {

class Arguments;

// "MESSAGE (string N)": the English text of the applet's string N.
std::string StringMessage(int stringId);

// "FILE: MESSAGE (string N)".
std::string ProfileFailureText(int stringId, const std::string& file);

// The same, thrown with exit status 2.
[[noreturn]] void ThrowProfileFailure(int stringId, const std::string& file);

// The PROFILE operand of info and vcgt; a UsageError when it is missing.
const std::string& ProfileOperand(const Arguments& arguments);

}  // namespace tonalis::tool
