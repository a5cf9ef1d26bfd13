// The process-wide copyright sentence.
#include "icc/copyright_text.h"

#include <cstdio>

#include "icc/profile_header.h"
#include "icc/text_tags.h"

namespace tonalis::icc {

namespace {

char g_copyright[kTextBufferSize] = "";

}  // namespace

const char* CopyrightText() {
    return g_copyright;
}

bool FormatCopyrightTextIfEmpty() {
    if (g_copyright[0] != '\0') {
        return false;
    }
    uint16_t now[6];
    StampLocalTime(now);
    if (now[0] != 0) {
        std::snprintf(g_copyright, sizeof g_copyright, "Copyright (c) %u Tonalis",
                      unsigned(now[0]));
    } else {
        std::snprintf(g_copyright, sizeof g_copyright, "Copyright (c) Tonalis");
    }
    return true;
}

void ClearCopyrightText() {
    g_copyright[0] = '\0';
}

}  // namespace tonalis::icc
