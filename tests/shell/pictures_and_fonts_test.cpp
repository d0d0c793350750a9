#include <chrono>
#include <cstring>

#include "settings_fixture.h"

namespace melodeck {
namespace {

using test::SettingsFixture;
using Strings = std::vector<std::u16string>;

class StoredPicturesTest : public SettingsFixture {
protected:
    void storePictures(std::uint32_t count, std::initializer_list<int> present) {
        storeDword(u"CountPict", count);
        for (int i : present) {
            storeText(u"Pict_" + std::u16string(1, char16_t(u'0' + i)),
                      u"/p/" + std::u16string(1, char16_t(u'0' + i)) + u".jpg");
        }
    }
};

TEST_F(StoredPicturesTest, UnreadableEntriesAreSkippedAndLaterOnesCloseUp) {
    storeCurrentVersion();
    storePictures(3, {0, 2});
    storeDword(u"CurPict", 2);
    auto doc = makeDoc();
    EXPECT_EQ(doc->pictures, (Strings{u"/p/0.jpg", u"/p/2.jpg"}));
    EXPECT_EQ(doc->currentPicture, 2);
}

TEST_F(StoredPicturesTest, CurrentPictureOutsideTheCountBecomesZero) {
    storeCurrentVersion();
    storePictures(3, {0, 1, 2});
    for (std::uint32_t stored : {7u, 3u, 0xFFFFFFFFu}) {
        storeDword(u"CurPict", stored);
        EXPECT_EQ(makeDoc()->currentPicture, 0) << stored;
    }
}

TEST_F(StoredPicturesTest, AnotherVersionGetsTheDefaultPicturesAndEverythingElse) {
    storeCurrentVersion();
    // Each load's save writes the current version back, so every case starts over.
    const auto loadWithVersion = [&](std::optional<std::u16string_view> version) {
        storePictures(2, {0, 1});
        storeDword(u"CurPict", 1);
        storeDword(u"LDelay", 55);
        if (version) {
            storeText(u"ver", *version);
        } else {
            settingsKey()->deleteValue(u"ver");
        }
        return makeDoc();
    };
    for (std::optional<std::u16string_view> version :
         {std::optional<std::u16string_view>(u"3.2"), {u"3.3 "}, {u""}, {}}) {
        auto doc = loadWithVersion(version);
        EXPECT_EQ(doc->pictures.size(), 4u);
        EXPECT_EQ(doc->pictures[0], u"/data/melodeck/Images/Water.jpg");
        EXPECT_EQ(doc->currentPicture, 0);
        EXPECT_EQ(doc->LDelay, 55);
    }
    EXPECT_EQ(loadWithVersion(u"3.3")->pictures, (Strings{u"/p/0.jpg", u"/p/1.jpg"}));
}

TEST_F(StoredPicturesTest, HugeCountDoesNotStallTheStart) {
    storeCurrentVersion();
    storePictures(0x7FFFFFFF, {0, 1});
    const auto start = std::chrono::steady_clock::now();
    auto doc = makeDoc();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(doc->pictures, (Strings{u"/p/0.jpg", u"/p/1.jpg"}));
}

TEST_F(StoredPicturesTest, ShorterListLeavesOlderEntriesUnread) {
    storeCurrentVersion();
    storePictures(4, {0, 1, 2, 3});
    {
        auto doc = makeDoc();
        doc->pictures.resize(2);
    }
    EXPECT_EQ(storedDword(u"CountPict"), 2u);
    EXPECT_TRUE(stored(u"Pict_3"));  // neither written nor deleted
    EXPECT_EQ(makeDoc()->pictures, (Strings{u"/p/0.jpg", u"/p/1.jpg"}));
}

FontRecord record(std::u16string_view face, std::uint8_t bold, std::uint8_t italic,
                  std::int32_t size) {
    FontRecord font{};
    setFieldText(font.faceName, kFaceNameUnits, face);
    font.bold = bold;
    font.italic = italic;
    font.size = size;
    return font;
}

std::span<const std::uint8_t> bytes(const FontRecord& font) {
    return {reinterpret_cast<const std::uint8_t*>(&font), sizeof font};
}

using FontSettingsTest = SettingsFixture;

TEST_F(FontSettingsTest, StoredRecordsComeBackByteForByte) {
    storeCurrentVersion();
    const FontRecord lyrics = record(u"Liberation Serif", 2, 1, 300);
    const FontRecord info = record(u"Mono", 0, 0, 9);
    storeBinary(u"Font_0", bytes(lyrics));
    storeBinary(u"Font_2", bytes(info));
    {
        auto doc = makeDoc();
        EXPECT_EQ(doc->getFontFace(0), u"Liberation Serif");
        EXPECT_EQ(doc->logFonts[0].weight, kWeightBold);  // any non-zero bold is bold
        EXPECT_EQ(doc->logFonts[0].italic, 1);
        EXPECT_EQ(doc->logFonts[0].height, 0);  // sizes apply when the view makes fonts
        EXPECT_EQ(doc->logFonts[2].weight, kWeightNormal);
        EXPECT_EQ(doc->getFontFace(1), u"Tahoma");  // absent: the constructor's font
    }
    EXPECT_EQ(stored(u"Font_0")->bytes,
              std::vector<std::uint8_t>(bytes(lyrics).begin(), bytes(lyrics).end()));
    EXPECT_EQ(stored(u"Font_2")->bytes,
              std::vector<std::uint8_t>(bytes(info).begin(), bytes(info).end()));
}

TEST_F(FontSettingsTest, MakingFontsKeepsOnlyTheLowEightBitsOfTheSize) {
    storeCurrentVersion();
    storeBinary(u"Font_0", bytes(record(u"Tahoma", 1, 0, 300)));
    {
        auto doc = makeDoc();
        // What the view does each time it makes its fonts.
        doc->setFontSize(0, 96, doc->fontRecords[0].size & 0xFF);
        EXPECT_EQ(doc->logFonts[0].height, 44 * 96 / 72);
    }
    FontRecord saved{};
    ASSERT_EQ(stored(u"Font_0")->bytes.size(), sizeof saved);
    std::memcpy(&saved, stored(u"Font_0")->bytes.data(), sizeof saved);
    EXPECT_EQ(saved.size, 44);
}

TEST_F(FontSettingsTest, DamagedRecordsStayWithinTheirFields) {
    storeCurrentVersion();
    FontRecord noTerminator = record(u"", 1, 0, 12);
    std::fill(std::begin(noTerminator.faceName), std::end(noTerminator.faceName), u'W');
    noTerminator.padding[0] = 0xEE;
    storeBinary(u"Font_0", bytes(noTerminator));
    storeBinary(u"Font_1", std::vector<std::uint8_t>{'A', 0, 0, 0});  // shorter: only its bytes
    storeBinary(u"Font_2", std::vector<std::uint8_t>(73, 0));         // too long: absent
    {
        auto doc = makeDoc();
        EXPECT_EQ(doc->getFontFace(0), std::u16string(31, u'W'));
        EXPECT_EQ(doc->getFontFace(1), u"A");
        EXPECT_EQ(doc->fontRecords[1].size, 12);
        EXPECT_EQ(doc->getFontFace(2), u"Tahoma");
        EXPECT_EQ(doc->fontRecords[2].size, 10);
    }
    EXPECT_EQ(stored(u"Font_0")->bytes[66], 0);  // padding is written as zero
}

TEST(DocSettingsFonts, OperationsChangeBothRecords) {
    DocSettings doc;
    doc.setFontFace(1, u"A face name longer than thirty-one characters");
    EXPECT_EQ(doc.getFontFace(1), u"A face name longer than thirty-");
    EXPECT_EQ(fieldText(doc.fontRecords[1].faceName, kFaceNameUnits), doc.getFontFace(1));

    doc.setFontSize(0, 120, 16);
    EXPECT_EQ(doc.logFonts[0].height, 16 * 120 / 72);  // truncated
    EXPECT_EQ(doc.fontRecords[0].size, 16);

    doc.setFontBold(2, false);
    EXPECT_EQ(doc.logFonts[2].weight, kWeightNormal);
    EXPECT_EQ(doc.fontRecords[2].bold, 0);
    doc.setFontItalic(2, true);
    EXPECT_EQ(doc.logFonts[2].italic, 1);
    EXPECT_EQ(doc.fontRecords[2].italic, 1);

    // A bad index is ignored rather than writing outside the arrays.
    doc.setFontFace(3, u"X");
    doc.setFontSize(-1, 96, 10);
    EXPECT_EQ(doc.getFontFace(3), u"");
}

}  // namespace
}  // namespace melodeck
