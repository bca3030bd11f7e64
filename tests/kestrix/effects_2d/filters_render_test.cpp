// Solarize, Outline, Tile, Radial Blur, the two Shuffles, Kaleidoscope,
// Smooth and Cross-Hatch drawn on a real device over the four-quadrant
// pattern: each pixel is compared with the effect's formula at its texel.
#include "render_fixture.h"

namespace {

// Every comparison allows this much per 8-bit channel.
constexpr int kTolerance = 2;

// The target's size (and the pattern's, unless a test changes it).
constexpr int kWidthPixels = 16;
constexpr int kHeightPixels = 12;

using RenderTest = KestrixRender;

// Each channel biased, then rounded to `steps` levels.
uint32_t Solarized(uint32_t texel, const int32_t bias[3], int32_t steps) {
  float out[3];
  const int channel[3] = {2, 1, 0};
  for (int i = 0; i < 3; ++i) {
    const float v = Unit(texel, channel[i]) + float(bias[i]) / 255.0f;
    out[i] = std::round(v * float(steps - 1)) / float(steps - 1);
  }
  return Argb(out[0], out[1], out[2]);
}

TEST_F(RenderTest, SolarizeRoundsEachBiasedChannelToItsLevels) {
  Make("Solarize Source", 0x19);
  NoteOn(100);
  const struct {
    int32_t bias[3];
    int32_t steps;
  } cases[] = {{{0, 0, 0}, 2}, {{0, 0, 0}, 4}, {{20, -30, 10}, 5}, {{255, 255, 255}, 8}, {{-255, -255, -255}, 8},
               {{0, 0, 0}, 64}};
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) plug_->SetParam(4 + i, c.bias[i]);
    plug_->SetParam(7, c.steps);
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    for (const Probe& p : kProbes) {
      EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y), Solarized(pattern::kQuadrants[p.quadrant], c.bias, c.steps),
                            kTolerance))
          << "steps " << c.steps << " bias " << c.bias[0] << " quadrant " << p.quadrant;
    }
  }
  ExpectStatesRestored();
}

TEST_F(RenderTest, SolarizeKeyedLetsTheTargetShowThroughTheKeyColour) {
  Make("Solarize Source", 0x1B);
  for (int i = 0; i < 4; ++i) plug_->SetParam(i, 0);  // key black, distance 0 keys nothing
  plug_->SetParam(7, 64);
  NoteOn(100);
  EXPECT_TRUE(ColorNear(At(Frame(0xFF00FF00), 3, 9), 0xFF000000, kTolerance));
  plug_->SetParam(3, 10);
  const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
  EXPECT_TRUE(ColorNear(At(pixels, 3, 9), 0xFF00FF00, kTolerance)) << "the black quadrant is keyed out";
  EXPECT_TRUE(ColorNear(At(pixels, 12, 9), pattern::kQuadrants[3], kTolerance));
  ExpectStatesRestored();
}

}  // namespace

namespace {

// The pattern's texel at column i, row j of a w x h frame.
uint32_t PatternTexel(int i, int j, int w, int h) {
  return pattern::kQuadrants[(j >= h / 2 ? 2 : 0) + (i >= w / 2 ? 1 : 0)];
}

// The outline formula over the whole pattern, sampled texel for texel with
// edge clamping, as the frame is drawn at its own size.
std::vector<uint32_t> Outlined(const int32_t colour[3], int distance, int thresh) {
  const int w = kWidthPixels, h = kHeightPixels;
  auto texel = [&](int i, int j, int c) {
    return Unit(PatternTexel(std::clamp(i, 0, w - 1), std::clamp(j, 0, h - 1), w, h), c);
  };
  const float scale = float(thresh) * 0.005f;
  std::vector<uint32_t> out;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      auto sum = [&](int i, int j) { return texel(i, j, 0) + texel(i, j, 1) + texel(i, j, 2); };
      const float centre = sum(x, y);
      const float ex = std::abs((sum(x - distance, y) - centre) - (sum(x + distance, y) - centre)) * scale;
      const float ey = std::abs((sum(x, y - distance) - centre) - (sum(x, y + distance) - centre)) * scale;
      const float weight = std::clamp(ex, 0.0f, 1.0f) + std::clamp(ey, 0.0f, 1.0f);
      const float m = weight * weight;
      const float edge[3] = {float(colour[0]) / 255, float(colour[1]) / 255, float(colour[2]) / 255};
      float rgb[3];
      for (int c = 0; c < 3; ++c) {
        const float v = texel(x, y, 2 - c);
        rgb[c] = v + (edge[c] - v) * m;
      }
      // Alpha is mixed towards the threshold as well.
      out.push_back(Argb(rgb[0], rgb[1], rgb[2], 1.0f + (scale - 1.0f) * m));
    }
  }
  return out;
}

