// melodeck-tool: inspect, export and play songs without the window.

#include <array>
#include <cstdio>
#include <string_view>

#include "args.h"
#include "commands.h"

namespace melodeck::tool {
namespace {

struct Command {
    std::string_view name;
    int (*run)(const Args&);
    std::string_view usage;  // the arguments after the command name
    std::string_view summary;
};

// Adding a subcommand: declare its function in commands.h, add one row here, and add its
// source file to tools/CMakeLists.txt.
constexpr std::array kCommands{
    Command{"lyrics", runLyrics, "FILE [--lang CODE]",
            "the song's information lines and lyric lines, in UTF-8"},
    Command{"lrc", runLrc, "FILE [--lang CODE] [--rate N]",
            "the lyrics as an enhanced LRC file"},
    Command{"dump", runDump,
            "FILE [--stage read|layout] [--rate N] [--lang CODE] [--ldelay N] [--width PX] "
            "[--metrics mono:CW,LH]",
            "what the engine reads and lays out, as JSON"},
    Command{"trace", runTrace,
            "FILE [dump options] [--sync P0] [--step N] [--pictures 0|1]",
            "the paints of the lyric clock, as JSON"},
    Command{"reg", runReg, "export [--hive NAME]",
            "the settings store as the text of a .reg file"},
    Command{"play", runPlay,
            "FILE [--sink device|null|fast|wav:PATH] [--soundfont PATH] [--rate N] [--pitch N] "
            "[--tempo-rate R] [--volume N] [--seconds S] [--ticks]",
            "plays the song and prints each synthesizer notification as 'NAME wParam'"},
    Command{"render", runRender,
            "FILE --out DIR [--size WxH] [--picture JPG]... [--rate N] [--ldelay N] [--lines N] "
            "[--every-page | --at SECONDS,...] [--info 0|1]",
            "runs the song's clock without sound through the lyric display and writes frames "
            "as PNG files, listing each as 'NAME SECONDS WHY'"},
};

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: melodeck-tool COMMAND [ARGS]\n\ncommands:\n");
    for (const Command& command : kCommands) {
        std::fprintf(out, "  %.*s %.*s\n      %.*s\n", static_cast<int>(command.name.size()),
                     command.name.data(), static_cast<int>(command.usage.size()),
                     command.usage.data(), static_cast<int>(command.summary.size()),
                     command.summary.data());
    }
    std::fprintf(out,
                 "\nExit status: 0 on success, 1 for a usage error, 2 when FILE cannot be "
                 "read.\n");
}

}  // namespace
}  // namespace melodeck::tool

int main(int argc, char** argv) {
    using namespace melodeck::tool;
    if (argc < 2) {
        printUsage(stderr);
        return 1;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return 0;
    }
    for (const Command& command : kCommands) {
        if (command.name != name) continue;
        Args args(name, argc - 2, argv + 2);
        if (args.helpRequested()) {
            std::printf("usage: melodeck-tool %.*s %.*s\n", static_cast<int>(name.size()),
                        name.data(), static_cast<int>(command.usage.size()),
                        command.usage.data());
            return 0;
        }
        if (!args.error().empty()) {
            std::fprintf(stderr, "melodeck-tool %.*s: %s\n", static_cast<int>(name.size()),
                         name.data(), args.error().c_str());
            return 1;
        }
        return command.run(args);
    }
    std::fprintf(stderr, "melodeck-tool: unknown command '%.*s'\n\n",
                 static_cast<int>(name.size()), name.data());
    printUsage(stderr);
    return 1;
}
