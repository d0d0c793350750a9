#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace melodeck {

// Where messages meant for the user go: a message box in the application, a list in tests
// and tools. Texts are UTF-8.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void showMessage(std::string_view text) = 0;
};

// Keeps every message in order instead of showing it.
class RecordingNotifier final : public Notifier {
public:
    void showMessage(std::string_view text) override { m_messages.emplace_back(text); }
    const std::vector<std::string>& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    std::vector<std::string> m_messages;
};

}  // namespace melodeck