TEST_F(RenderTest, OutlinePaintsWhereNeighboursDifferInOppositeWays) {
  Make("Outline Source", 0x0F);
  NoteOn(100);
  const struct {
    int32_t colour[3];
    int32_t distance, thresh;
  } cases[] = {{{255, 0, 0}, 2, 0}, {{255, 0, 0}, 1, 50}, {{0, 255, 255}, 2, 100}, {{20, 200, 40}, 3, 500}};
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) plug_->SetParam(i, c.colour[i]);
    plug_->SetParam(3, c.distance);
    plug_->SetParam(4, c.thresh);
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    const std::vector<uint32_t> expected = Outlined(c.colour, c.distance, c.thresh);
    int wrong = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
      if (!ColorNear(pixels[i], expected[i], kTolerance) && wrong++ < 4) {
        ADD_FAILURE() << "distance " << c.distance << " thresh " << c.thresh << " pixel " << i % kWidth << ","
                      << i / kWidth << " got " << std::hex << pixels[i] << " want " << expected[i];
      }
    }
    EXPECT_EQ(wrong, 0) << "distance " << c.distance << " thresh " << c.thresh;
  }
  ExpectStatesRestored();
}

// The tile formula at pixel (x, y): the quad's centred coordinate turned by
// `angle`, scaled by 2^zoom, then the source sampled with wrap addressing
// and linear filtering.
uint32_t Tiled(int x, int y, float angle, float zoom) {
  const int w = kWidthPixels, h = kHeightPixels;
  const float tx = 0.5f / w - 0.5f + float(x) / w;
  const float ty = 0.5f / h + 0.5f - float(y) / h;
  const float s = std::sin(angle), c = std::cos(angle), k = std::exp2(zoom);
  const float u = (tx * c + ty * s * 0.75f) * k + 0.5f;
  const float v = (-tx * s * 1.3333f + ty * c) * k + 0.5f;
  const float fx = u * w - 0.5f, fy = v * h - 0.5f;
  const int i0 = int(std::floor(fx)), j0 = int(std::floor(fy));
  const float ax = fx - float(i0), ay = fy - float(j0);
  auto wrapped = [](int i, int n) { return ((i % n) + n) % n; };
  float rgb[3] = {};
  for (int dj = 0; dj < 2; ++dj) {
    for (int di = 0; di < 2; ++di) {
      const float weight = (di ? ax : 1 - ax) * (dj ? ay : 1 - ay);
      const uint32_t t = PatternTexel(wrapped(i0 + di, w), wrapped(j0 + dj, h), w, h);
      for (int ch = 0; ch < 3; ++ch) rgb[ch] += weight * Unit(t, 2 - ch);
    }
  }
  return Argb(rgb[0], rgb[1], rgb[2]);
}

TEST_F(RenderTest, TileRepeatsTheSourceTurnedAndZoomedByTheKnobs) {
  Make("Tile Source", 0x0F);  // no constant motion
  NoteOn(100);
  const struct {
    int32_t angle, zoom;
  } cases[] = {{0, 0}, {0, 50}, {720, 0}, {720, 100}};
  for (const auto& c : cases) {
    plug_->SetParam(0, c.angle);
    plug_->SetParam(2, c.zoom);
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    const float angle = float(c.angle) * 3.14159265f / 720, zoom = float(c.zoom) * 0.02f;
    int wrong = 0;
    for (int y = 0; y < kHeightPixels; ++y) {
      for (int x = 0; x < kWidthPixels; ++x) {
        const uint32_t want = Tiled(x, y, angle, zoom);
        if (!ColorNear(At(pixels, x, y), want, 4) && wrong++ < 4) {
          ADD_FAILURE() << "angle " << c.angle << " zoom " << c.zoom << " pixel " << x << "," << y << " got "
                        << std::hex << At(pixels, x, y) << " want " << want;
        }
      }
    }
  }
  ExpectStatesRestored();
}

