// Character tables: the built-in Windows-1252 patch, the Russian table from the resources,
// and how text is widened and converted.

#include <map>

#include "engine_fixture.h"
#include "resource_source.h"

namespace melodeck::test {
namespace {

// Raw data resources held in memory, by id, with a status per id.
class FakeResources : public ResourceSource {
public:
    ResourceStatus rawData(int id, std::vector<std::uint8_t>& data) const override {
        ++requests;
        lastId = id;
        if (failLoad) {
            return ResourceStatus::LoadFailed;
        }
        const auto found = tables.find(id);
        if (found == tables.end()) {
            return ResourceStatus::NotFound;
        }
        data = found->second;
        return ResourceStatus::Found;
    }

    // A table for bytes first..last with the given 16-bit values, little-endian.
    static std::vector<std::uint8_t> table(std::uint8_t first, std::uint8_t last,
                                           const std::vector<char16_t>& values) {
        std::vector<std::uint8_t> data{first, last};
        for (char16_t v : values) {
            data.push_back(static_cast<std::uint8_t>(v & 0xFF));
            data.push_back(static_cast<std::uint8_t>(v >> 8));
        }
        return data;
    }

    std::map<int, std::vector<std::uint8_t>> tables;
    bool failLoad = false;
    mutable int requests = 0;
    mutable int lastId = 0;
};

// Windows-1251 for 0xA8..0xFF as the program's table 200 holds it.
std::vector<std::uint8_t> cyrillicTable() {
    std::vector<char16_t> values;
    for (int byte = 0xA8; byte <= 0xFF; ++byte) {
        if (byte >= 0xC0) {
            values.push_back(static_cast<char16_t>(0x0410 + (byte - 0xC0)));
        } else if (byte == 0xA8) {
            values.push_back(u'\u0401');
        } else if (byte == 0xB8) {
            values.push_back(u'\u0451');
        } else {
            values.push_back(static_cast<char16_t>(byte));
        }
    }
    return FakeResources::table(0xA8, 0xFF, values);
}

class CharTableTest : public EngineTest {
protected:
    std::u16string converted(std::u16string text) const {
        engine.convertText(text);
        return text;
    }
    FakeResources resources;
};

TEST_F(CharTableTest, NewEngineHasTheIdentityTableAndNoLanguage) {
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(engine.charTable()[static_cast<std::size_t>(i)], static_cast<char16_t>(i));
    }
    EXPECT_EQ(engine.languageCode(), 0);
}

TEST_F(CharTableTest, WideningKeepsEveryByteValue) {
    EXPECT_EQ(CLyrText::widen("\x80\xE9\xFF"), std::u16string(u"\u0080\u00E9\u00FF"));
    EXPECT_EQ(CLyrText::widen(""), std::u16string());
}

TEST_F(CharTableTest, EnglishLeavesTextUnconverted) {
    engine.loadCharTable(kLanguageEnglish);
    EXPECT_EQ(converted(u"\u00E9\u0080"), std::u16string(u"\u00E9\u0080"));
    EXPECT_EQ(resources.requests, 0);
}

TEST_F(CharTableTest, BuiltInTablePatchesFiveWindows1252Characters) {
    engine.loadCharTable(3003);  // German
    EXPECT_EQ(converted(CLyrText::widen("\x80\x8C\x91\x92\x9C\xE9\x81")),
              std::u16string(u"\u20AC\u0152\u2018\u2019\u0153\u00E9\u0081"));
    EXPECT_EQ(engine.languageCode(), 3003);
}

TEST_F(CharTableTest, EveryCodeButRussianGetsTheBuiltInTable) {
    engine.setResourceSource(&resources);
    for (std::int32_t code : {3001, 3004, 3018, 0, 42}) {
        engine.loadCharTable(code);
        EXPECT_EQ(engine.charTable()[0x80], u'\u20AC') << code;
    }
    EXPECT_EQ(resources.requests, 0);
    EXPECT_TRUE(notifier.messages().empty());
}

TEST_F(CharTableTest, RussianTableComesFromResource200) {
    resources.tables[200] = cyrillicTable();
    engine.setResourceSource(&resources);
    engine.loadCharTable(kLanguageRussian);
    EXPECT_EQ(resources.lastId, 200);
    EXPECT_EQ(converted(CLyrText::widen("\xC0\xA8\xA1\xFF\x80")),
              std::u16string(u"\u0410\u0401\u00A1\u044F\u0080"));
    EXPECT_TRUE(notifier.messages().empty());
}

TEST_F(CharTableTest, LoadingAgainStartsFromTheIdentity) {
    resources.tables[200] = cyrillicTable();
    engine.setResourceSource(&resources);
    engine.loadCharTable(3003);
    engine.loadCharTable(kLanguageRussian);
    EXPECT_EQ(engine.charTable()[0x80], u'\u0080');
    engine.loadCharTable(3003);
    EXPECT_EQ(engine.charTable()[0xC0], u'\u00C0');
}

TEST_F(CharTableTest, MissingTableIsReportedAndLeavesTheIdentity) {
    engine.setResourceSource(&resources);
    engine.loadCharTable(kLanguageRussian);
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Could not locate character table."}));
    EXPECT_EQ(engine.charTable()[0xC0], u'\u00C0');
    EXPECT_EQ(engine.charTable()[0x80], u'\u0080');
    EXPECT_EQ(engine.languageCode(), kLanguageRussian);
}

TEST_F(CharTableTest, NoResourceSourceMeansTheTableIsNotFound) {
    engine.loadCharTable(kLanguageRussian);
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Could not locate character table."}));
}

TEST_F(CharTableTest, UnloadableTableIsReportedAndLeavesTheIdentity) {
    resources.failLoad = true;
    engine.setResourceSource(&resources);
    engine.loadCharTable(kLanguageRussian);
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Could not load character table."}));
    EXPECT_EQ(engine.charTable()[0xC0], u'\u00C0');
}

TEST_F(CharTableTest, TableWhoseFirstByteExceedsItsLastChangesNothing) {
    resources.tables[200] = FakeResources::table(0xC1, 0xC0, {u'X', u'Y'});
    engine.setResourceSource(&resources);
    engine.loadCharTable(kLanguageRussian);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(engine.charTable()[static_cast<std::size_t>(i)], static_cast<char16_t>(i));
    }
    EXPECT_TRUE(notifier.messages().empty());
}

