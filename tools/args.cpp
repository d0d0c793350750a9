#include "args.h"

#include <charconv>
#include <cstdio>

namespace melodeck::tool {

Args::Args(std::string_view command, int argc, char** argv) : m_command(command) {
    for (int i = 0; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help" || word == "-h") {
            m_help = true;
            continue;
        }
        if (word.size() <= 2 || !word.starts_with("--")) {
            m_positional.emplace_back(word);
            continue;
        }
        const std::string_view body = word.substr(2);
        if (const auto eq = body.find('='); eq != std::string_view::npos) {
            m_options.emplace_back(std::string(body.substr(0, eq)),
                                   std::string(body.substr(eq + 1)));
        } else if (i + 1 < argc && !std::string_view(argv[i + 1]).starts_with("--")) {
            m_options.emplace_back(std::string(body), std::string(argv[++i]));
        } else {
            m_options.emplace_back(std::string(body), std::string());
        }
    }
}

bool Args::check(std::size_t positionalCount, std::initializer_list<std::string_view> allowed,
                 std::initializer_list<std::string_view> repeatable) const {
    if (m_positional.size() != positionalCount) {
        complain(m_positional.size() < positionalCount ? "missing FILE argument"
                                                       : "too many arguments");
        return false;
    }
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        const std::string& name = m_options[i].first;
        bool known = false;
        for (std::string_view candidate : allowed) known = known || candidate == name;
        if (!known) {
            complain("unknown option --" + name);
            return false;
        }
        bool repeats = false;
        for (std::string_view candidate : repeatable) repeats = repeats || candidate == name;
        for (std::size_t j = 0; j < i && !repeats; ++j) {
            if (m_options[j].first == name) {
                complain("option --" + name + " given twice");
                return false;
            }
        }
    }
    return true;
}

std::optional<std::string_view> Args::option(std::string_view name) const {
    for (const auto& [key, value] : m_options) {
        if (key == name) return value;
    }
    return std::nullopt;
}

std::vector<std::string_view> Args::options(std::string_view name) const {
    std::vector<std::string_view> values;
    for (const auto& [key, value] : m_options) {
        if (key == name) values.push_back(value);
    }
    return values;
}

std::optional<std::int64_t> Args::integer(std::string_view name, std::int64_t fallback,
                                          std::int64_t min, std::int64_t max) const {
    const auto text = option(name);
    if (!text) return fallback;
    const auto value = parseInteger(*text);
    if (!value || *value < min || *value > max) {
        complain("--" + std::string(name) + " needs an integer from " + std::to_string(min) +
                 " to " + std::to_string(max) + ", not '" + std::string(*text) + "'");
        return std::nullopt;
    }
    return value;
}

void Args::complain(std::string_view text) const {
    std::fprintf(stderr, "melodeck-tool %s: %.*s\n", m_command.c_str(),
                 static_cast<int>(text.size()), text.data());
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

}  // namespace melodeck::tool
