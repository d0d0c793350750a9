#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace melodeck {

// A readable, repositionable byte stream, in the manner of a stdio handle.
class ByteStream {
public:
    virtual ~ByteStream() = default;

    // Reads up to `size` bytes into `dst`; returns how many were read (fewer at the end).
    virtual std::size_t read(void* dst, std::size_t size) = 0;
    virtual std::int64_t position() const = 0;
    // Moves to `pos`, clamped to the stream's bounds.
    virtual void setPosition(std::int64_t pos) = 0;
};

// A stream over bytes that the caller keeps alive while the stream is in use.
class MemoryStream final : public ByteStream {
public:
    explicit MemoryStream(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t read(void* dst, std::size_t size) override;
    std::int64_t position() const override { return static_cast<std::int64_t>(m_pos); }
    void setPosition(std::int64_t pos) override;

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

}  // namespace melodeck