TEST_F(CharTableTest, TableCutShortFillsOnlyWhatItHolds) {
    auto data = FakeResources::table(0xC0, 0xFF, {u'\u0410', u'\u0411'});
    data.push_back(0x12);  // half a value
    resources.tables[200] = data;
    engine.setResourceSource(&resources);
    engine.loadCharTable(kLanguageRussian);
    EXPECT_EQ(engine.charTable()[0xC0], u'\u0410');
    EXPECT_EQ(engine.charTable()[0xC1], u'\u0411');
    EXPECT_EQ(engine.charTable()[0xC2], u'\u00C2');

    resources.tables[200] = {0xC0};
    engine.loadCharTable(kLanguageRussian);
    EXPECT_EQ(notifier.messages().back(), "Could not load character table.");
}

TEST_F(CharTableTest, ConversionUsesTheLowByteOfEachCharacter) {
    engine.loadCharTable(3003);
    EXPECT_EQ(converted(u"\u0180\u0141"), std::u16string(u"\u20AC\u0041"));
}

TEST_F(CharTableTest, RawConversionAppliesWhateverTheLanguage) {
    engine.loadCharTable(kLanguageEnglish);
    std::u16string text = u"\u0080\u0080\u0080";
    engine.convertRaw(text.data(), 2);
    EXPECT_EQ(text, std::u16string(u"\u20AC\u20AC\u0080"));
}

TEST_F(CharTableTest, InformationLinesDropTheirAtTag) {
    engine.loadCharTable(3003);
    EXPECT_EQ(engine.infoLineText(InfoEntry{"@TMy \x80 song"}), std::u16string(u"My \u20AC song"));
    EXPECT_EQ(engine.infoLineText(InfoEntry{"Track name"}), std::u16string(u"Track name"));
    EXPECT_EQ(engine.infoLineText(InfoEntry{"@"}), std::u16string());
    EXPECT_EQ(engine.infoLineText(InfoEntry{"@LEN"}), std::u16string(u"EN"));
}

TEST_F(CharTableTest, LinesHoldConvertedTextWhileEventsKeepTheBytes) {
    engine.loadCharTable(3003);
    openAndLayOut(karaokeFile({{0, "\x80uro"}}));
    ASSERT_EQ(engine.lineCount(), 1);
    EXPECT_EQ(engine.lines().front().text, std::u16string(u"\u20ACuro"));
    EXPECT_EQ(*findText("\x80uro")->text, "\x80uro");
}

}  // namespace
}  // namespace melodeck::test
