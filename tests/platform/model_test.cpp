// TModel: reading ".mesh" files made by the test, refusing what is not one, and sharing models
// through the asset manager.
#include "platform/animation/model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/assetmanager.h"
#include "imagefixture.h"

namespace {

using Messages = std::vector<std::string>;

// The ".mesh" bytes: "TRIS", the counts, the vertices' values in thousandths, the indices.
std::string MeshBytes(const std::vector<int16_t>& values, uint16_t vertexCount,
                      const std::vector<uint16_t>& indices, uint16_t triangleCount) {
    std::string bytes = "TRIS";
    auto put16 = [&](uint16_t v) {
        bytes.push_back(static_cast<char>(v & 0xFF));
        bytes.push_back(static_cast<char>(v >> 8));
    };
    put16(vertexCount);
    put16(triangleCount);
    for (int16_t v : values)
        put16(static_cast<uint16_t>(v));
    for (uint16_t i : indices)
        put16(i);
    return bytes;
}

// Two vertices and one triangle.
std::string TwoVertexMesh() {
    return MeshBytes({-1500, 32767, 0, 1000, -1000, 1, 500, 250,  //
                      1, 2, 3, 4, 5, 6, 7, 8},
                     2, {0, 1, 1}, 1);
}

class ModelTest : public ImageFileTest {
protected:
    void SetUp() override { SetAssetManager(&mManager); }
    void TearDown() override {
        SetAssetManager(nullptr);
        ImageFileTest::TearDown();
    }

    TAssetManager mManager;
};

TEST_F(ModelTest, ReadsVerticesInThousandthsAndIndices) {
    Put("m.mesh", TwoVertexMesh());
    TModel model;
    ASSERT_TRUE(model.Init("m.mesh"));
    const TModelData* data = model.GetData();
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->mVertices.size(), 2u);
    const TMeshVertex& v = data->mVertices[0];
    EXPECT_EQ(v.mX, -1.5f);
    EXPECT_EQ(v.mY, 32.767f);
    EXPECT_EQ(v.mZ, 0.0f);
    EXPECT_EQ(v.mNormalX, 1.0f);
    EXPECT_EQ(v.mNormalY, -1.0f);
    EXPECT_EQ(v.mNormalZ, 0.001f);
    EXPECT_EQ(v.mU, 0.5f);
    EXPECT_EQ(v.mV, 0.25f);
    EXPECT_EQ(data->mVertices[1].mV, 0.008f);
    EXPECT_EQ(data->mIndices, (std::vector<uint16_t>{0, 1, 1}));
    EXPECT_EQ(data->mFileName, "m.mesh");

    Put("empty.mesh", MeshBytes({}, 0, {}, 0));
    ASSERT_TRUE(model.Init("empty.mesh"));
    EXPECT_TRUE(model.GetData()->mVertices.empty());
    EXPECT_TRUE(model.GetData()->mIndices.empty());
    EXPECT_EQ(mLog.Messages(), Messages{});
}

TEST_F(ModelTest, RefusesWhatIsNotAMeshFile) {
    std::string whole = TwoVertexMesh();
    Put("M.MESH", whole);
    Put("m.msh", whole);
    Put("bad.mesh", "TRIX" + whole.substr(4));
    Put("short.mesh", whole.substr(0, whole.size() - 1));
    struct Case {
        const char* name;
        bool dataAttached;
        const char* message;
    } cases[] = {
        {"M.MESH", false, nullptr},  // the extension is matched exactly
        {"m.msh", false, nullptr},
        {"bad.mesh", true, nullptr},
        {"short.mesh", true, nullptr},  // one byte short of its counts
        {"gone.mesh", false, "TModel::Init: Failed to load gone.mesh"},
    };
    for (const Case& c : cases) {
        mLog.Clear();
        TModel model;
        EXPECT_FALSE(model.Init(c.name)) << c.name;
        EXPECT_EQ(model.GetData() != nullptr, c.dataAttached) << c.name;
        if (c.dataAttached) {
            EXPECT_TRUE(model.GetData()->mVertices.empty()) << c.name;
            EXPECT_TRUE(model.GetData()->mIndices.empty()) << c.name;
        }
        EXPECT_EQ(mLog.Messages(), c.message ? Messages{c.message} : Messages{}) << c.name;
    }
}

TEST_F(ModelTest, EveryPrefixLoadsOrFailsCleanly) {
    std::string whole = TwoVertexMesh();
    for (size_t size = 0; size <= whole.size(); ++size) {
        Put("p.mesh", whole.substr(0, size));
        TModel model;
        EXPECT_EQ(model.Init("p.mesh"), size == whole.size()) << size;
    }
}

TEST_F(ModelTest, GetSharesTheLoadedModel) {
    Put("m.mesh", TwoVertexMesh());
    std::shared_ptr<TModel> first = TModel::Get("m.mesh");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->GetClassName(), "TModel");
    EXPECT_TRUE(first->IsKindOf(TModel::TypeId()));
    EXPECT_TRUE(first->IsKindOf(TAsset::TypeId()));
    EXPECT_EQ(TModel::Get("m.mesh"), first);
    EXPECT_EQ(AssetCast<TModel>(mManager.FindAsset("m.mesh")), first);

    std::weak_ptr<TModel> watch = first;
    first.reset();
    EXPECT_TRUE(watch.expired());
    std::shared_ptr<TModel> again = TModel::Get("m.mesh");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetData()->mVertices.size(), 2u);

    // A model that does not load is not registered.
    Put("bad.mesh", "XXXX");
    EXPECT_EQ(TModel::Get("bad.mesh"), nullptr);
    EXPECT_EQ(mManager.FindAsset("bad.mesh"), nullptr);
}

TEST_F(ModelTest, RestoreReadsTheFileAgain) {
    Put("m.mesh", MeshBytes({}, 0, {}, 0));
    std::shared_ptr<TModel> model = TModel::Get("m.mesh");
    ASSERT_NE(model, nullptr);
    Put("m.mesh", TwoVertexMesh());
    mManager.ReleaseAll();
    EXPECT_TRUE(model->GetData()->mVertices.empty());  // Release keeps the data
    mManager.RestoreAll();
    EXPECT_EQ(model->GetData()->mVertices.size(), 2u);
    EXPECT_EQ(model->GetData()->mFileName, "m.mesh");

    TModel never;
    never.Restore();
    EXPECT_EQ(never.GetData(), nullptr);
}

}  // namespace
