#pragma once

#include <string>

namespace orvo {

// A menu text as a window title: the mnemonic marks go ("&About" ->
// "About", "情報(&A)" -> "情報", "&&" stays one "&") and so does a trailing
// ellipsis ("..." or "…"), which in a menu promises a dialog that a title
// already is. UTF-8.
std::string MenuTextAsTitle(const std::string& text);

}  // namespace orvo
