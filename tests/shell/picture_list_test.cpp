#include <stdexcept>

#include "settings_fixture.h"

namespace melodeck {
namespace {

using test::SettingsFixture;
using Strings = std::vector<std::u16string>;

class PictureListTest : public SettingsFixture {
protected:
    // The file names of the next `count` choices.
    std::vector<std::string> nextNames(CLyrDoc& doc, int count) {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) {
            std::filesystem::path path;
            EXPECT_TRUE(doc.chooseNextPicture(path));
            names.push_back(path.filename().string());
        }
        return names;
    }
};

TEST_F(PictureListTest, FreshStoreCyclesFromTheSecondDefault) {
    auto doc = makeDoc();
    std::filesystem::path first;
    ASSERT_TRUE(doc->chooseNextPicture(first));
    EXPECT_EQ(first, std::filesystem::path("/data/melodeck/Images/Flower.jpg"));
    EXPECT_EQ(nextNames(*doc, 4), (std::vector<std::string>{"Underwater.jpg", "Mountain.jpg",
                                                            "Water.jpg", "Flower.jpg"}));
    EXPECT_EQ(doc->currentPicture, 1);
}

TEST_F(PictureListTest, EmptyListGivesNothingAndChangesNothing) {
    auto doc = makeDoc(nullptr);
    ASSERT_TRUE(doc->pictures.empty());
    std::filesystem::path out = "/untouched";
    EXPECT_FALSE(doc->chooseNextPicture(out));
    EXPECT_EQ(out, std::filesystem::path("/untouched"));
    EXPECT_EQ(doc->currentPicture, -1);

    doc->addPicture("/only.jpg");
    EXPECT_EQ(nextNames(*doc, 3), (std::vector<std::string>{"only.jpg", "only.jpg", "only.jpg"}));
}

TEST_F(PictureListTest, IndexOutsideTheListStartsAgainAtTheFirst) {
    auto doc = makeDoc(nullptr);
    for (const char* name : {"/a.jpg", "/b.jpg", "/c.jpg"}) doc->addPicture(name);
    // Past the end after removals, and a negative value put in directly.
    for (std::int32_t index : {2, 3, 7, -1, -5, INT32_MIN}) {
        doc->currentPicture = index;
        EXPECT_EQ(nextNames(*doc, 1)[0], "a.jpg") << index;
    }
}

TEST_F(PictureListTest, StoredCurrentPictureOutsideTheCountShowsTheSecondPicture) {
    storeCurrentVersion();
    storeDword(u"CountPict", 3);
    for (char16_t i : {u'0', u'1', u'2'})
        storeText(u"Pict_" + std::u16string(1, i), u"/p/" + std::u16string(1, i));
    storeDword(u"CurPict", 7);
    auto doc = makeDoc();
    EXPECT_EQ(nextNames(*doc, 1)[0], "1");
}

TEST_F(PictureListTest, RemoveOutsideTheListThrowsAndKeepsTheList) {
    auto doc = makeDoc(nullptr);
    doc->addPicture("/a.jpg");
    doc->addPicture("/b.jpg");
    EXPECT_THROW(doc->removePicture(2), std::out_of_range);
    EXPECT_THROW(doc->removePicture(-1), std::out_of_range);
    EXPECT_EQ(doc->pictures, (Strings{u"/a.jpg", u"/b.jpg"}));
    doc->removePicture(0);
    EXPECT_EQ(doc->pictures, (Strings{u"/b.jpg"}));
}

TEST_F(PictureListTest, EditedListIsSavedAndNonAsciiNamesComeBack) {
    const std::filesystem::path cyrillic = "/\xD0\xBC\xD0\xB8\xD1\x80.jpg";  // "/мир.jpg"
    {
        auto doc = makeDoc();
        doc->removePicture(3);
        doc->removePicture(0);
        doc->addPicture(cyrillic);
        EXPECT_EQ(doc->pictures.back(), u"/\u043C\u0438\u0440.jpg");
    }
    auto doc = makeDoc();
    ASSERT_EQ(doc->pictures.size(), 3u);
    std::filesystem::path out;
    doc->currentPicture = 1;
    ASSERT_TRUE(doc->chooseNextPicture(out));
    EXPECT_EQ(out, cyrillic);
}

TEST(TextPath, LoneSurrogatesBecomeReplacementCharacters) {
    const std::u16string text = {u'/', char16_t(0xD800), u'x', char16_t(0xDC00)};
    EXPECT_EQ(textPath(text).native(), "/\xEF\xBF\xBDx\xEF\xBF\xBD");
    EXPECT_EQ(pathText(textPath(u"/\U0001F600.jpg")), u"/\U0001F600.jpg");
}

}  // namespace
}  // namespace melodeck
