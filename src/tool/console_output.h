// Where the tool's text goes: it is UTF-8 throughout, and reaches the user in
// a form that shows right, whatever the console's code page.
#pragma once

#include <cstdio>
#include <string>

namespace tonalis::tool {

// Writes the UTF-8 text to stdout or stderr and flushes it: on Windows as
// wide characters when the stream is a console, as UTF-8 bytes when it is a
// pipe or a file. False when not all of it could be written.
bool WriteOutput(std::FILE* stream, const std::string& text);

}  // namespace tonalis::tool
