#include "doc_settings.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "app_paths.h"

namespace melodeck {
namespace {

constexpr std::u16string_view kDefaultFace = u"Tahoma";
constexpr std::int32_t kDefaultFontSizes[kFontCount] = {16, 12, 10};
constexpr int kPointsPerInch = 72;

bool validFont(int i) { return i >= 0 && i < kFontCount; }

}  // namespace

std::u16string fieldText(const char16_t* field, std::size_t units) {
    if (units == 0) return {};
    const char16_t* end = std::find(field, field + units - 1, u'\0');
    return std::u16string(field, end);
}

void setFieldText(char16_t* field, std::size_t units, std::u16string_view text) {
    if (units == 0) return;
    const std::size_t length = std::min(text.size(), units - 1);
    std::copy_n(text.data(), length, field);
    field[length] = u'\0';
}

DocSettings::DocSettings() {
    for (int i = 0; i < kFontCount; ++i) {
        logFonts[i] = LogFont{};
        logFonts[i].charSet = kCyrillicCharset;
        fontRecords[i].size = kDefaultFontSizes[i];
        setFontFace(i, kDefaultFace);
        setFontBold(i, true);
        setFontItalic(i, false);
    }
}

void DocSettings::setFontFace(int i, std::u16string_view name) {
    if (!validFont(i)) return;
    setFieldText(logFonts[i].faceName, kFaceNameUnits, name);
    setFieldText(fontRecords[i].faceName, kFaceNameUnits, name);
}

std::u16string DocSettings::getFontFace(int i) const {
    if (!validFont(i)) return {};
    return fieldText(logFonts[i].faceName, kFaceNameUnits);
}

void DocSettings::setFontSize(int i, int verticalDpi, std::int32_t size) {
    if (!validFont(i)) return;
    // In 64 bits, so that no size and resolution overflow.
    const std::int64_t height = static_cast<std::int64_t>(size) * verticalDpi / kPointsPerInch;
    logFonts[i].height = static_cast<std::int32_t>(std::clamp<std::int64_t>(height, 0, INT32_MAX));
    fontRecords[i].size = size;
}

void DocSettings::setFontBold(int i, bool on) {
    if (!validFont(i)) return;
    logFonts[i].weight = on ? kWeightBold : kWeightNormal;
    fontRecords[i].bold = on ? 1 : 0;
}

void DocSettings::setFontItalic(int i, bool on) {
    if (!validFont(i)) return;
    logFonts[i].italic = on ? 1 : 0;
    fontRecords[i].italic = on ? 1 : 0;
}

bool DocSettings::chooseNextPicture(std::filesystem::path& out) {
    const auto count = static_cast<std::int64_t>(pictures.size());
    if (count < 1) return false;
    // Any index outside the list - -1 in a new document, one past the end after removals -
    // starts the cycle again at the first entry.
    if (currentPicture >= 0 && currentPicture < count - 1) {
        ++currentPicture;
    } else {
        currentPicture = 0;
    }
    out = textPath(pictures[static_cast<std::size_t>(currentPicture)]);
    return true;
}

void DocSettings::addPicture(const std::filesystem::path& path) {
    pictures.push_back(pathText(path));
}

void DocSettings::removePicture(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= pictures.size()) {
        throw std::out_of_range("picture index " + std::to_string(index) + " outside a list of " +
                                std::to_string(pictures.size()));
    }
    pictures.erase(pictures.begin() + index);
}

}  // namespace melodeck
