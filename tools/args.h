#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace melodeck::tool {

// The command line of one subcommand: positional words and "--name value" (or
// "--name=value") options. An option followed by nothing or by another option is a flag
// with an empty value; "--help" is always a flag.
//
// The checking helpers report a usage problem on stderr, prefixed with the command's name,
// and return false or nullopt; the command then exits with status 1.
class Args {
public:
    // `argv` holds the `argc` words after the subcommand's name.
    Args(std::string_view command, int argc, char** argv);

    bool helpRequested() const { return m_help; }
    // A problem found while splitting the words (an option without its value); empty if none.
    const std::string& error() const { return m_error; }
    std::string_view command() const { return m_command; }

    // True when exactly `positionalCount` positional words were given and every option is
    // one of `allowed` (names without the dashes), given once unless it is also `repeatable`.
    bool check(std::size_t positionalCount, std::initializer_list<std::string_view> allowed,
               std::initializer_list<std::string_view> repeatable = {}) const;

    const std::string& positional(std::size_t index) const { return m_positional.at(index); }
    std::optional<std::string_view> option(std::string_view name) const;
    // Every value of a repeatable option, in the order given.
    std::vector<std::string_view> options(std::string_view name) const;

    // The option's value as a decimal integer within [min, max], or `fallback` when the
    // option is absent.
    std::optional<std::int64_t> integer(std::string_view name, std::int64_t fallback,
                                        std::int64_t min, std::int64_t max) const;

    // Writes "melodeck-tool COMMAND: text" to stderr.
    void complain(std::string_view text) const;

private:
    std::string m_command;
    std::vector<std::string> m_positional;
    std::vector<std::pair<std::string, std::string>> m_options;
    bool m_help = false;
    std::string m_error;
};

// Parses a whole decimal integer (optional sign); nullopt for anything else or out of range.
std::optional<std::int64_t> parseInteger(std::string_view text);

}  // namespace melodeck::tool