TEST_F(RenderTest, TileConstantMotionStartsAtRestAndVelocity64NeverMoves) {
  Make("Tile Source", 0x3F);
  plug_->SetParam(2, 150);
  plug_->SetParam(1, 100);
  plug_->SetParam(3, 100);
  NoteOn(64);
  for (int frame = 0; frame < 3; ++frame) {
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00, 500);
    for (const Probe& p : kProbes) {
      EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y), Tiled(p.x, p.y, 0, 0), 4)) << "frame " << frame;
    }
  }
  NoteOn(127);
  const std::vector<uint32_t> first = Frame(0xFF00FF00, 16);
  const std::vector<uint32_t> later = Frame(0xFF00FF00, 2000);
  EXPECT_NE(first, later) << "a fast note turns and zooms";
  plug_->SetParam(4, 0);
  for (uint32_t pixel : Frame(0xFF00FF00)) ASSERT_TRUE(ColorNear(pixel, 0xFF00FF00, kTolerance)) << "Fade 0 hides it";
}

}  // namespace

namespace {

// `passes` copies of the source stacked on the source's own place over
// black, each with its alpha, blended or added.
uint32_t StackedCopies(uint32_t texel, int passes, float alphaStart, float alphaEnd, bool add) {
  float rgb[3] = {0, 0, 0};
  for (int copy = 0; copy < passes; ++copy) {
    const float alpha = passes > 1 ? alphaStart + (alphaEnd - alphaStart) * float(copy) / float(passes - 1)
                                   : alphaStart;
    if (alpha <= 1.0f / 255.0f) continue;
    for (int c = 0; c < 3; ++c) {
      const float s = Unit(texel, 2 - c) * alpha;
      rgb[c] = add ? std::min(1.0f, rgb[c] + s) : s + rgb[c] * (1 - alpha);
    }
  }
  return Argb(rgb[0], rgb[1], rgb[2]);
}

TEST_F(RenderTest, RadialBlurWithoutDistanceStacksTheCopiesOnTheSource) {
  Make("Radial Blur Source", 0x1D);  // not drawn under the blur
  NoteOn(100);
  plug_->SetParam(6, 0);
  const struct {
    int32_t passes, alphaStart, alphaEnd, mode;
  } cases[] = {{2, 25, 25, 1}, {2, 25, 25, 0}, {4, 100, 0, 0}, {3, 10, 40, 1}, {1, 60, 0, 0}, {8, 25, 0, 1}};
  for (const auto& c : cases) {
    plug_->SetParam(7, c.passes);
    plug_->SetParam(8, c.alphaStart);
    plug_->SetParam(9, c.alphaEnd);
    plug_->SetParam(10, c.mode);
    const std::vector<uint32_t> pixels = Frame();
    for (const Probe& p : kProbes) {
      const uint32_t want = StackedCopies(pattern::kQuadrants[p.quadrant], c.passes, c.alphaStart * 0.01f,
                                          c.alphaEnd * 0.01f, c.mode == 1);
      // The target's alpha is blended too; only the colour is compared.
      EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y) | 0xFF000000, want, kTolerance))
          << "passes " << c.passes << " alpha " << c.alphaStart << ".." << c.alphaEnd << " mode " << c.mode
          << " quadrant " << p.quadrant;
    }
  }
  ExpectStatesRestored();
}

