#include "app/World.h"
#include "tests/TraceCapture.h"
#include "tests/support/Expected.h"

#include <gtest/gtest.h>

namespace {

void expectWorldsScene(const World& scene) {
    EXPECT_EQ(scene.setting, 0.1f);
    EXPECT_TRUE(scene.vectors.empty());
    EXPECT_EQ(scene.body.nodesX * scene.body.nodesY * scene.body.nodesZ, 96);
    ASSERT_EQ(scene.body.springs.size(), expected::springCount);
    EXPECT_EQ(scene.body.springs[0].nodeB.position, Vector3(-1.25f, -0.75f, -0.5f));
    EXPECT_EQ(scene.body.springs[387].nodeA.position, Vector3(1.25f, 0.25f, 0.5f));
}

TEST(World, ConstructionBuildsTheSceneAndTracesOnlyTheWibble) {
    TraceCapture trace;
    const World scene;
    EXPECT_EQ(trace.text(), expected::constructionTrace());
    expectWorldsScene(scene);
    expectWorldsScene(world);
}

TEST(World, AssignmentCopiesEveryMemberSilently) {
    World source;
    source.setting = 2.5f;
    source.vectors.emplace_back(1, 2, 3);
    World target;

    TraceCapture trace;
    target = source;
    const World& alias = target;
    target = alias;
    EXPECT_EQ(trace.text(), "");

    EXPECT_EQ(target.setting, 2.5f);
    ASSERT_EQ(target.vectors.size(), 1u);
    EXPECT_EQ(target.vectors[0], Vector3(1, 2, 3));
    ASSERT_EQ(target.body.springs.size(), expected::springCount);
    target.body.springs.clear();
    target.vectors.clear();
    EXPECT_EQ(source.body.springs.size(), expected::springCount);
    EXPECT_EQ(source.vectors.size(), 1u);
}

} // namespace
