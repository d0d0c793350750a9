#include "jpeg_loader.h"

#include <csetjmp>
#include <cstdint>
#include <memory>
#include <span>

// jpeglib.h relies on FILE and size_t being declared before it.
#include <jpeglib.h>
// jerror.h after jpeglib.h: which message codes exist depends on jpeglib.h's configuration.
#include <jerror.h>

namespace melodeck {

namespace {

// The IJG 6b interface: the header we build against and the library we run with must both
// speak it, or jpeg_CreateDecompress refuses to start.
constexpr int kJpegLibVersion = 62;
static_assert(JPEG_LIB_VERSION == kJpegLibVersion);

// Real progressive files have a dozen scans or so. A crafted one can repeat scans without
// end, each costing a pass over the whole coefficient buffer; past this many we give up.
constexpr int kMaxScans = 500;

// libjpeg calls back with a pointer to `pub`; being the first member, it is also a pointer
// to the whole struct.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    // Set once every row has been read: warnings after that cannot spoil the picture.
    bool rowsComplete;
};

[[noreturn]] void abandonDecoding(j_common_ptr info) {
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(error->jump, 1);
}

// Warnings after which the rows that follow are made up by the library (grey or smeared)
// rather than decoded from the file.
bool losesPictureData(int messageCode) {
    switch (messageCode) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_MUST_RESYNC:
            return true;
        default:
            return false;
    }
}

// Replaces the standard output of warnings and traces on stderr: the program stays quiet,
// and a picture with lost data is abandoned like one with a fatal error.
void onMessage(j_common_ptr info, int level) {
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0 && !error->rowsComplete && losesPictureData(error->pub.msg_code)) {
        abandonDecoding(info);
    }
}

void onProgress(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        abandonDecoding(info);
    }
}

// Owns the decompressor. The struct starts zeroed, so destroying it is safe even when
// jpeg_CreateDecompress was never reached or failed half-way.
class Decompressor {
public:
    Decompressor() {
        m_info.err = jpeg_std_error(&m_error.pub);
        m_error.pub.error_exit = abandonDecoding;
        m_error.pub.emit_message = onMessage;
        m_error.rowsComplete = false;
        m_progress.progress_monitor = onProgress;
    }
    ~Decompressor() { jpeg_destroy_decompress(&m_info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct* info() { return &m_info; }
    ErrorManager* error() { return &m_error; }
    jpeg_progress_mgr* progress() { return &m_progress; }

private:
    ErrorManager m_error{};
    jpeg_progress_mgr m_progress{};
    jpeg_decompress_struct m_info{};
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool allocatePicture(std::optional<CSTScreenBuffer>* picture, JDIMENSION width, JDIMENSION height) {
    *picture = CSTScreenBuffer::create(static_cast<std::int32_t>(width),
                                       static_cast<std::int32_t>(height));
    return picture->has_value();
}

// Stores one decoded row of `components` samples per pixel as picture row y.
void storeRow(CSTScreenBuffer& picture, std::int32_t y, const JSAMPLE* samples, int components,
              bool invertedCmyk) {
    const std::size_t width = static_cast<std::size_t>(picture.width());
    if (components == 3) {
        picture.setRgbRow(y, std::span<const std::uint8_t>(samples, width * 3));
        return;
    }
    const std::span<std::uint8_t> out = picture.mutableRow(y);
    for (std::size_t x = 0; x < width; ++x) {
        std::uint8_t* bgr = &out[x * 3];
        if (components == 1) {
            bgr[0] = bgr[1] = bgr[2] = samples[x];
            continue;
        }
        // CMYK: each colour is what its ink and the black ink leave of full intensity.
        // Adobe files store 255 - ink, so their samples already are those fractions.
        const JSAMPLE* cmyk = &samples[x * 4];
        auto leftOf = [invertedCmyk](JSAMPLE ink) -> unsigned {
            return invertedCmyk ? ink : 255u - ink;
        };
        const unsigned black = leftOf(cmyk[3]);
        bgr[2] = static_cast<std::uint8_t>((leftOf(cmyk[0]) * black + 127) / 255);
        bgr[1] = static_cast<std::uint8_t>((leftOf(cmyk[1]) * black + 127) / 255);
        bgr[0] = static_cast<std::uint8_t>((leftOf(cmyk[2]) * black + 127) / 255);
    }
}

// Runs the library from header to last row. libjpeg leaves its errors through a longjmp
// back into this function, so nothing here may own a C++ object with a destructor: the
// decoder, the file and the picture belong to the caller.
bool runDecoder(Decompressor* decoder, std::FILE* file, std::optional<CSTScreenBuffer>* picture) {
    jpeg_decompress_struct* info = decoder->info();
    if (setjmp(decoder->error()->jump) != 0) {
        return false;
    }
    jpeg_CreateDecompress(info, kJpegLibVersion, sizeof(*info));
    info->progress = decoder->progress();
    jpeg_stdio_src(info, file);
    jpeg_read_header(info, TRUE);
    // Refuse absurd sizes before jpeg_start_decompress, which already allocates whole-image
    // buffers for progressive files. At scale 1/1 the output has the image's size.
    if (!CSTScreenBuffer::sizeAccepted(info->image_width, info->image_height)) {
        return false;
    }
    jpeg_start_decompress(info);
    const int components = info->output_components;
    const bool cmyk = components == 4 && info->out_color_space == JCS_CMYK;
    if (components != 1 && components != 3 && !cmyk) {
        return false;
    }
    if (!allocatePicture(picture, info->output_width, info->output_height)) {
        return false;
    }
    JSAMPARRAY row = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                                info->output_width * components, 1);
    while (info->output_scanline < info->output_height) {
        const auto y = static_cast<std::int32_t>(info->output_scanline);
        if (jpeg_read_scanlines(info, row, 1) != 1) {
            return false;
        }
        storeRow(**picture, y, row[0], components, info->saw_Adobe_marker);
    }
    decoder->error()->rowsComplete = true;
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace

std::optional<CSTScreenBuffer> decodeJpeg(std::FILE& file) {
    Decompressor decoder;
    std::optional<CSTScreenBuffer> picture;
    if (!runDecoder(&decoder, &file, &picture)) {
        return std::nullopt;
    }
    return picture;
}

std::optional<CSTScreenBuffer> loadJpeg(const std::filesystem::path& path) {
    const FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    return decodeJpeg(*file);
}

}  // namespace melodeck