TEST_F(RenderTest, RadialBlurCopiesGrowAndSilenceCollapsesThem) {
  pattern::frameWidth = kWidth / 2;
  pattern::frameHeight = kHeight / 2;
  for (uint32_t audio : {0u, 0x80u}) {
    Make("Radial Blur Source", 0x1C | audio);  // own size, erase, reset, looped
    NoteOn(100);
    plug_->SetParam(6, 100);  // spread 0.5: the second copy is 1.5 times the size
    plug_->SetParam(7, 2);
    plug_->SetParam(8, 100);
    plug_->SetParam(9, 100);
    const std::vector<uint32_t> pixels = Frame(0xFF0000FF);
    // The 8 x 6 frame covers x 4..11; its enlarged copy x 2..13.
    const bool grown = audio == 0;
    EXPECT_TRUE(ColorNear(At(pixels, 2, 4), grown ? pattern::kQuadrants[0] : 0xFF0000FF, kTolerance)) << audio;
    EXPECT_TRUE(ColorNear(At(pixels, 13, 7), grown ? pattern::kQuadrants[3] : 0xFF0000FF, kTolerance)) << audio;
    EXPECT_TRUE(ColorNear(At(pixels, 1, 4), 0xFF0000FF, kTolerance));
    EXPECT_TRUE(ColorNear(At(pixels, 5, 4), pattern::kQuadrants[0], kTolerance));
  }
}

TEST_F(RenderTest, RadialBlurDrawsTheKeyedSourceUnderTheCopies) {
  Make("Radial Blur Source", 0x3F);  // keyed, drawn under
  for (int i = 0; i < 4; ++i) plug_->SetParam(i, i == 3 ? 10 : 0);
  plug_->SetParam(8, 0);  // no copies at all
  NoteOn(100);
  const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
  EXPECT_TRUE(ColorNear(At(pixels, 3, 9), 0xFF00FF00, kTolerance)) << "black is keyed out";
  EXPECT_TRUE(ColorNear(At(pixels, 3, 2), pattern::kQuadrants[0], kTolerance));
  ExpectStatesRestored();
}

}  // namespace

namespace {

// Where "ps_shuffle" samples for pixel (x, y) at Modulus 0: the centred
// coordinate squared as a complex number, zoomed by z before and 1/z after.
std::pair<float, float> SquaredPoint(int x, int y, float z) {
  const float aspect = float(kWidthPixels) / float(kHeightPixels);
  const float px = (-aspect + 2 * aspect * float(x) / kWidthPixels) * z;
  const float py = (-1 + 2 * float(y) / kHeightPixels) * z;
  return {(px * px - py * py) / z + 0.5f, 2 * px * py / z + 0.5f};
}

TEST_F(RenderTest, FractalShuffleShowsEachPointAtItsComplexSquare) {
  Make("Fractal Shuffle Source", 0x0F);  // pattern not moving
  NoteOn(100);
  plug_->SetParam(0, 0);
  plug_->SetParam(4, 255);
  const struct {
    int32_t zoom, wrap;
  } cases[] = {{40, 0}, {40, 1}, {40, 2}, {15, 2}};
  for (const auto& c : cases) {
    plug_->SetParam(3, c.zoom);
    plug_->SetParam(5, c.wrap);
    const float z = float(c.zoom) * 0.02f + 0.2f;
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    int checked = 0;
    for (int y = 0; y < kHeightPixels; ++y) {
      for (int x = 0; x < kWidthPixels; ++x) {
        auto [u, v] = SquaredPoint(x, y, z);
        const bool outside = u < 0 || u > 1 || v < 0 || v > 1;
        if (c.wrap == 2) u -= std::floor(u), v -= std::floor(v);
        if (c.wrap == 1) u = std::clamp(u, 0.0f, 0.999f), v = std::clamp(v, 0.0f, 0.999f);
        // Points near a quadrant's edge mix by filtering: only clear ones count.
        auto clear = [](float t, int n) {
          const float f = t * float(n);
          return std::abs(f - float(n) / 2) > 1.0f && f > 1.0f && f < float(n) - 1.0f;
        };
        if (c.wrap == 0 && outside) {
          if (u < -0.1f || u > 1.1f || v < -0.1f || v > 1.1f) {
            EXPECT_TRUE(ColorNear(At(pixels, x, y), 0xFF00FF00, kTolerance)) << "border at " << x << "," << y;
            ++checked;
          }
          continue;
        }
        if (!clear(u, kWidthPixels) || !clear(v, kHeightPixels)) continue;
        const uint32_t want = pattern::kQuadrants[(v >= 0.5f ? 2 : 0) + (u >= 0.5f ? 1 : 0)];
        EXPECT_TRUE(ColorNear(At(pixels, x, y) | 0xFF000000, want, kTolerance))
            << "zoom " << c.zoom << " wrap " << c.wrap << " pixel " << x << "," << y;
        ++checked;
      }
    }
    EXPECT_GT(checked, 20) << "zoom " << c.zoom << " wrap " << c.wrap;
  }
  ExpectStatesRestored();
}

TEST_F(RenderTest, FractalShuffleMovesOnlyAwayFromVelocity64) {
  Make("Fractal Shuffle Source", 0x1F);
  plug_->SetParam(2, 100);
  plug_->SetParam(0, 200);
  NoteOn(64);
  const std::vector<uint32_t> still = Frame(0xFF00FF00, 16);
  EXPECT_EQ(Frame(0xFF00FF00, 3000), still) << "velocity 64 never moves";
  NoteOn(127);
  EXPECT_EQ(Frame(0xFF00FF00, 0), still) << "each note starts at the knob's angle";
  EXPECT_NE(Frame(0xFF00FF00, 3000), still);
  plug_->SetParam(4, 0);
  for (uint32_t pixel : Frame(0xFF00FF00)) ASSERT_TRUE(ColorNear(pixel, 0xFF00FF00, kTolerance)) << "Fade 0 hides it";
}

}  // namespace

