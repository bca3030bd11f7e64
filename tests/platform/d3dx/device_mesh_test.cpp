// Shape meshes as device objects, drawn on a real device.
#include "device_fixture.h"
#include "platform/d3dx/device_mesh.h"
#include "platform/d3dx/math.h"

namespace d3dx {
namespace {

using gfx::test::DeviceTest;

// Colours each pixel with its face's normal, so that the face in front shows
// which way the mesh is wound and which normal it carries.
const char* kNormalHlsl = R"(
float4x4 matWVP;
struct VS_OUT { float4 pos : POSITION; float4 color : COLOR0; };
VS_OUT vs_normal(float3 pos : POSITION, float3 normal : NORMAL) {
  VS_OUT o;
  o.pos = mul(float4(pos, 1), matWVP);
  o.color = float4(normal * 0.5 + 0.5, 1);
  return o;
}
float4 ps_normal(float4 color : COLOR0) : COLOR0 { return color; }
)";

class DeviceMeshTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    normalVs_ = Compile("vs_normal", "vs_3_0", kNormalHlsl);
    const gfx::test::CompiledShader ps = Compile("ps_normal", "ps_3_0", kNormalHlsl);
    ASSERT_TRUE(normalVs_.code && ps.code);
    ASSERT_EQ(gfx::Result::Ok, device_->CreateVertexShader(*normalVs_.code, &meshVs_));
    ASSERT_EQ(gfx::Result::Ok, device_->CreatePixelShader(*ps.code, &meshPs_));
  }
  void TearDown() override {
    device_->SetVertexShader(nullptr);
    device_->SetPixelShader(nullptr);
    device_->SetStreamSource(0, nullptr, 0, 0);
    device_->SetIndices(nullptr);
    device_->SetVertexDeclaration(nullptr);
    if (meshPs_) meshPs_->Release();
    if (meshVs_) meshVs_->Release();
    DeviceTest::TearDown();
  }

  // One unit is one pixel (times `scale`), (0, 0) the centre, y up; the
  // mesh sits at depth 10, well inside the depth range.
  std::vector<uint32_t> Draw(Mesh& mesh, float scale = 1) {
    const Matrix wvp = MatrixScaling(scale, scale, scale) * MatrixTranslation(0, 0, 10) *
                       MatrixOrthoLH(float(kWidth), float(kHeight), 0, 20);
    normalVs_.table->SetMatrix(device_->Constants(), normalVs_.table->GetConstantByName("matWVP"), &wvp.m[0][0]);
    device_->Clear(0, nullptr, gfx::clear::Target | gfx::clear::ZBuffer, 0, 1.0f, 0);
    device_->SetVertexShader(meshVs_);
    device_->SetPixelShader(meshPs_);
    EXPECT_EQ(gfx::Result::Ok, mesh.DrawSubset(0));
    return ReadBackBuffer();
  }

  gfx::test::CompiledShader normalVs_;
  gfx::VertexShader* meshVs_ = nullptr;
  gfx::PixelShader* meshPs_ = nullptr;
};

TEST_F(DeviceMeshTest, BoxHoldsItsGeometryInDeviceBuffers) {
  std::unique_ptr<Mesh> box;
  ASSERT_EQ(gfx::Result::Ok, CreateBox(device_, 1, 1, 1, &box));
  EXPECT_EQ(24u, box->GetNumVertices());
  EXPECT_EQ(12u, box->GetNumFaces());
  EXPECT_EQ(24u, box->GetNumBytesPerVertex());

  gfx::VertexBuffer* vertices = nullptr;
  gfx::IndexBuffer* indices = nullptr;
  ASSERT_EQ(gfx::Result::Ok, box->GetVertexBuffer(&vertices));
  ASSERT_EQ(gfx::Result::Ok, box->GetIndexBuffer(&indices));
  gfx::VertexBufferDesc vd;
  gfx::IndexBufferDesc id;
  vertices->GetDesc(&vd);
  indices->GetDesc(&id);
  EXPECT_EQ(24u * 24u, vd.size);
  EXPECT_EQ(12u * 3u * 2u, id.size);
  EXPECT_EQ(gfx::Format::Index16, id.format);
  // The buffers hold what the CPU mesh holds.
  const MeshData expected = *CreateBox(1, 1, 1);
  void* bytes = nullptr;
  ASSERT_EQ(gfx::Result::Ok, vertices->Lock(0, 0, &bytes, gfx::lock::ReadOnly));
  EXPECT_EQ(0, std::memcmp(bytes, expected.VertexBytes().data(), vd.size));
  vertices->Unlock();
  ASSERT_EQ(gfx::Result::Ok, indices->Lock(0, 0, &bytes, gfx::lock::ReadOnly));
  EXPECT_EQ(0, std::memcmp(bytes, expected.IndexBytes().data(), id.size));
  indices->Unlock();
  // Each getter added a reference of its own.
  EXPECT_GT(vertices->Release(), 0u);
  EXPECT_GT(indices->Release(), 0u);
}

