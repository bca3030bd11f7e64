#include "image_fixtures.h"

#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <map>

namespace fixtures {
namespace {

void Put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}

void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

uint32_t Pack555(const Rgba& c) { return uint32_t(c.r >> 3) << 10 | uint32_t(c.g >> 3) << 5 | uint32_t(c.b >> 3); }
uint32_t Pack565(const Rgba& c) { return uint32_t(c.r >> 3) << 11 | uint32_t(c.g >> 2) << 5 | uint32_t(c.b >> 3); }

}  // namespace

const std::vector<Rgba>& Reference() {
  static const std::vector<Rgba> pixels = {
      {255, 0, 0, 255}, {0, 255, 0, 255},     {0, 0, 255, 255},   {255, 255, 255, 255},
      {0, 0, 0, 255},   {128, 128, 128, 255}, {255, 255, 0, 255}, {0, 255, 255, 128},
  };
  return pixels;
}

Bytes Bmp(int bits, bool fileHeader, bool topDown, bool bitFields565) {
  const auto& ref = Reference();
  std::vector<Rgba> palette;
  std::vector<uint8_t> indices;
  if (bits <= 8) {
    for (const Rgba& c : ref) {
      Rgba key{c.r, c.g, c.b, 255};
      if (bits == 1) key = (c.r + c.g + c.b > 384) ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255};
      size_t i = 0;
      while (i < palette.size() && !(palette[i] == key)) ++i;
      if (i == palette.size()) palette.push_back(key);
      indices.push_back(uint8_t(i));
    }
  }
  const bool masks = bits == 16 && bitFields565;
  const uint32_t stride = (kWidth * bits + 31) / 32 * 4;
  Bytes pixels(stride * kHeight, 0);
  for (uint32_t row = 0; row < kHeight; ++row) {
    const uint32_t y = topDown ? row : kHeight - 1 - row;
    uint8_t* out = &pixels[row * stride];
    for (uint32_t x = 0; x < kWidth; ++x) {
      const Rgba& c = ref[y * kWidth + x];
      if (bits <= 8) {
        uint32_t bit = x * bits;
        out[bit / 8] |= uint8_t(indices[y * kWidth + x] << (8 - bits - bit % 8));
      } else if (bits == 16) {
        uint32_t v = masks ? Pack565(c) : Pack555(c);
        out[x * 2] = uint8_t(v);
        out[x * 2 + 1] = uint8_t(v >> 8);
      } else {
        out[x * (bits / 8)] = c.b;
        out[x * (bits / 8) + 1] = c.g;
        out[x * (bits / 8) + 2] = c.r;
        if (bits == 32) out[x * 4 + 3] = c.a;
      }
    }
  }
  Bytes dib;
  Put32(dib, 40);
  Put32(dib, kWidth);
  Put32(dib, topDown ? uint32_t(-int32_t(kHeight)) : kHeight);
  Put16(dib, 1);
  Put16(dib, uint16_t(bits));
  Put32(dib, masks ? 3 : 0);
  Put32(dib, uint32_t(pixels.size()));
  Put32(dib, 2835);
  Put32(dib, 2835);
  Put32(dib, uint32_t(palette.size()));
  Put32(dib, 0);
  if (masks) {
    Put32(dib, 0xF800);
    Put32(dib, 0x07E0);
    Put32(dib, 0x001F);
  }
  for (const Rgba& c : palette) dib.insert(dib.end(), {c.b, c.g, c.r, 0});
  Bytes file;
  if (fileHeader) {
    file = {'B', 'M'};
    Put32(file, uint32_t(14 + dib.size() + pixels.size()));
    Put32(file, 0);
    Put32(file, uint32_t(14 + dib.size()));
  }
  file.insert(file.end(), dib.begin(), dib.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

Bytes Tga(int bits, bool rle, bool topLeft) {
  const auto& ref = Reference();
  Bytes file = {0, 0, uint8_t(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16(file, kWidth);
  Put16(file, kHeight);
  file.push_back(uint8_t(bits));
  file.push_back(uint8_t((topLeft ? 0x20 : 0) | (bits == 32 ? 8 : 0)));
  const size_t bpp = bits / 8;
  std::vector<Bytes> stored;
  for (uint32_t row = 0; row < kHeight; ++row) {
    const uint32_t y = topLeft ? row : kHeight - 1 - row;
    for (uint32_t x = 0; x < kWidth; ++x) {
      const Rgba& c = ref[y * kWidth + x];
      Bytes p = {c.b, c.g, c.r};
      if (bpp == 4) p.push_back(c.a);
      stored.push_back(p);
    }
  }
  if (!rle) {
    for (const Bytes& p : stored) file.insert(file.end(), p.begin(), p.end());
    return file;
  }
  // A run packet for the first pixel, then one raw packet for the rest that
  // spans both rows.
  file.push_back(0x80);
  file.insert(file.end(), stored[0].begin(), stored[0].end());
  file.push_back(uint8_t(stored.size() - 2));
  for (size_t i = 1; i < stored.size(); ++i) file.insert(file.end(), stored[i].begin(), stored[i].end());
  return file;
}

Bytes Ppm(bool binary) {
  std::string header = std::string(binary ? "P6" : "P3") + "\n# reference\n4 2\n255\n";
  Bytes file(header.begin(), header.end());
  for (const Rgba& c : Reference()) {
    if (binary) {
      file.insert(file.end(), {c.r, c.g, c.b});
    } else {
      std::string text = std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + "\n";
      file.insert(file.end(), text.begin(), text.end());
    }
  }
  return file;
}

Bytes Png(bool alpha) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = kWidth;
  image.height = kHeight;
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  Bytes pixels;
  for (const Rgba& c : Reference()) {
    pixels.insert(pixels.end(), {c.r, c.g, c.b});
    if (alpha) pixels.push_back(c.a);
  }
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
  Bytes file(size);
  png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr);
  file.resize(size);
  return file;
}

Bytes Jpeg() {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  // JPEG blurs small detail, so an 8 × 8 picture of two flat halves.
  cinfo.image_width = 8;
  cinfo.image_height = 8;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  for (int y = 0; y < 8; ++y) {
    uint8_t row[8 * 3];
    for (int x = 0; x < 8; ++x) {
      const bool left = x < 4;
      row[x * 3] = left ? 200 : 20;
      row[x * 3 + 1] = left ? 40 : 180;
      row[x * 3 + 2] = left ? 40 : 60;
    }
    JSAMPROW p = row;
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes file(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return file;
}

namespace {

Bytes DdsHeader(uint32_t width, uint32_t height, uint32_t pfFlags, uint32_t fourCC, uint32_t bits,
                const uint32_t masks[4]) {
  Bytes file = {'D', 'D', 'S', ' '};
  Put32(file, 124);
  Put32(file, 0x1 | 0x2 | 0x4 | 0x1000);
  Put32(file, height);
  Put32(file, width);
  Put32(file, 0);
  Put32(file, 0);
  Put32(file, 1);
  for (int i = 0; i < 11; ++i) Put32(file, 0);
  Put32(file, 32);
  Put32(file, pfFlags);
  Put32(file, fourCC);
  Put32(file, bits);
  for (int i = 0; i < 4; ++i) Put32(file, masks[i]);
  Put32(file, 0x1000);
  for (int i = 0; i < 4; ++i) Put32(file, 0);
  return file;
}

}  // namespace

Bytes Dds32() {
  const uint32_t masks[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  Bytes file = DdsHeader(kWidth, kHeight, 0x40 | 0x1, 0, 32, masks);
  for (const Rgba& c : Reference()) file.insert(file.end(), {c.b, c.g, c.r, c.a});
  return file;
}

Bytes DdsDxt(int version) {
  const uint32_t none[4] = {0, 0, 0, 0};
  Bytes file = DdsHeader(4, 4, 0x4, uint32_t('D' | 'X' << 8 | 'T' << 16 | ('0' + version) << 24), 0, none);
  if (version == 5) {
    file.insert(file.end(), {255, 0});
    uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) bits |= uint64_t(i % 8) << (3 * i);
    for (int i = 0; i < 6; ++i) file.push_back(uint8_t(bits >> (8 * i)));
  }
  Put16(file, 0xF800);
  Put16(file, 0x001F);
  uint32_t indices = 0;
  for (int i = 0; i < 16; ++i) indices |= uint32_t(i % 4) << (2 * i);
  Put32(file, indices);
  return file;
}

std::vector<std::pair<std::string, Bytes>> AllSamples() {
  return {
      {"bmp1.bmp", Bmp(1)},          {"bmp4.bmp", Bmp(4)},
      {"bmp8.dib", Bmp(8, false)},   {"bmp16.bmp", Bmp(16)},
      {"bmp565.bmp", Bmp(16, true, false, true)},
      {"bmp24top.bmp", Bmp(24, true, true)},
      {"bmp32.dib", Bmp(32, false)}, {"tga24.tga", Tga(24, false, false)},
      {"tga32rle.tga", Tga(32, true, true)},
      {"p6.ppm", Ppm(true)},         {"p3.ppm", Ppm(false)},
      {"rgba.png", Png(true)},       {"rgb.png", Png(false)},
      {"photo.jpg", Jpeg()},         {"argb.dds", Dds32()},
      {"dxt1.dds", DdsDxt(1)},       {"dxt5.dds", DdsDxt(5)},
  };
}

}  // namespace fixtures
