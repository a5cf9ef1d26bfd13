// Texts read by tag class.
#include "icc/tag_text.h"

#include "icc/multi_localized_text_tag.h"
#include "icc/text_tags.h"

namespace tonalis::icc {

bool ReadTagText(const Tag* tag, char* out) {
    if (const auto* description = dynamic_cast<const TextDescriptionTag*>(tag)) {
        description->GetText(out);
    } else if (const auto* text = dynamic_cast<const TextTag*>(tag)) {
        text->GetText(out);
    } else if (const auto* localized = dynamic_cast<const MultiLocalizedTextTag*>(tag)) {
        localized->GetText(out);
    } else {
        return false;
    }
    return true;
}

}  // namespace tonalis::icc
