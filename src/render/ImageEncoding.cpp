#include "render/ImageEncoding.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdlib>
#include <vector>

#include "render/MemoryPages.h"
#include "render/OutputFile.h"

namespace ocuvis {

namespace {

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp) {}

[[noreturn]] void FailPng(png_structp png, png_const_charp message) {
    *static_cast<std::string*>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

// zlib's window, hash chains and pending buffer (64 KB each at the defaults) are all written
// while a large frame is compressed, so their pages are taken at once (render/MemoryPages.h):
// 1.4 instead of 2.0 ms to encode a 780 x 239 frame on the machine measured. A small image
// may not reach every page, and keeps the usual way.
constexpr std::size_t kLargeImageBytes = std::size_t{1} << 18;

png_voidp AllocateMapped(png_structp png, png_alloc_size_t size) {
    void* memory = std::malloc(size);
    if (size >= 16384 && *static_cast<const bool*>(png_get_mem_ptr(png)))
        MapPagesForWriting(memory, size);
    return memory;
}

void FreeMapped(png_structp, png_voidp memory) {
    std::free(memory);
}

}  // namespace

std::string FileExtension(std::string_view path) {
    const std::string_view name = path.substr(path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string extension(name.substr(dot + 1));
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

std::optional<ImageFileFormat> ImageFormatOfName(std::string_view path) {
    const std::string extension = FileExtension(path);
    if (extension == "bmp") return ImageFileFormat::Bmp;
    if (extension == "png") return ImageFileFormat::Png;
    return std::nullopt;
}

// Frames are large flat areas with sparse marks: libpng's default tries every row filter on
// every row and spends most of the encoding time choosing, then zlib searches for matches.
// Rows left unfiltered and compressed as runs give the same pixels in a file of about the same
// size (3.5 against 3.2 KB for a default frame) for a sixth of the work.
std::optional<std::string> EncodeOpaquePng(const QRgb* pixels, int stride, int width, int height,
                                           int dotsPerMetreX, int dotsPerMetreY,
                                           std::string& bytes) {
    std::string failure;
    bool large =  // read by AllocateMapped
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3 >= kLargeImageBytes;
    png_structp png =
        png_create_write_struct_2(PNG_LIBPNG_VER_STRING, &failure, FailPng, IgnorePngWarning,
                                  &large, AllocateMapped, FreeMapped);
    if (!png) return "Out of memory";
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        bytes.clear();
        return failure.empty() ? "Out of memory" : failure;
    }
    png_set_write_fn(png, &bytes, AppendToBytes, NoFlush);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    // The resolution, as Qt's writer records it.
    if (dotsPerMetreX > 0 || dotsPerMetreY > 0)
        png_set_pHYs(png, info, static_cast<png_uint_32>(dotsPerMetreX),
                     static_cast<png_uint_32>(dotsPerMetreY), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const QRgb* line = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        png_byte* out = row.data();
        for (int x = 0; x < width; ++x) {
            *out++ = static_cast<png_byte>(qRed(line[x]));
            *out++ = static_cast<png_byte>(qGreen(line[x]));
            *out++ = static_cast<png_byte>(qBlue(line[x]));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::nullopt;
}

std::optional<std::string> WriteFileBytes(std::string_view bytes, const std::string& path) {
    OutputFile file;
    if (auto failure = file.Open(path)) return failure;
    file.Write(bytes.data(), bytes.size());
    return file.Commit();
}

}  // namespace ocuvis