namespace {

class PixelShuffleRender : public RenderTest {
 protected:
  // The pattern as both the source and the offset map.
  void MakeShuffle(uint32_t options) {
    plug_ = library_->Create("Pixel Shuffle Source");
    ASSERT_NE(plug_, nullptr);
    const std::string pattern("Pattern:", 9);
    ASSERT_TRUE(LoadInto(*plug_, ChunkList({{"FLAG", U32(options)}, {"NAME", pattern}, {"OFNM", pattern}})));
    ASSERT_TRUE(plug_->CreateDeviceObjects());
  }
};

TEST_F(PixelShuffleRender, TheOffsetMapsRedAndGreenDisplaceTheSource) {
  MakeShuffle(0x19);  // stretch, reset, looped: sizes agree, so point sampling
  NoteOn(100);
  const struct {
    int32_t strength[2], offset[2];
  } cases[] = {{{0, 0}, {0, 0}}, {{100, 100}, {0, 0}}, {{-60, 140}, {0, 0}}, {{100, 100}, {200, -300}}};
  for (const auto& c : cases) {
    for (int i = 0; i < 2; ++i) {
      plug_->SetParam(4 + i, c.strength[i]);
      plug_->SetParam(6 + i, c.offset[i]);
    }
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    int checked = 0;
    for (int y = 0; y < kHeightPixels; ++y) {
      for (int x = 0; x < kWidthPixels; ++x) {
        const uint32_t map = PatternTexel(x, y, kWidthPixels, kHeightPixels);
        const float ox = Unit(map, 2) + float(c.offset[0]) * 0.00125f - 0.5f;
        const float oy = Unit(map, 1) + float(c.offset[1]) * 0.00125f - 0.5f;
        const float u = (float(x) + 0.5f) / kWidthPixels + ox * float(c.strength[0]) * 0.005f;
        const float v = (float(y) + 0.5f) / kHeightPixels + oy * float(c.strength[1]) * 0.005f;
        const float fu = std::clamp(u, 0.0f, 1.0f) * kWidthPixels, fv = std::clamp(v, 0.0f, 1.0f) * kHeightPixels;
        // Texels on a quadrant's edge are left out: rounding picks either side.
        if (std::abs(fu - kWidthPixels / 2.0f) < 0.05f || std::abs(fv - kHeightPixels / 2.0f) < 0.05f) continue;
        const uint32_t want = pattern::kQuadrants[(fv >= kHeightPixels / 2.0f ? 2 : 0) + (fu >= kWidthPixels / 2.0f ? 1 : 0)];
        EXPECT_TRUE(ColorNear(At(pixels, x, y) | 0xFF000000, want, kTolerance))
            << "strength " << c.strength[0] << "," << c.strength[1] << " offset " << c.offset[0] << " pixel " << x
            << "," << y;
        ++checked;
      }
    }
    EXPECT_GT(checked, 150);
  }
  ExpectStatesRestored();
}

TEST_F(PixelShuffleRender, KeyedShuffleLetsTheTargetShowThrough) {
  MakeShuffle(0x1B);
  for (int i = 0; i < 4; ++i) plug_->SetParam(i, i == 3 ? 10 : 0);
  plug_->SetParam(4, 0);
  plug_->SetParam(5, 0);
  NoteOn(100);
  const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
  EXPECT_TRUE(ColorNear(At(pixels, 3, 9), 0xFF00FF00, kTolerance)) << "black is keyed out";
  EXPECT_TRUE(ColorNear(At(pixels, 12, 9), pattern::kQuadrants[3], kTolerance));
  ExpectStatesRestored();
}

}  // namespace

