#include "host/png.h"

#include <png.h>

#include <cstdio>

namespace host {

bool writePng(const std::string& path, std::span<const std::uint8_t> rgb, int width, int height) {
    if (rgb.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer != nullptr ? png_create_info_struct(writer) : nullptr;
    if (writer == nullptr || info == nullptr || setjmp(png_jmpbuf(writer))) {
        png_destroy_write_struct(&writer, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(writer, file);
    png_set_IHDR(writer, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(writer, 3);
    png_write_info(writer, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(writer, rgb.data() + static_cast<std::size_t>(y) * width * 3);
    }
    png_write_end(writer, info);
    png_destroy_write_struct(&writer, &info);
    return std::fclose(file) == 0;
}

}  // namespace host
