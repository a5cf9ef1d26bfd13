// The keeper's lines on stderr, shared by tonalis keep on X and on Windows.
#include "keeper/notice_text.h"

namespace tonalis {

namespace {

std::string Happened(keeper::NoticeKind kind, const KeepWords& words) {
    switch (kind) {
        case keeper::NoticeKind::kLoaded:
            return "loaded";
        case keeper::NoticeKind::kNewOutput:
            return words.newMonitor;
        case keeper::NoticeKind::kRestoredChange:
            return "restored after a change by another program";
        case keeper::NoticeKind::kRestoredMode:
            return std::string("restored after a ") + words.displayChange;
        case keeper::NoticeKind::kRestoredWake:
            return std::string("restored after a ") + words.wake;
        case keeper::NoticeKind::kStoodDown:
            return std::string(
                       "stood down: another program changed its table three times "
                       "within a minute (or three checks); ") +
                   words.takeBack;
        case keeper::NoticeKind::kRefused:
            return "refused its table (read back, it holds another); left alone until the "
                   "display changes";
        case keeper::NoticeKind::kNewTable:
            return "a new calibration kept";
    }
    return "";
}

}  // namespace

bool PrintedWhenQuiet(keeper::NoticeKind kind) {
    return kind == keeper::NoticeKind::kStoodDown || kind == keeper::NoticeKind::kRefused;
}

std::string NoticeText(const keeper::Notice& notice, const KeepWords& words) {
    return notice.monitor + ": " + Happened(notice.kind, words);
}

}  // namespace tonalis
