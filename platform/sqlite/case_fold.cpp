#include "case_fold.h"

namespace melodeck {
namespace {

char16_t foldUnit(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c < 0xB5) return c;
    if (c == 0xB5) return 0x39C;  // micro sign folds with Greek mu
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    return c;
}

}  // namespace

std::u16string foldCase(std::u16string_view name) {
    std::u16string folded(name);
    for (char16_t& c : folded) c = foldUnit(c);
    return folded;
}

}  // namespace melodeck
