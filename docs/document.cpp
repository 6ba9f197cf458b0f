#include "docs/document.h"

#include "winkit/program_name.h"

namespace {

std::u16string_view ShownName(const Document& document) {
    return document.displayName.empty() ? std::u16string_view(u"Untitled")
                                        : std::u16string_view(document.displayName);
}

} // namespace

std::u16string TabCaption(const Document& document) {
    std::u16string caption = u" ";
    if (document.modified)
        caption += u"*";
    caption += ShownName(document);
    caption += u" ";
    return caption;
}

std::u16string WindowTitle(const Document* active) {
    std::u16string title;
    if (active && active->modified)
        title += u"*";
    title += active ? ShownName(*active) : std::u16string_view(u"Untitled");
    title += u" - " TESSARY_NAME;
    return title;
}

std::u16string QuotedName(const Document& document) {
    std::u16string quoted = u"\u201C";
    quoted += ShownName(document);
    quoted += u"\u201D";
    return quoted;
}
