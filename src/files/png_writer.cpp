#include "files/png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace velmio {

bool WritePng(const std::string& path, const uint8_t* pixels, int width, int height, int stride) {
  if (!pixels || width <= 0 || height <= 0) return false;
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    fclose(file);
    return false;
  }
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  // libpng reports errors by longjmp; nothing with a destructor is created below this point.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 3);
  png_write_info(png, info);
  uint8_t* rowData = row.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* source = pixels + static_cast<size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      rowData[3 * x] = source[3 * x + 2];
      rowData[3 * x + 1] = source[3 * x + 1];
      rowData[3 * x + 2] = source[3 * x];
    }
    png_write_row(png, rowData);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  bool ok = fflush(file) == 0;
  ok = fclose(file) == 0 && ok;
  return ok;
}

}  // namespace velmio