TEST_F(DeviceMeshTest, DrawnBoxCoversItsSquareWithItsFrontFace) {
  std::unique_ptr<Mesh> box;
  ASSERT_EQ(gfx::Result::Ok, CreateBox(device_, 8, 6, 1, &box));
  // Default culling (counter-clockwise) keeps only faces wound clockwise on
  // screen: the one facing the viewer, normal (0, 0, -1).
  const std::vector<uint32_t> pixels = Draw(*box);
  int covered = 0;
  for (uint32_t y = 0; y < kHeight; ++y) {
    for (uint32_t x = 0; x < kWidth; ++x) {
      const bool inside = x >= 4 && x < 12 && y >= 3 && y < 9;
      const uint32_t pixel = pixels[y * kWidth + x];
      if (inside) {
        EXPECT_TRUE(gfx::test::ColorNear(pixel, 0xFF808000u, 1)) << x << ", " << y;
        ++covered;
      } else {
        EXPECT_EQ(0u, pixel) << x << ", " << y;
      }
    }
  }
  EXPECT_EQ(48, covered);
}

TEST_F(DeviceMeshTest, EveryShapeDrawsAroundTheCentre) {
  struct Case {
    const char* name;
    gfx::Result (*make)(gfx::Device*, std::unique_ptr<Mesh>*);
    float scale;
  };
  const Case cases[] = {
      {"sphere", [](gfx::Device* d, std::unique_ptr<Mesh>* m) { return CreateSphere(d, 4, 12, 6, m); }, 1},
      {"cylinder", [](gfx::Device* d, std::unique_ptr<Mesh>* m) { return CreateCylinder(d, 4, 4, 1, 12, 1, m); }, 1},
      {"torus", [](gfx::Device* d, std::unique_ptr<Mesh>* m) { return CreateTorus(d, 1, 3, 8, 16, m); }, 1},
      {"polygon", [](gfx::Device* d, std::unique_ptr<Mesh>* m) { return CreatePolygon(d, 5, 6, m); }, 1},
      {"teapot", [](gfx::Device* d, std::unique_ptr<Mesh>* m) { return CreateTeapot(d, m); }, 4},
  };
  device_->SetRenderState(gfx::RenderState::CullMode, static_cast<uint32_t>(gfx::Cull::None));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<Mesh> mesh;
    ASSERT_EQ(gfx::Result::Ok, c.make(device_, &mesh));
    const std::vector<uint32_t> pixels = Draw(*mesh, c.scale);
    EXPECT_EQ(0u, pixels.front()) << "corner";
    EXPECT_EQ(0u, pixels.back()) << "corner";
    // The torus has a hole at its centre; every other shape covers it.
    const uint32_t centre = pixels[(kHeight / 2) * kWidth + kWidth / 2];
    if (std::string(c.name) == "torus") {
      EXPECT_EQ(0u, centre);
      EXPECT_NE(0u, pixels[(kHeight / 2) * kWidth + kWidth / 2 + 3]) << "on the ring";
    } else {
      EXPECT_NE(0u, centre);
    }
  }
}

TEST_F(DeviceMeshTest, RefusedShapesAndSubsetsMakeOrDrawNothing) {
  std::unique_ptr<Mesh> mesh;
  ASSERT_EQ(gfx::Result::Ok, CreatePolygon(device_, 1, 3, &mesh));
  EXPECT_EQ(gfx::Result::InvalidCall, CreatePolygon(device_, 1, 2, &mesh));
  EXPECT_EQ(nullptr, mesh);
  EXPECT_EQ(gfx::Result::InvalidCall, CreateSphere(device_, 1, 1, 1, &mesh));
  EXPECT_EQ(gfx::Result::InvalidCall, CreateTorus(device_, 1, 2, 2, 2, &mesh));
  EXPECT_EQ(gfx::Result::InvalidCall, CreateBox(nullptr, 1, 1, 1, &mesh));
  EXPECT_EQ(gfx::Result::InvalidCall, Mesh::Create(device_, MeshData{}, &mesh));
  EXPECT_EQ(nullptr, mesh);

  ASSERT_EQ(gfx::Result::Ok, CreateBox(device_, 8, 6, 1, &mesh));
  device_->Clear(0, nullptr, gfx::clear::Target, 0, 1.0f, 0);
  EXPECT_EQ(gfx::Result::Ok, mesh->DrawSubset(1));
  for (uint32_t pixel : ReadBackBuffer()) EXPECT_EQ(0u, pixel);
}

}  // namespace
}  // namespace d3dx
