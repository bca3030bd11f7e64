#include "platform/d3dx/texture_data.h"

#include <algorithm>
#include <cmath>

namespace d3dx {
namespace {

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

uint32_t NextPowerOfTwo(uint32_t n) {
  uint32_t p = 1;
  while (p < n && p < 0x80000000u) p <<= 1;
  return p;
}

uint32_t FullChainLength(uint32_t w, uint32_t h) {
  uint32_t levels = 1;
  for (uint32_t s = std::max(w, h); s > 1; s >>= 1) ++levels;
  return levels;
}

Filter FilterOf(uint32_t value, Filter fallback) {
  if (value == kDefault) return fallback;
  switch (value & 0xFF) {
    case 1:
      return Filter::None;
    case 2:
      return Filter::Point;
    case 3:
      return Filter::Linear;
    case 4:
      return Filter::Triangle;
    case 5:
      return Filter::Box;
    default:
      return fallback;
  }
}

uint32_t ChosenSize(uint32_t requested, uint32_t fromImage) {
  return requested == 0 || requested == kDefault || requested == kDefaultNonPow2 ? fromImage : requested;
}

// Alpha-bearing formats the default choice falls back on.
Format DefaultFormat(const Image& image, bool keyed) { return image.hasAlpha || keyed ? Format::A8R8G8B8 : Format::X8R8G8B8; }

// Formats a device is not asked for directly: the nearest one that is written.
Format NearestWritable(Format f) {
  switch (f) {
    case Format::R8G8B8:
      return Format::X8R8G8B8;
    case Format::P8:
    case Format::A16B16G16R16:
      return Format::A8R8G8B8;
    case Format::L16:
      return Format::L8;
    default:
      return f;
  }
}

uint16_t Pack16(const uint8_t* p, int rBits, int gBits, int bBits, int aBits) {
  auto take = [](uint8_t v, int bits) { return uint32_t(v) >> (8 - bits); };
  uint32_t v = take(p[0], bBits) | take(p[1], gBits) << bBits | take(p[2], rBits) << (bBits + gBits);
  if (aBits) v |= take(p[3], aBits) << (bBits + gBits + rBits);
  else v |= ((1u << (16 - bBits - gBits - rBits)) - 1) << (bBits + gBits + rBits);
  return uint16_t(v);
}

TextureLevel WriteLevel(const std::vector<uint8_t>& bgra, uint32_t w, uint32_t h, Format format) {
  TextureLevel level{w, h, w * BlockOrPixelBytes(format), {}};
  const size_t count = size_t(w) * h;
  level.data.resize(size_t(level.pitch) * h);
  uint8_t* out = level.data.data();
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = &bgra[i * 4];
    switch (format) {
      case Format::A8R8G8B8:
        std::copy(p, p + 4, out + i * 4);
        break;
      case Format::X8R8G8B8:
        std::copy(p, p + 3, out + i * 4);
        out[i * 4 + 3] = 255;
        break;
      case Format::A8B8G8R8:
      case Format::X8B8G8R8:
        out[i * 4] = p[2];
        out[i * 4 + 1] = p[1];
        out[i * 4 + 2] = p[0];
        out[i * 4 + 3] = format == Format::A8B8G8R8 ? p[3] : 255;
        break;
      case Format::L8:
      case Format::A8L8: {
        // Rec. 601 luma, as a grey texture made from colour shows it.
        uint8_t l = uint8_t((p[2] * 299 + p[1] * 587 + p[0] * 114 + 500) / 1000);
        if (format == Format::L8) {
          out[i] = l;
        } else {
          out[i * 2] = l;
          out[i * 2 + 1] = p[3];
        }
        break;
      }
      case Format::A8:
        out[i] = p[3];
        break;
      default: {
        uint16_t v = 0;
        if (format == Format::R5G6B5) v = Pack16(p, 5, 6, 5, 0);
        if (format == Format::X1R5G5B5) v = Pack16(p, 5, 5, 5, 0);
        if (format == Format::A1R5G5B5) v = Pack16(p, 5, 5, 5, 1);
        if (format == Format::A4R4G4B4) v = Pack16(p, 4, 4, 4, 4);
        if (format == Format::X4R4G4B4) v = Pack16(p, 4, 4, 4, 0);
        out[i * 2] = uint8_t(v);
        out[i * 2 + 1] = uint8_t(v >> 8);
        break;
      }
    }
  }
  return level;
}

// Weights of the source pixels that cover each destination pixel, along one axis.
struct Tap {
  uint32_t first = 0;
  std::vector<float> weights;
};

std::vector<Tap> AxisTaps(uint32_t from, uint32_t to, Filter filter) {
  std::vector<Tap> taps(to);
  const double scale = double(from) / to;
  for (uint32_t i = 0; i < to; ++i) {
    Tap& t = taps[i];
    if (filter == Filter::Point) {
      t.first = std::min(from - 1, uint32_t((i + 0.5) * scale));
      t.weights = {1.0f};
    } else if (filter == Filter::Linear) {
      double centre = (i + 0.5) * scale - 0.5;
      double lo = std::floor(centre);
      double frac = centre - lo;
      int64_t a = std::clamp<int64_t>(int64_t(lo), 0, from - 1), b = std::clamp<int64_t>(int64_t(lo) + 1, 0, from - 1);
      t.first = uint32_t(a);
      if (a == b) {
        t.weights = {1.0f};
      } else {
        t.weights = {float(1 - frac), float(frac)};
      }
    } else {
      // Box: each source pixel weighs as much as it covers of the destination pixel.
      double start = i * scale, end = (i + 1) * scale;
      uint32_t first = uint32_t(std::floor(start));
      uint32_t last = std::min(from - 1, uint32_t(std::ceil(end) - 1));
      t.first = first;
      for (uint32_t s = first; s <= last; ++s) {
        double cover = std::min(end, double(s + 1)) - std::max(start, double(s));
        t.weights.push_back(float(cover / scale));
      }
    }
  }
  return taps;
}

}  // namespace

