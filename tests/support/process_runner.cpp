#include "support/process_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace melodeck::test {
namespace {

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// This process's environment with `env` applied, in the form posix_spawn takes.
std::vector<std::string> changedEnvironment(const EnvChanges& env) {
    std::vector<std::string> vars;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        const std::string name = var.substr(0, var.find('='));
        if (!env.contains(name)) vars.push_back(var);
    }
    for (const auto& [name, value] : env) {
        if (value) vars.push_back(name + "=" + *value);
    }
    return vars;
}

std::vector<char*> pointersTo(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words) pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ProcessRun runProcess(const std::vector<std::string>& args, const EnvChanges& env) {
    const TempDir dir;
    const std::string outPath = (dir.path() / "out").string();
    const std::string errPath = (dir.path() / "err").string();

    std::vector<std::string> words = args;
    std::vector<char*> argv = pointersTo(words);
    std::vector<std::string> vars = changedEnvironment(env);
    std::vector<char*> envp = pointersTo(vars);

    // Started directly rather than through a shell: each run costs one process only.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ProcessRun run;
    if (spawned != 0) {
        run.err = "cannot start " + words[0];
        return run;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = readWhole(outPath);
    run.err = readWhole(errPath);
    return run;
}

}  // namespace melodeck::test
