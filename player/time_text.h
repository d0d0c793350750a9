#pragma once

#include <cstdint>
#include <string>

namespace melodeck {

// A count of seconds as the time box shows it: minutes and seconds, each at least two
// digits ("01:05"); minutes of 100 or more are written in full ("100:00"). The count is
// taken as unsigned, as the synthesizer reports it, so a negative one shows as a very
// large time rather than with a minus sign.
std::u16string timeText(std::int32_t seconds);

}  // namespace melodeck
