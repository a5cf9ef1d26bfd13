// How a refused or failed profile is reported: the message of the applet's
// string resource, in English, and its number.
#pragma once

#include <string>

namespace tonalis {

// "MESSAGE (string N)": the English text of the applet's string N.
std::string StringMessage(int stringId);

// "FILE: MESSAGE (string N)".
std::string ProfileFailureText(int stringId, const std::string& file);

// The same, thrown with exit status 2.
[[noreturn]] void ThrowProfileFailure(int stringId, const std::string& file);

}  // namespace tonalis