bool CanWriteFormat(Format format) {
  switch (format) {
    case Format::A8R8G8B8:
    case Format::X8R8G8B8:
    case Format::A8B8G8R8:
    case Format::X8B8G8R8:
    case Format::R5G6B5:
    case Format::X1R5G5B5:
    case Format::A1R5G5B5:
    case Format::A4R4G4B4:
    case Format::X4R4G4B4:
    case Format::L8:
    case Format::A8L8:
    case Format::A8:
      return true;
    default:
      return false;
  }
}

std::vector<uint8_t> ResizePixels(const std::vector<uint8_t>& pixels, uint32_t width, uint32_t height,
                                  uint32_t newWidth, uint32_t newHeight, Filter filter) {
  std::vector<uint8_t> out(size_t(newWidth) * newHeight * 4, 0);
  if (filter == Filter::None) {
    // No scaling: the image sits in the top-left corner, the rest is transparent black.
    for (uint32_t y = 0; y < std::min(height, newHeight); ++y) {
      const uint8_t* src = &pixels[size_t(y) * width * 4];
      std::copy(src, src + size_t(std::min(width, newWidth)) * 4, &out[size_t(y) * newWidth * 4]);
    }
    return out;
  }
  if (filter == Filter::Triangle) filter = Filter::Box;
  const std::vector<Tap> xs = AxisTaps(width, newWidth, filter), ys = AxisTaps(height, newHeight, filter);
  // Horizontal pass into floats, then vertical.
  std::vector<float> rows(size_t(newWidth) * height * 4);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < newWidth; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (size_t k = 0; k < xs[x].weights.size(); ++k) {
        const uint8_t* p = &pixels[(size_t(y) * width + xs[x].first + k) * 4];
        for (int c = 0; c < 4; ++c) acc[c] += xs[x].weights[k] * p[c];
      }
      std::copy(acc, acc + 4, &rows[(size_t(y) * newWidth + x) * 4]);
    }
  }
  for (uint32_t y = 0; y < newHeight; ++y) {
    for (uint32_t x = 0; x < newWidth; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (size_t k = 0; k < ys[y].weights.size(); ++k) {
        const float* p = &rows[((ys[y].first + k) * newWidth + x) * 4];
        for (int c = 0; c < 4; ++c) acc[c] += ys[y].weights[k] * p[c];
      }
      for (int c = 0; c < 4; ++c) out[(size_t(y) * newWidth + x) * 4 + c] = uint8_t(std::clamp(acc[c] + 0.5f, 0.0f, 255.0f));
    }
  }
  return out;
}