namespace {

// At Scale 400 the grid's vertices on the middle row fall on pixel centres:
// (4, 6) carries the second texture point, (12, 6) and (0, 6) the third.
// Unturned, those points lie in the top-right and top-left quadrants.
struct KaleidoscopeCase {
  int32_t scale, patternSpin, sourceSpin;
  int quadrantAt4, quadrantAt12;  // -1: not checked (the point lies on a quadrant edge)
};

TEST_F(RenderTest, KaleidoscopeMirrorsOneTriangleOfTheSourceOverTheGrid) {
  Make("Kaleidoscope Source", 0x0C);  // reset, looped; nothing driven by time
  NoteOn(100);
  const KaleidoscopeCase cases[] = {
      {400, 0, 0, 1, 0},
      {400, 360, 0, 0, 1},     // the grid half turned
      {-400, 0, 0, 0, 1},      // a negative scale turns it too
      {400, 0, 240, 0, -1},    // the source triangle turned a third
      {400, 0, -240, -1, 1},
  };
  for (const KaleidoscopeCase& c : cases) {
    plug_->SetParam(8, c.scale);
    plug_->SetParam(9, c.patternSpin);
    plug_->SetParam(10, c.sourceSpin);
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    if (c.quadrantAt4 >= 0) {
      EXPECT_TRUE(ColorNear(At(pixels, 4, 6), pattern::kQuadrants[c.quadrantAt4], kTolerance))
          << "scale " << c.scale << " spins " << c.patternSpin << "," << c.sourceSpin;
    }
    if (c.quadrantAt12 >= 0) {
      EXPECT_TRUE(ColorNear(At(pixels, 12, 6), pattern::kQuadrants[c.quadrantAt12], kTolerance))
          << "scale " << c.scale << " spins " << c.patternSpin << "," << c.sourceSpin;
      if (c.patternSpin == 0 && c.scale > 0) {
        EXPECT_TRUE(ColorNear(At(pixels, 0, 6), pattern::kQuadrants[c.quadrantAt12], kTolerance));
      }
    }
    for (uint32_t pixel : pixels) ASSERT_FALSE(ColorNear(pixel, 0xFF00FF00, 0)) << "the grid covers the target";
  }
  ExpectStatesRestored();
}

TEST_F(RenderTest, KaleidoscopeColourAndAlphaTintTheGrid) {
  Make("Kaleidoscope Source", 0x0C);
  NoteOn(100);
  plug_->SetParam(5, 0);
  plug_->SetParam(6, 0);
  plug_->SetParam(7, 128);  // half see-through: blended
  const std::vector<uint32_t> pixels = Frame(0xFF0000FF);
  const float a = 128.0f / 255.0f;
  const uint32_t q0 = pattern::kQuadrants[0];
  EXPECT_TRUE(ColorNear(At(pixels, 12, 6) | 0xFF000000, Argb(Unit(q0, 2) * a, 0, 1 - a), kTolerance));
  ExpectStatesRestored();
}

TEST_F(RenderTest, KaleidoscopeAtVelocity64NeverMovesAndANoteHeldByTheSourceEnds) {
  Make("Kaleidoscope Source", 0x3CC);  // sustain, every motion from time
  NoteOn(64);
  EXPECT_TRUE(plug_->KeepAfterNoteOff()) << "sustained until the first frame";
  const std::vector<uint32_t> still = Frame(0xFF00FF00, 16);
  EXPECT_FALSE(plug_->KeepAfterNoteOff()) << "this source cannot hold a note";
  EXPECT_EQ(Frame(0xFF00FF00, 5000), still);
  NoteOn(127);
  EXPECT_NE(Frame(0xFF00FF00, 5000), still);
}

}  // namespace

