#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "utf8.h"

namespace melodeck::tool {

// Builds one JSON text. The caller pairs every begin with its end and, inside an object,
// gives a key before each value; commas are placed by the writer. Output is compact, with
// a line break before each element of an array of objects so that large dumps stay readable.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);

    void value(std::int64_t number);
    void value(bool flag);
    void null();
    // Each byte b of `bytes` stands for the code point U+00bb.
    void latin1String(std::string_view bytes);
    // UTF-8 text; a byte that is not part of a valid sequence becomes U+FFFD.
    void utf8String(std::string_view text);
    // UTF-16 text; a lone surrogate becomes U+FFFD.
    void utf16String(std::u16string_view text);

    const std::string& text() const { return m_out; }

private:
    void beforeValue();
    void appendEscaped(char32_t codePoint);

    std::string m_out;
    // One entry per open container: true once it holds an element.
    std::vector<bool> m_hasElement;
    bool m_afterKey = false;
};

using melodeck::appendUtf8;
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace melodeck::tool
