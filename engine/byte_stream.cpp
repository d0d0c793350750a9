#include "byte_stream.h"

#include <algorithm>
#include <cstring>

namespace melodeck {

std::size_t MemoryStream::read(void* dst, std::size_t size) {
    const std::size_t count = std::min(size, m_bytes.size() - m_pos);
    if (count > 0) {
        std::memcpy(dst, m_bytes.data() + m_pos, count);
        m_pos += count;
    }
    return count;
}

void MemoryStream::setPosition(std::int64_t pos) {
    if (pos <= 0) {
        m_pos = 0;
    } else if (static_cast<std::uint64_t>(pos) >= m_bytes.size()) {
        m_pos = m_bytes.size();
    } else {
        m_pos = static_cast<std::size_t>(pos);
    }
}

}  // namespace melodeck
