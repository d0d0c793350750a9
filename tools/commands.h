#pragma once

namespace melodeck::tool {

class Args;

// One function per subcommand of melodeck-tool. Each takes the parsed command line (the
// subcommand's name already removed) and returns the process exit status: 0 on success,
// 1 for a usage error, 2 when the input file cannot be read. Output goes to stdout,
// messages to stderr.
int runLyrics(const Args& args);
int runLrc(const Args& args);
int runDump(const Args& args);
int runTrace(const Args& args);
int runReg(const Args& args);
int runPlay(const Args& args);
int runRender(const Args& args);

}  // namespace melodeck::tool
