// The words of the wide command line: argv holds them in the ANSI code page,
// which loses a path outside it.
#include "tool/utf8_arguments.h"

#include <windows.h>

#include <shellapi.h>

namespace tonalis::tool {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> utf8;
    for (int i = 0; i < count; ++i) {
        const int size =
            WideCharToMultiByte(CP_UTF8, 0, words[i], -1, nullptr, 0, nullptr, nullptr);
        std::string word(size > 0 ? size_t(size) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, words[i], -1, &word[0], size, nullptr, nullptr);
        word.resize(word.size() - 1);
        utf8.push_back(word);
    }
    LocalFree(words);
    return utf8;
}

}  // namespace tonalis::tool
