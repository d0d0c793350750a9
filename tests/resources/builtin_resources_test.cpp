#include "builtin_resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace melodeck {
namespace {

// A character table resource as the engine reads it: byte F, byte L, then the 16-bit
// little-endian characters for F..L.
class CharTableResource {
public:
    explicit CharTableResource(int id) {
        m_status = BuiltinResources().rawData(id, m_bytes);
    }

    ResourceStatus status() const { return m_status; }
    std::size_t size() const { return m_bytes.size(); }
    int first() const { return m_bytes.at(0); }
    int last() const { return m_bytes.at(1); }

    // The character the table gives byte `b`, which must lie in F..L.
    char16_t at(int b) const {
        EXPECT_GE(b, first());
        EXPECT_LE(b, last());
        const std::size_t offset = 2 + 2 * static_cast<std::size_t>(b - first());
        return static_cast<char16_t>(m_bytes.at(offset) | (m_bytes.at(offset + 1) << 8));
    }

private:
    ResourceStatus m_status = ResourceStatus::NotFound;
    std::vector<std::uint8_t> m_bytes;
};

TEST(BuiltinResources, EveryTableIsFoundWithItsRangeAndExactLength) {
    struct Expected {
        int id;
        int first;
        int last;
    };
    for (const Expected& e : {Expected{200, 0xA8, 0xFF}, Expected{202, 0x80, 0xFF},
                              Expected{203, 0x80, 0xFF}, Expected{204, 0x80, 0xFF}}) {
        SCOPED_TRACE(e.id);
        const CharTableResource table(e.id);
        ASSERT_EQ(table.status(), ResourceStatus::Found);
        EXPECT_EQ(table.first(), e.first);
        EXPECT_EQ(table.last(), e.last);
        EXPECT_EQ(table.size(), 2u + 2u * static_cast<std::size_t>(e.last - e.first + 1));
    }
    EXPECT_EQ(CharTableResource(200).size(), 178u);
}

TEST(BuiltinResources, CyrillicTableHoldsWindows1251Letters) {
    const CharTableResource table(200);
    EXPECT_EQ(table.at(0xA8), u'\u0401');  // Ё
    EXPECT_EQ(table.at(0xB8), u'\u0451');  // ё
    EXPECT_EQ(table.at(0xC0), u'\u0410');  // А
    EXPECT_EQ(table.at(0xDF), u'\u042F');  // Я
    EXPECT_EQ(table.at(0xE0), u'\u0430');  // а
    EXPECT_EQ(table.at(0xFF), u'\u044F');  // я
    // Bytes in the range that Windows-1251 shares with Latin-1 keep their values.
    EXPECT_EQ(table.at(0xA9), u'\u00A9');
}

TEST(BuiltinResources, UnusedTablesHoldTheirCodePagesValues) {
    const CharTableResource central(202);
    EXPECT_EQ(central.at(0x80), u'\u20AC');
    EXPECT_EQ(central.at(0x8A), u'\u0160');  // Š
    EXPECT_EQ(central.at(0xB9), u'\u0105');  // ą

    const CharTableResource baltic(203);
    EXPECT_EQ(baltic.at(0xC0), u'\u0104');  // Ą
    EXPECT_EQ(baltic.at(0xE0), u'\u0105');  // ą

    const CharTableResource greek(204);
    EXPECT_EQ(greek.at(0xA2), u'\u0386');  // Ά
    EXPECT_EQ(greek.at(0xC1), u'\u0391');  // Α
    EXPECT_EQ(greek.at(0xF9), u'\u03C9');  // ω
}

TEST(BuiltinResources, UndefinedBytesConvertAsWindowsDoes) {
    // Undefined bytes among the C1 controls keep their own values; the few undefined
    // graphic positions get Windows' private-use characters.
    EXPECT_EQ(CharTableResource(202).at(0x81), u'\u0081');
    EXPECT_EQ(CharTableResource(204).at(0x90), u'\u0090');
    EXPECT_EQ(CharTableResource(204).at(0xAA), u'\uF8F9');
    EXPECT_EQ(CharTableResource(204).at(0xD2), u'\uF8FA');
    EXPECT_EQ(CharTableResource(204).at(0xFF), u'\uF8FB');
    EXPECT_EQ(CharTableResource(203).at(0xA1), u'\uF8FC');
    EXPECT_EQ(CharTableResource(203).at(0xA5), u'\uF8FD');
}

TEST(BuiltinResources, OtherIdsAreNotFoundAndLeaveTheBufferAlone) {
    const BuiltinResources resources;
    for (int id : {0, -1, 199, 201, 205, 65535}) {
        SCOPED_TRACE(id);
        std::vector<std::uint8_t> data{1, 2, 3};
        EXPECT_EQ(resources.rawData(id, data), ResourceStatus::NotFound);
        EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 2, 3}));
    }
}

TEST(BuiltinResources, FoundReplacesWhatTheBufferHeld) {
    std::vector<std::uint8_t> data(1000, 0x55);
    ASSERT_EQ(BuiltinResources().rawData(200, data), ResourceStatus::Found);
    ASSERT_EQ(data.size(), 178u);
    EXPECT_EQ(data[0], 0xA8);
    EXPECT_EQ(data[1], 0xFF);
}

}  // namespace
}  // namespace melodeck
