#include "fluid_log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fluidsynth.h>

namespace melodeck {

namespace {

void dropLogLine(int, const char*, void*) {}

void printLogLine(int, const char* message, void*) {
    std::fprintf(stderr, "fluidsynth: %s\n", message ? message : "");
}

}  // namespace

void routeFluidLog(bool toStderr) {
    const fluid_log_function_t fn = toStderr ? printLogLine : dropLogLine;
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
        fluid_set_log_function(level, fn, nullptr);
}

bool fluidLogRequestedByEnvironment() {
    const char* value = std::getenv("MELODECK_DEBUG_SYNTH");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace melodeck
