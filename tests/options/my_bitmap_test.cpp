#include "my_bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "picture_test_support.h"

namespace melodeck {
namespace {

using test::ScratchDir;
using test::texturedJpeg;

TEST(CMyBitmap, FileThatCannotBeOpenedOrDecodedIsReportedAndDropsThePicture) {
    ScratchDir dir;
    RecordingNotifier notifier;
    CMyBitmap bitmap(notifier);
    ASSERT_TRUE(bitmap.loadPicture(dir.write("good.jpg", texturedJpeg(20, 10))));
    EXPECT_TRUE(notifier.messages().empty());
    ASSERT_NE(bitmap.picture(), nullptr);
    EXPECT_EQ(bitmap.picture()->width(), 20);

    const auto missing = dir.file("gone.jpg");
    EXPECT_FALSE(bitmap.loadPicture(missing));
    EXPECT_EQ(bitmap.picture(), nullptr);

    auto damaged = texturedJpeg(20, 10);
    damaged.resize(damaged.size() / 2);
    const auto cut = dir.write("cut.jpg", damaged);
    EXPECT_FALSE(bitmap.loadPicture(cut));

    EXPECT_EQ(notifier.messages(),
              (std::vector<std::string>{"Can't open file '" + missing.string() + "'",
                                        "Can't open file '" + cut.string() + "'"}));
}

TEST(CMyBitmap, DefaultPicturesAllDecode) {
    const char* source = std::getenv("MELODECK_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    RecordingNotifier notifier;
    CMyBitmap bitmap(notifier);
    for (const char* name : {"Water.jpg", "Flower.jpg", "Underwater.jpg", "Mountain.jpg"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(bitmap.loadPicture(std::filesystem::path(source) / "data/Images" / name));
        EXPECT_EQ(bitmap.picture()->width(), 480);
        EXPECT_EQ(bitmap.picture()->height(), 640);
    }
    EXPECT_TRUE(notifier.messages().empty());
}

}  // namespace
}  // namespace melodeck
