#include "JpegImages.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace zv {

namespace {

// Pictures beyond this many pixels are refused rather than decoded.
constexpr uint64_t MaxPixels = 64ull * 1024 * 1024;

struct TJpegErrorManager {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
};

// libjpeg's default ends the process on an error; jump back to the decoder instead.
[[noreturn]] void ErrorExit(j_common_ptr Info)
{
    std::longjmp(reinterpret_cast<TJpegErrorManager*>(Info->err)->Jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

}  // namespace

void TJpegImage::LoadFromStream(TStream& Stream)
{
    const int64_t n = Stream.Size() - Stream.Position();
    std::vector<uint8_t> bytes(static_cast<size_t>(n > 0 ? n : 0));
    Stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    Bytes = std::move(bytes);
}

QImage TJpegImage::ToImage() const
{
    if (Bytes.empty())
        return {};
    QImage image;
    jpeg_decompress_struct info;
    TJpegErrorManager errors;
    info.err = jpeg_std_error(&errors.Pub);
    errors.Pub.error_exit = ErrorExit;
    errors.Pub.output_message = IgnoreMessage;
    jpeg_create_decompress(&info);
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_mem_src(&info, Bytes.data(), static_cast<unsigned long>(Bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (static_cast<uint64_t>(info.image_width) * info.image_height > MaxPixels) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    info.out_color_space = JCS_EXT_RGBX;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGBX8888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

}  // namespace zv
