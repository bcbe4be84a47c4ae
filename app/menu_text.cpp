#include "app/menu_text.h"

#include <cctype>
#include <string_view>

namespace orvo {

std::string MenuTextAsTitle(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        // "(&A)": a mnemonic written after a text that has no such letter.
        if (text[i] == '(' && i + 3 < text.size() && text[i + 1] == '&' && text[i + 3] == ')' &&
            std::isalnum(static_cast<unsigned char>(text[i + 2]))) {
            i += 3;
            continue;
        }
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    for (std::string_view ellipsis : {std::string_view("..."), std::string_view("\u2026")}) {
        if (std::string_view(out).ends_with(ellipsis)) out.resize(out.size() - ellipsis.size());
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace orvo