namespace {

using Image = std::vector<std::array<float, 3>>;

Image PatternImage() {
  Image image;
  for (int y = 0; y < kHeightPixels; ++y) {
    for (int x = 0; x < kWidthPixels; ++x) {
      const uint32_t t = PatternTexel(x, y, kWidthPixels, kHeightPixels);
      image.push_back({Unit(t, 2), Unit(t, 1), Unit(t, 0)});
    }
  }
  return image;
}

// One smoothing pass of `step` texels along x or y, edges clamped: each
// texel moves by the weighed differences to its six neighbours.
Image Smoothed(const Image& in, int dx, int dy, float envMin, float slope) {
  Image out = in;
  for (int y = 0; y < kHeightPixels; ++y) {
    for (int x = 0; x < kWidthPixels; ++x) {
      const auto& s = in[size_t(y * kWidthPixels + x)];
      std::array<float, 3> sum{};
      for (int k : {-3, -2, -1, 1, 2, 3}) {
        const int nx = std::clamp(x + k * dx, 0, kWidthPixels - 1), ny = std::clamp(y + k * dy, 0, kHeightPixels - 1);
        const auto& n = in[size_t(ny * kWidthPixels + nx)];
        float d[3], e = 0;
        const float luma[3] = {0.3f, 0.5f, 0.2f};
        for (int c = 0; c < 3; ++c) d[c] = n[c] - s[c], e += (std::abs(d[c]) - envMin) * slope * luma[c];
        const float w = 1 - std::clamp(e, 0.0f, 1.0f);
        for (int c = 0; c < 3; ++c) sum[c] += w * d[c];
      }
      for (int c = 0; c < 3; ++c) out[size_t(y * kWidthPixels + x)][c] = s[c] + sum[c] / 6;
    }
  }
  return out;
}

TEST_F(RenderTest, SmoothPassesBlurOnlyDifferencesInsideTheEnvelope) {
  Make("Smooth Source", 0x0D);
  NoteOn(100);
  const struct {
    int32_t xRange, yRange, passes, envMin, envMax;
  } cases[] = {{4, 4, 1, 0, 255},    // no pass: the source copied
               {0, 0, 5, 255, 255},  // no step: unchanged
               {4, 4, 2, 255, 255},  // every difference counts
               {8, 4, 3, 255, 255},
               {4, 4, 3, 0, 0},      // nothing below EnvMin 0: unchanged
               {4, 8, 2, 20, 120}};
  for (const auto& c : cases) {
    const int32_t values[5] = {c.xRange, c.yRange, c.passes, c.envMin, c.envMax};
    for (int i = 0; i < 5; ++i) plug_->SetParam(i, values[i]);
    Image want = PatternImage();
    const float envelope = float(c.envMax - c.envMin) / 255.0f;
    const float slope = envelope != 0 ? 1 / envelope : 1.0e6f;
    for (int pass = 1; pass < c.passes; ++pass) {
      want = Smoothed(want, c.xRange / 4, 0, float(c.envMin) / 255.0f, slope);
      want = Smoothed(want, 0, c.yRange / 4, float(c.envMin) / 255.0f, slope);
    }
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    int wrong = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
      const uint32_t expected = Argb(want[i][0], want[i][1], want[i][2]);
      if (!ColorNear(pixels[i] | 0xFF000000, expected, 3) && wrong++ < 3) {
        ADD_FAILURE() << "case passes " << c.passes << " ranges " << c.xRange << "," << c.yRange << " env "
                      << c.envMin << ".." << c.envMax << " pixel " << i % kWidth << "," << i / kWidth << " got "
                      << std::hex << pixels[i] << " want " << expected;
      }
    }
  }
  ExpectStatesRestored();
}

