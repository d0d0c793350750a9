#include "app_runner.h"

namespace melodeck::test {

AppRun runApp(const std::vector<std::string>& args,
              const std::map<std::string, std::optional<std::string>>& env) {
    std::vector<std::string> argv = {MELODECK_APP_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(argv, env);
}

}  // namespace melodeck::test
