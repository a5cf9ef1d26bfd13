// The copyright sentence that profiles made by this process carry. It is
// formatted once and then kept for the life of the process.
#pragma once

namespace tonalis::icc {

constexpr const char kModifiedSuffix[] = " Modified using Tonalis";

// Empty until formatted.
const char* CopyrightText();
// Formats the text when it is still empty; true when this call did.
bool FormatCopyrightTextIfEmpty();
// Back to the start-up state, for hosts (and tests) that need a fresh one.
void ClearCopyrightText();

}  // namespace tonalis::icc