bool PrepareTexture(const Image& image, const TextureRequest& request, const TextureDeviceCaps& caps,
                    TextureData& out, std::string* error) {
  out = TextureData{};
  out.info = image.info;
  if (image.width == 0 || image.height == 0 || image.pixels.size() != size_t(image.width) * image.height * 4) {
    return Fail(error, "image has no pixels");
  }
  uint32_t w = ChosenSize(request.width, image.width), h = ChosenSize(request.height, image.height);
  if (caps.powerOfTwoOnly) {
    w = NextPowerOfTwo(w);
    h = NextPowerOfTwo(h);
  }
  w = std::min(w, std::max(1u, caps.maxWidth));
  h = std::min(h, std::max(1u, caps.maxHeight));
  if (w > kMaxImageDimension || h > kMaxImageDimension) return Fail(error, "texture size is too large");
  out.width = w;
  out.height = h;

  const uint32_t full = FullChainLength(w, h);
  uint32_t levels;
  if (request.mipLevels == 0 || request.mipLevels == kDefault) {
    levels = full;
  } else if (request.mipLevels == kFromFile) {
    levels = std::min(full, std::max(1u, image.info.mipLevels));
  } else {
    levels = std::min(full, request.mipLevels);
  }

  const bool sameSize = w == image.width && h == image.height;
  const bool fileCompressed = IsCompressed(image.info.format) && !image.compressedLevels.empty();
  const bool keepBlocks = fileCompressed && caps.compressedFormats && sameSize && request.colorKey == 0 &&
                          (request.format == Format::Unknown || request.format == image.info.format);
  if (keepBlocks) {
    // The file's own blocks, as many levels as it stores.
    out.format = image.info.format;
    levels = std::min<uint32_t>(levels, uint32_t(image.compressedLevels.size()));
    for (uint32_t i = 0; i < levels; ++i) {
      const CompressedLevel& c = image.compressedLevels[i];
      out.levels.push_back({c.width, c.height, std::max(1u, (c.width + 3) / 4) * BlockOrPixelBytes(out.format), c.blocks});
    }
    return true;
  }

  Format format = request.format == Format::Unknown ? DefaultFormat(image, request.colorKey != 0)
                                                      : NearestWritable(request.format);
  if (!CanWriteFormat(format)) {
    return Fail(error, "cannot make a texture of format " + std::to_string(static_cast<uint32_t>(request.format)) +
                           " from this image");
  }
  out.format = format;

  std::vector<uint8_t> pixels = image.pixels;
  if (request.colorKey != 0) {
    const uint8_t key[4] = {uint8_t(request.colorKey), uint8_t(request.colorKey >> 8), uint8_t(request.colorKey >> 16),
                            uint8_t(request.colorKey >> 24)};
    for (size_t i = 0; i < pixels.size(); i += 4) {
      if (std::equal(key, key + 4, &pixels[i])) std::fill(&pixels[i], &pixels[i] + 4, 0);
    }
  }
  const Filter filter = FilterOf(request.filter, Filter::Box);
  const Filter mipFilter = FilterOf(request.mipFilter, Filter::Box);
  if (!sameSize) pixels = ResizePixels(pixels, image.width, image.height, w, h, filter);

  uint32_t lw = w, lh = h;
  for (uint32_t i = 0; i < levels; ++i) {
    if (i > 0) {
      uint32_t nw = std::max(1u, lw / 2), nh = std::max(1u, lh / 2);
      pixels = ResizePixels(pixels, lw, lh, nw, nh, mipFilter == Filter::None ? Filter::Point : mipFilter);
      lw = nw;
      lh = nh;
    }
    out.levels.push_back(WriteLevel(pixels, lw, lh, format));
  }
  return true;
}

bool PrepareTextureFromFile(const std::string& path, const TextureRequest& request, const TextureDeviceCaps& caps,
                            TextureData& out, std::string* error) {
  Image image;
  if (!LoadImageFromFile(path, image, error)) return false;
  return PrepareTexture(image, request, caps, out, error);
}

bool PrepareTextureFromMemory(std::span<const uint8_t> data, const TextureRequest& request,
                              const TextureDeviceCaps& caps, TextureData& out, std::string* error) {
  Image image;
  if (!LoadImageFromMemory(data, image, error)) return false;
  return PrepareTexture(image, request, caps, out, error);
}

}  // namespace d3dx
