#include "json_writer.h"

#include <cassert>

namespace melodeck::tool {


namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Calls `sink` with each code point of `text`.
template <typename Sink>
void decodeUtf16(std::u16string_view text, Sink&& sink) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            sink(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                 (static_cast<char32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            sink(kReplacementCharacter);
        } else {
            sink(unit);
        }
    }
}

// Calls `sink` with each code point of `text`; an invalid, overlong or cut-short sequence
// gives U+FFFD for its first byte and decoding goes on after it.
template <typename Sink>
void decodeUtf8(std::string_view text, Sink&& sink) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            sink(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, cp = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, cp = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, cp = lead & 0x07, minimum = 0x10000;
        } else {
            sink(kReplacementCharacter);
            ++i;
            continue;
        }
        bool valid = i + extra < text.size();
        for (std::size_t k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            sink(kReplacementCharacter);
            ++i;
            continue;
        }
        sink(cp);
        i += extra + 1;
    }
}

}  // namespace

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    decodeUtf16(text, [&out](char32_t cp) { appendUtf8(out, cp); });
    return out;
}

void JsonWriter::beforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasElement.empty()) {
        if (m_hasElement.back()) m_out += ',';
        m_hasElement.back() = true;
    }
}

void JsonWriter::beginObject() {
    // Objects inside arrays each start a line.
    const bool inArray = !m_afterKey && !m_hasElement.empty();
    beforeValue();
    if (inArray) m_out += '\n';
    m_out += '{';
    m_hasElement.push_back(false);
}

void JsonWriter::endObject() {
    assert(!m_hasElement.empty());
    m_hasElement.pop_back();
    m_out += '}';
}

void JsonWriter::beginArray() {
    beforeValue();
    m_out += '[';
    m_hasElement.push_back(false);
}

void JsonWriter::endArray() {
    assert(!m_hasElement.empty());
    m_hasElement.pop_back();
    m_out += ']';
}

void JsonWriter::key(std::string_view name) {
    beforeValue();
    m_out += '"';
    for (unsigned char c : name) appendEscaped(c);
    m_out += "\":";
    m_afterKey = true;
}

void JsonWriter::value(std::int64_t number) {
    beforeValue();
    m_out += std::to_string(number);
}

void JsonWriter::value(bool flag) {
    beforeValue();
    m_out += flag ? "true" : "false";
}

void JsonWriter::null() {
    beforeValue();
    m_out += "null";
}

void JsonWriter::latin1String(std::string_view bytes) {
    beforeValue();
    m_out += '"';
    for (unsigned char byte : bytes) appendEscaped(byte);
    m_out += '"';
}

void JsonWriter::utf8String(std::string_view text) {
    beforeValue();
    m_out += '"';
    decodeUtf8(text, [this](char32_t cp) { appendEscaped(cp); });
    m_out += '"';
}

void JsonWriter::utf16String(std::u16string_view text) {
    beforeValue();
    m_out += '"';
    decodeUtf16(text, [this](char32_t cp) { appendEscaped(cp); });
    m_out += '"';
}

void JsonWriter::appendEscaped(char32_t cp) {
    switch (cp) {
        case '"': m_out += "\\\""; return;
        case '\\': m_out += "\\\\"; return;
        case '\n': m_out += "\\n"; return;
        case '\r': m_out += "\\r"; return;
        case '\t': m_out += "\\t"; return;
        default: break;
    }
    // Control characters, DEL and the C1 controls are escaped so the output stays printable;
    // U+2028 and U+2029 are escaped for JavaScript readers.
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029) {
        static constexpr char kHex[] = "0123456789abcdef";
        m_out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) m_out += kHex[(cp >> shift) & 0xF];
        return;
    }
    appendUtf8(m_out, cp);
}

}  // namespace melodeck::tool