TEST_F(RenderTest, SmoothCoversTheWholeTargetAndNoteOffReleasesItsTargets) {
  pattern::frameWidth = kWidth / 2;
  pattern::frameHeight = kHeight / 2;
  Make("Smooth Source", 0x0C);  // without stretch
  NoteOn(100);
  plug_->SetParam(2, 1);
  const std::vector<uint32_t> pixels = Frame(0xFF0000FF);
  for (const Probe& p : kProbes) {
    EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y), pattern::kQuadrants[p.quadrant], kTolerance)) << p.quadrant;
  }
  plug_->NoteOff();
  const std::vector<uint32_t> after = Frame(0xFF0000FF);
  EXPECT_TRUE(ColorNear(At(after, 3, 2), 0xFF0000FF, 0)) << "nothing drawn without its targets";
}

}  // namespace

namespace {

// The source colour moved towards or away from its grey by `saturate`.
uint32_t Saturated(uint32_t texel, float saturate) {
  const float rgb[3] = {Unit(texel, 2), Unit(texel, 1), Unit(texel, 0)};
  const float g = (rgb[0] + rgb[1] + rgb[2]) / 3;
  return Argb(g + (rgb[0] - g) * saturate, g + (rgb[1] - g) * saturate, g + (rgb[2] - g) * saturate);
}

TEST_F(RenderTest, CrossHatchWithoutStrengthShowsTheSaturatedSource) {
  Make("Cross-Hatch Source", 0x19);
  plug_->SetParam(5, 0);
  NoteOn(100);
  for (int32_t saturate : {0, 50, 100, 200}) {
    plug_->SetParam(6, saturate);
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    for (const Probe& p : kProbes) {
      EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y) | 0xFF000000,
                            Saturated(pattern::kQuadrants[p.quadrant], float(saturate) * 0.01f), kTolerance))
          << "saturate " << saturate << " quadrant " << p.quadrant;
    }
  }
  ExpectStatesRestored();
}

// Full-strength hatching: only white paper and black strokes.
std::pair<int, int> WhiteAndBlack(const std::vector<uint32_t>& pixels) {
  int white = 0, black = 0;
  for (uint32_t p : pixels) {
    white += ColorNear(p | 0xFF000000, 0xFFFFFFFF, kTolerance) ? 1 : 0;
    black += ColorNear(p | 0xFF000000, 0xFF000000, kTolerance) ? 1 : 0;
  }
  return {white, black};
}

TEST_F(RenderTest, CrossHatchPaperTakesNoStrokesAndInkTakesEveryLayer) {
  for (int32_t pattern : {0, 1}) {
    Make("Cross-Hatch Source", 0x19);
    ASSERT_TRUE(LoadInto(*plug_, ChunkList({{"INDX", U32(uint32_t(pattern))}})));
    ASSERT_TRUE(plug_->CreateDeviceObjects());
    plug_->SetParam(5, 100);
    NoteOn(100);
    plug_->SetParam(4, 100);  // every pixel brightened to white
    const auto [white, none] = WhiteAndBlack(Frame(0xFF00FF00));
    EXPECT_EQ(white, kWidthPixels * kHeightPixels) << "pattern " << pattern;
    plug_->SetParam(4, -100);  // every pixel darkened to black
    const auto [paper, ink] = WhiteAndBlack(Frame(0xFF00FF00));
    EXPECT_EQ(paper + ink, kWidthPixels * kHeightPixels) << "pattern " << pattern;
    EXPECT_GT(ink, 0) << "pattern " << pattern;
    EXPECT_GT(paper, 0) << "pattern " << pattern;
  }
}

TEST_F(RenderTest, CrossHatchMovingPatternJumpsOnlyEvery100Milliseconds) {
  Make("Cross-Hatch Source", 0x99);
  plug_->SetParam(5, 100);
  plug_->SetParam(4, -60);
  NoteOn(100);
  const std::vector<uint32_t> first = Frame(0xFF00FF00, 10);
  EXPECT_EQ(Frame(0xFF00FF00, 80), first) << "still within the first 100 ms";
  bool moved = false;
  for (int step = 0; step < 4 && !moved; ++step) moved = Frame(0xFF00FF00, 100) != first;
  EXPECT_TRUE(moved);
}

}  // namespace
