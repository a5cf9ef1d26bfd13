// printf-style formatting into a std::string, with the C locale's decimal point.
#pragma once

#include <string>

namespace tonalis {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Format(const char* format, ...);

}  // namespace tonalis
