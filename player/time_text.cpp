#include "time_text.h"

namespace melodeck {
namespace {

void appendTwoDigits(std::u16string& out, std::uint32_t value) {
    if (value < 10) out.push_back(u'0');
    for (char c : std::to_string(value)) out.push_back(static_cast<char16_t>(c));
}

}  // namespace

std::u16string timeText(std::int32_t seconds) {
    const auto count = static_cast<std::uint32_t>(seconds);
    std::u16string text;
    appendTwoDigits(text, count / 60);
    text.push_back(u':');
    appendTwoDigits(text, count % 60);
    return text;
}

}  // namespace melodeck
