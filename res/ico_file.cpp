#include "res/ico_file.h"

#include <cstdint>

#include <zlib.h>

namespace {
void Put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

size_t MaskRowBytes(int size) { return (static_cast<size_t>(size) + 31) / 32 * 4; }

// An image as stored in an .ico: a bitmap header of twice the height (colour
// and mask), the colour rows and then the mask rows, each bottom row first.
std::string BitmapOf(const IconImage& image) {
  const int size = image.size;
  std::string out;
  Put32(out, 40);  // BITMAPINFOHEADER
  Put32(out, static_cast<std::uint32_t>(size));
  Put32(out, static_cast<std::uint32_t>(size) * 2);
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  for (int i = 0; i < 6; ++i) Put32(out, 0);  // BI_RGB, sizes, resolution, palette
  // 0xAARRGGBB written little-endian is B, G, R, A: a 32-bit bitmap's order.
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) Put32(out, image.pixels[static_cast<size_t>(y) * size + x]);
  for (int y = size - 1; y >= 0; --y) {
    std::string row(MaskRowBytes(size), '\0');
    for (int x = 0; x < size; ++x)
      if ((image.pixels[static_cast<size_t>(y) * size + x] >> 24) == 0)
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    out += row;
  }
  return out;
}
void PutBigEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutPngChunk(std::string& out, const char* type, const std::string& data) {
  PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  PutBigEndian32(out, static_cast<std::uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                static_cast<uInt>(typed.size()))));
}

// An 8-bit RGBA PNG; each row starts with filter 0 (none).
std::string PngOf(const IconImage& image) {
  const int size = image.size;
  std::string rows;
  for (int y = 0; y < size; ++y) {
    rows += '\0';
    for (int x = 0; x < size; ++x) {
      const std::uint32_t argb = image.pixels[static_cast<size_t>(y) * size + x];
      for (int shift : {16, 8, 0, 24}) rows += static_cast<char>((argb >> shift) & 0xFF);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    return {};
  packed.resize(packedSize);
  std::string header;
  PutBigEndian32(header, static_cast<std::uint32_t>(size));
  PutBigEndian32(header, static_cast<std::uint32_t>(size));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, deflate, filter method 0, not interlaced
  std::string out = "\x89PNG\r\n\x1a\n";
  PutPngChunk(out, "IHDR", header);
  PutPngChunk(out, "IDAT", packed);
  PutPngChunk(out, "IEND", "");
  return out;
}
}  // namespace

std::string IcoFileOf(const std::vector<IconImage>& images) {
  std::string header, bitmaps;
  Put16(header, 0);  // reserved
  Put16(header, 1);  // an icon, not a cursor
  Put16(header, static_cast<unsigned>(images.size()));
  const size_t directoryEnd = 6 + 16 * images.size();
  for (const IconImage& image : images) {
    const std::string bitmap = image.size >= 256 ? PngOf(image) : BitmapOf(image);
    header += static_cast<char>(image.size >= 256 ? 0 : image.size);  // width; 0 is 256
    header += static_cast<char>(image.size >= 256 ? 0 : image.size);  // height
    header += '\0';  // no palette
    header += '\0';  // reserved
    Put16(header, 1);   // planes
    Put16(header, 32);  // bits per pixel
    Put32(header, static_cast<std::uint32_t>(bitmap.size()));
    Put32(header, static_cast<std::uint32_t>(directoryEnd + bitmaps.size()));
    bitmaps += bitmap;
  }
  return header + bitmaps;
}
