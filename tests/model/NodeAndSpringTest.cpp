#include "model/NodeAndSpring.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

namespace {

Spring springBetween(Vector3 a, Vector3 b) {
    return {Node(a, 1), Node(b, 2), 0.5f, 0.1f, 0.01f};
}

TEST(Node, ConstructorsAndTextForm) {
    const Node origin;
    EXPECT_EQ(origin.position, Vector3(0, 0, 0));
    EXPECT_TRUE(origin.springs.empty());
    EXPECT_EQ(traceOf(origin), "(0,0,0)");

    const Node placed(Vector3(1, 2, 3), 1.0f);
    EXPECT_EQ(placed.position, Vector3(1, 2, 3));
    EXPECT_EQ(placed.mass, 1.0f);
    EXPECT_FALSE(placed.flag);
    EXPECT_TRUE(placed.springs.empty());
    EXPECT_EQ(traceOf(Node(Vector3(-1.75f, -0.75f, -0.5f), 1)), "(-1.75,-0.75,-0.5)");
}

TEST(Node, CopiesOwnTheirSpringLists) {
    Node source(Vector3(1, 2, 3), 4);
    source.flag = true;
    source.springs.push_back(springBetween({0, 0, 0}, {1, 0, 0}));
    source.springs.push_back(springBetween({0, 0, 0}, {0, 1, 0}));

    Node constructed(source);
    Node assigned;
    assigned = source;
    for (Node* copy : {&constructed, &assigned}) {
        EXPECT_EQ(copy->position, source.position);
        EXPECT_EQ(copy->mass, 4);
        EXPECT_TRUE(copy->flag);
        ASSERT_EQ(copy->springs.size(), 2u);
        EXPECT_EQ(traceOf(copy->springs[1]), "[(0,0,0)(0,1,0)]");
        copy->springs.clear();
    }
    EXPECT_EQ(source.springs.size(), 2u);

    const Node& alias = source;
    source = alias;
    EXPECT_EQ(source.springs.size(), 2u);
    EXPECT_EQ(source.position, Vector3(1, 2, 3));
}

TEST(Spring, TextFormJoinsBothEndsInBrackets) {
    EXPECT_EQ(traceOf(Spring()), "[(0,0,0)(0,0,0)]");
    EXPECT_EQ(traceOf(springBetween({-1.75f, -0.75f, -0.5f}, {-1.25f, -0.75f, -0.5f})),
              "[(-1.75,-0.75,-0.5)(-1.25,-0.75,-0.5)]");
    EXPECT_EQ(traceOf(springBetween({-1.25f, -0.75f, -0.5f}, {-1.75f, -0.75f, -0.5f})),
              "[(-1.25,-0.75,-0.5)(-1.75,-0.75,-0.5)]");
}

TEST(Spring, CopiesCarryEveryMemberAndIndependentNodes) {
    Spring source = springBetween({1, 2, 3}, {4, 5, 6});
    source.extraA = 7;
    source.extraB = 8;
    source.nodeA.springs.push_back(Spring());

    Spring constructed(source);
    Spring assigned;
    assigned = source;
    for (Spring* copy : {&constructed, &assigned}) {
        EXPECT_EQ(copy->nodeA.position, Vector3(1, 2, 3));
        EXPECT_EQ(copy->nodeB.position, Vector3(4, 5, 6));
        EXPECT_EQ(copy->nodeB.mass, 2);
        EXPECT_EQ(copy->spacing, 0.5f);
        EXPECT_EQ(copy->coefficientA, 0.1f);
        EXPECT_EQ(copy->coefficientB, 0.01f);
        EXPECT_EQ(copy->extraA, 7);
        EXPECT_EQ(copy->extraB, 8);
        EXPECT_EQ(copy->nodeA.springs.size(), 1u);
        copy->nodeA.position = Vector3(9, 9, 9);
        copy->nodeA.springs.clear();
    }
    EXPECT_EQ(source.nodeA.position, Vector3(1, 2, 3));
    EXPECT_EQ(source.nodeA.springs.size(), 1u);
}

} // namespace
