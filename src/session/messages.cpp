#include "session/messages.h"

#include "session/system_calls.h"

namespace tonalis {

namespace {

constexpr int kTitleBufferSize = 32;
constexpr int kMessageBufferSize = 160;

struct MessageTexts {
    char title[kTitleBufferSize];
    char message[kMessageBufferSize];
};

// LoadStringA cuts longer strings to the buffer; a missing string stays empty.
MessageTexts LoadMessageTexts(HINSTANCE instance, int messageId, int titleId) {
    MessageTexts texts = {};
    LoadStringA(instance, static_cast<UINT>(titleId), texts.title, kTitleBufferSize);
    LoadStringA(instance, static_cast<UINT>(messageId), texts.message, kMessageBufferSize);
    return texts;
}

}  // namespace

void ShowErrorMessage(HINSTANCE instance, int messageId, int titleId) {
    ShowErrorMessage(nullptr, instance, messageId, titleId);
}

void ShowErrorMessage(HWND owner, HINSTANCE instance, int messageId, int titleId) {
    MessageTexts texts = LoadMessageTexts(instance, messageId, titleId);
    g_appletSystemCalls.messageBox(owner, texts.message, texts.title, MB_OK | MB_ICONHAND);
}

void ShowErrorText(HWND owner, const char* text, int titleId) {
    char title[kTitleBufferSize] = {};
    LoadStringA(ModuleInstance(), static_cast<UINT>(titleId), title, kTitleBufferSize);
    g_appletSystemCalls.messageBox(owner, text, title, MB_OK | MB_ICONHAND);
}

int AskUser(HWND owner, HINSTANCE instance, int messageId, int titleId, UINT style) {
    MessageTexts texts = LoadMessageTexts(instance, messageId, titleId);
    return g_appletSystemCalls.messageBox(owner, texts.message, texts.title, style);
}

}  // namespace tonalis
