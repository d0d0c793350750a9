#include "jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <jpeglib.h>

namespace melodeck {

namespace {

constexpr int kJpegLibVersion = 62;

struct ErrorManager {
    jpeg_error_mgr pub;  // first member: libjpeg's pointer to it points to the whole
    std::jmp_buf jump;
};

[[noreturn]] void abandonEncoding(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void ignoreMessage(j_common_ptr, int) {}

int samplesPerPixel(JpegColour colour) {
    switch (colour) {
        case JpegColour::Grey:
            return 1;
        case JpegColour::Rgb:
            return 3;
        case JpegColour::Cmyk:
        case JpegColour::AdobeCmyk:
            return 4;
    }
    return 0;
}

// Owns the compressor and the memory destination's buffer, which libjpeg allocates with
// malloc and hands over without freeing it.
class Compressor {
public:
    Compressor() {
        m_info.err = jpeg_std_error(&m_error.pub);
        m_error.pub.error_exit = abandonEncoding;
        m_error.pub.emit_message = ignoreMessage;
    }
    ~Compressor() {
        jpeg_destroy_compress(&m_info);
        std::free(m_buffer);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    jpeg_compress_struct* info() { return &m_info; }
    ErrorManager* error() { return &m_error; }
    unsigned char** buffer() { return &m_buffer; }
    unsigned long* size() { return &m_size; }

private:
    ErrorManager m_error{};
    jpeg_compress_struct m_info{};
    unsigned char* m_buffer = nullptr;
    unsigned long m_size = 0;
};

// libjpeg leaves its errors through a longjmp into this function: nothing here owns a C++
// object with a destructor. `rows` holds the inverted samples for Adobe CMYK.
bool runCompressor(Compressor* compressor, const std::uint8_t* samples, std::int32_t width,
                   std::int32_t height, JpegColour colour, const JpegEncodeOptions* options,
                   std::uint8_t* invertedRow) {
    jpeg_compress_struct* info = compressor->info();
    if (setjmp(compressor->error()->jump) != 0) {
        return false;
    }
    jpeg_CreateCompress(info, kJpegLibVersion, sizeof(*info));
    jpeg_mem_dest(info, compressor->buffer(), compressor->size());
    const int components = samplesPerPixel(colour);
    info->image_width = static_cast<JDIMENSION>(width);
    info->image_height = static_cast<JDIMENSION>(height);
    info->input_components = components;
    info->in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, options->quality, TRUE);
    if (options->progressive) {
        jpeg_simple_progression(info);
    }
    info->write_Adobe_marker = colour == JpegColour::AdobeCmyk ? TRUE : FALSE;
    jpeg_start_compress(info, TRUE);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * components;
    while (info->next_scanline < info->image_height) {
        const std::uint8_t* source = samples + info->next_scanline * rowBytes;
        if (colour == JpegColour::AdobeCmyk) {
            for (std::size_t i = 0; i < rowBytes; ++i) {
                invertedRow[i] = static_cast<std::uint8_t>(255 - source[i]);
            }
            source = invertedRow;
        }
        JSAMPROW row = const_cast<JSAMPROW>(source);
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> encodeJpeg(std::span<const std::uint8_t> samples, std::int32_t width,
                                     std::int32_t height, JpegColour colour,
                                     const JpegEncodeOptions& options) {
    if (width <= 0 || height <= 0 || width > 65500 || height > 65500 ||
        samples.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              static_cast<std::size_t>(samplesPerPixel(colour))) {
        return {};
    }
    Compressor compressor;
    std::vector<std::uint8_t> invertedRow(static_cast<std::size_t>(width) * 4);
    if (!runCompressor(&compressor, samples.data(), width, height, colour, &options,
                       invertedRow.data())) {
        return {};
    }
    const unsigned char* bytes = *compressor.buffer();
    return std::vector<std::uint8_t>(bytes, bytes + *compressor.size());
}

bool writeBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace melodeck
