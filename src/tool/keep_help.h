// The help of tonalis keep, one text for X and Windows, so that both tools
// print the same --help.
#pragma once

namespace tonalis::tool {

extern const char kKeepSynopsis[];
extern const char kKeepHelp[];

}  // namespace tonalis::tool
