// How tonalis keep prints what its keeper does.
#pragma once

#include <string>

namespace tonalis::tool {

// The line on stderr after the time of day, flushed.
void SayKeepLine(const std::string& line);

}  // namespace tonalis::tool
