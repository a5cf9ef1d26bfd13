// The command line on Windows: the C runtime's words are in the ANSI code
// page, which cannot hold every character of a description; the value of
// the text option is taken from the wide command line instead.
#include <windows.h>

#include <shellapi.h>

#include <cstring>

#include "tool/command_line.h"

namespace tonalis::tool {

namespace {

std::string Utf8Of(const wchar_t* word) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, word, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return std::string();
    }
    std::string text(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, word, -1, &text[0], size, nullptr, nullptr);
    text.resize(size_t(size) - 1);
    return text;
}

bool IsTextOptionWithValue(const char* word) {
    const size_t length = sizeof kTextOption - 1;
    return std::strncmp(word, kTextOption, length) == 0 && word[length] == '=';
}

}  // namespace

std::vector<std::string> CommandLineWords(int argc, const char* const* argv) {
    std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return words;
    }
    // Only when both split the line alike do their words correspond.
    if (count == argc) {
        for (int i = 1; i < argc; ++i) {
            const bool value = i > 1 && std::strcmp(argv[i - 1], kTextOption) == 0;
            if (value || IsTextOptionWithValue(argv[i])) {
                words[size_t(i) - 1] = Utf8Of(wide[i]);
            }
        }
    }
    LocalFree(wide);
    return words;
}

}  // namespace tonalis::tool
