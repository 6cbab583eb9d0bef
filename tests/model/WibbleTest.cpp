#include "model/Wibble.h"
#include "tests/TraceCapture.h"
#include "tests/support/Expected.h"
#include "tests/support/Sanitizers.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

namespace {

Wibble quietly(int cellsX, int cellsY, int cellsZ, float spacing = 0.5f) {
    TraceCapture trace;
    return {cellsX, cellsY, cellsZ, spacing, 0.1f, 0.01f, 1.0f};
}

const Wibble& worldsWibble() {
    static const Wibble wibble = quietly(7, 3, 2);
    return wibble;
}

// The lattice slot [i][j][k] of the 7 x 3 x 2 body.
Vector3 slot(int i, int j, int k) {
    const auto step = [](int n) { return 0.5f * static_cast<float>(n); };
    return {-1.75f + step(i), -0.75f + step(j), -0.5f + step(k)};
}

void expectSpring(int index, Vector3 from, Vector3 to) {
    const Spring& spring = worldsWibble().springs.at(index);
    EXPECT_EQ(spring.nodeA.position, from) << "spring " << index;
    EXPECT_EQ(spring.nodeB.position, to) << "spring " << index;
}

TEST(Wibble, ConstructionWritesItsFiveLinesWhateverTheSize) {
    for (int cells : {7, 0, -1, -5}) {
        TraceCapture trace;
        const Wibble wibble(cells, 3, 2, 0.5f, 0.1f, 0.01f, 1.0f);
        EXPECT_EQ(trace.text(), expected::constructionTrace()) << cells << " cells";
    }
    TraceCapture trace;
    Wibble assigned;
    assigned = worldsWibble();
    EXPECT_EQ(trace.text(), "");
}

TEST(Wibble, WorldsBodyLattice) {
    const Wibble& wibble = worldsWibble();
    EXPECT_EQ(wibble.nodesX, 8);
    EXPECT_EQ(wibble.nodesY, 4);
    EXPECT_EQ(wibble.nodesZ, 3);
    EXPECT_EQ(wibble.cellsX, 7);
    EXPECT_EQ(wibble.nodeMass, 1.0f);
    ASSERT_EQ(wibble.nodes.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(wibble.nodes[i].size(), 4u);
        for (int j = 0; j < 4; ++j) {
            ASSERT_EQ(wibble.nodes[i][j].size(), 3u);
            for (int k = 0; k < 3; ++k) {
                const Node& node = wibble.nodes[i][j][k];
                EXPECT_EQ(node.position, slot(i, j, k));
                EXPECT_EQ(node.mass, 1.0f);
                EXPECT_FALSE(node.flag);
                EXPECT_TRUE(node.springs.empty());
            }
        }
    }
    EXPECT_EQ(wibble.nodes[7][3][2].position, Vector3(1.75f, 0.75f, 0.5f));
    for (const NodePlane& face : wibble.faces) {
        EXPECT_TRUE(face.empty());
    }
}

TEST(Wibble, WorldsBodySpringsInNetworkOrder) {
    const Wibble& wibble = worldsWibble();
    ASSERT_EQ(wibble.springs.size(), expected::springCount);
    expectSpring(0, slot(0, 0, 0), slot(1, 0, 0));
    expectSpring(1, slot(0, 0, 0), slot(0, 1, 0));
    expectSpring(2, slot(0, 0, 0), slot(0, 0, 1));
    expectSpring(5, slot(0, 0, 1), slot(0, 0, 2));
    expectSpring(6, slot(0, 0, 2), slot(1, 0, 2));
    expectSpring(7, slot(0, 0, 2), slot(0, 1, 2));
    expectSpring(8, slot(0, 1, 0), slot(1, 1, 0));
    expectSpring(218, slot(7, 3, 0), slot(7, 3, 1));
    expectSpring(219, slot(7, 3, 1), slot(7, 3, 2));
    expectSpring(220, slot(0, 0, 0), slot(1, 1, 1));
    expectSpring(221, slot(1, 0, 0), slot(0, 1, 1));
    expectSpring(222, slot(1, 0, 1), slot(0, 1, 0));
    expectSpring(223, slot(0, 0, 1), slot(1, 1, 0));
    expectSpring(224, slot(0, 0, 1), slot(1, 1, 2));
    expectSpring(384, slot(6, 2, 1), slot(7, 3, 2));
    expectSpring(387, slot(6, 2, 2), slot(7, 3, 1));

    for (std::size_t index = 0; index < wibble.springs.size(); ++index) {
        const Spring& spring = wibble.springs[index];
        Vector3 ends = spring.nodeA.position;
        const float apart = std::sqrt(ends.distanceSquared(spring.nodeB.position));
        EXPECT_FLOAT_EQ(apart, index < 220 ? 0.5f : 0.5f * std::sqrt(3.0f)) << "spring " << index;
        EXPECT_EQ(spring.spacing, 0.5f);
        EXPECT_EQ(spring.coefficientA, 0.1f);
        EXPECT_EQ(spring.coefficientB, 0.01f);
        EXPECT_TRUE(spring.nodeA.springs.empty() && spring.nodeB.springs.empty());
    }
}

TEST(Wibble, SpringCountsOfSmallAndEmptyLattices) {
    struct Case {
        int cellsX, cellsY, cellsZ;
        std::size_t springs;
    };
    for (const Case& c :
         {Case{1, 1, 1, 16}, Case{1, 1, 0, 4}, Case{1, 0, 0, 1}, Case{0, 0, 0, 0},
          Case{-1, 3, 2, 0}, Case{7, -1, 2, 0}, Case{7, 3, -9, 0}, Case{7, 3, 2, 388}}) {
        const Wibble wibble = quietly(c.cellsX, c.cellsY, c.cellsZ);
        EXPECT_EQ(wibble.springs.size(), c.springs)
            << c.cellsX << " " << c.cellsY << " " << c.cellsZ;
        EXPECT_EQ(springCount(wibble.nodesX, wibble.nodesY, wibble.nodesZ), c.springs);
    }
    const Wibble cube = quietly(1, 1, 1);
    for (int index = 12; index < 16; ++index) {
        Vector3 from = cube.springs[index].nodeA.position;
        EXPECT_FLOAT_EQ(from.distanceSquared(cube.springs[index].nodeB.position), 0.75f);
    }
}

TEST(Wibble, NegativeCellCountsLeaveEmptyContainers) {
    EXPECT_TRUE(quietly(-1, 3, 2).nodes.empty());
    EXPECT_TRUE(quietly(-7, 3, 2).nodes.empty());

    const Wibble noRows = quietly(7, -1, 2);
    ASSERT_EQ(noRows.nodes.size(), 8u);
    EXPECT_TRUE(noRows.nodes[7].empty());

    // A huge count on an axis that has no rows or planes to fill costs nothing.
    EXPECT_TRUE(quietly(-2, 1 << 30, -2).nodes.empty());
    const Wibble hugeButEmpty = quietly(5, -1, 1 << 30);
    ASSERT_EQ(hugeButEmpty.nodes.size(), 6u);
    EXPECT_TRUE(hugeButEmpty.nodes[5].empty());

    const Wibble noNodes = quietly(7, 3, -1);
    ASSERT_EQ(noNodes.nodes.size(), 8u);
    ASSERT_EQ(noNodes.nodes[0].size(), 4u);
    EXPECT_TRUE(noNodes.nodes[0][3].empty());
}

TEST(Wibble, AxisCoordinatesFollowTheSpacing) {
    const Wibble flat = quietly(0, 0, 0);
    const Vector3 only = flat.nodes[0][0][0].position;
    EXPECT_TRUE(only.x == 0 && std::signbit(only.x) && std::signbit(only.y) &&
                std::signbit(only.z));

    const Wibble mirrored = quietly(2, 1, 0, -1.0f);
    EXPECT_EQ(mirrored.nodes[0][0][0].position, Vector3(1, 0.5f, 0));
    EXPECT_EQ(mirrored.nodes[2][1][0].position, Vector3(-1, -0.5f, 0));

    // On every axis, each coordinate is reached by repeated float additions of
    // 0.1f, which float cannot hold: the tenth from -0.5 is 0.49999997, where
    // a product would give 0.5.
    const Wibble tenths = quietly(10, 10, 10, 0.1f);
    float added = -0.5f;
    for (int n = 0; n <= 10; added += 0.1f, ++n) {
        EXPECT_EQ(tenths.nodes[n][0][0].position.x, added) << n;
        EXPECT_EQ(tenths.nodes[0][n][0].position.y, added) << n;
        EXPECT_EQ(tenths.nodes[0][0][n].position.z, added) << n;
    }
    EXPECT_EQ(tenths.nodes[10][10][10].position, Vector3(0.49999997f, 0.49999997f, 0.49999997f));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float spacing : {nan, std::numeric_limits<float>::infinity()}) {
        const Wibble odd = quietly(2, 2, 2, spacing);
        EXPECT_EQ(odd.springs.size(), 86u);
        EXPECT_TRUE(std::isnan(odd.nodes[2][2][2].position.x));
    }
}

TEST(Wibble, PrintSpringsListsEverySpringOnOneLine) {
    TraceCapture trace;
    quietly(-1, 0, 0).printSprings();
    EXPECT_EQ(trace.text(), expected::springsTrace(0));

    TraceCapture square;
    quietly(1, 1, 0, 2.0f).printSprings();
    EXPECT_EQ(square.text(), "4 springs: [(-1,-1,-0)(1,-1,-0)][(-1,-1,-0)(-1,1,-0)]"
                             "[(-1,1,-0)(1,1,-0)][(1,-1,-0)(1,1,-0)]");

    TraceCapture world;
    worldsWibble().printSprings();
    const std::string text = world.text();
    EXPECT_EQ(text.rfind("388 springs: [(-1.75,-0.75,-0.5)(-1.25,-0.75,-0.5)][", 0), 0u);
    const std::string last = "][(1.25,0.25,0.5)(1.75,0.75,0)]";
    EXPECT_EQ(text.compare(text.size() - last.size(), last.size(), last), 0);
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(Wibble, AssignmentCopiesEverythingIndependently) {
    Wibble copy;
    copy = worldsWibble();
    EXPECT_EQ(copy.nodesZ, 3);
    EXPECT_EQ(copy.spacing, 0.5f);
    EXPECT_EQ(copy.springCoefficientA, 0.1f);
    EXPECT_EQ(copy.springCoefficientB, 0.01f);
    ASSERT_EQ(copy.springs.size(), expected::springCount);
    EXPECT_EQ(copy.springs[387].nodeB.position, slot(7, 3, 1));
    EXPECT_EQ(copy.nodes[7][3][2].position, slot(7, 3, 2));

    copy.springs[0].nodeA.position = Vector3(9, 9, 9);
    copy.nodes[0][0][0].position = Vector3(9, 9, 9);
    EXPECT_EQ(worldsWibble().springs[0].nodeA.position, slot(0, 0, 0));
    EXPECT_EQ(worldsWibble().nodes[0][0][0].position, slot(0, 0, 0));

    const Wibble& alias = copy;
    copy = alias;
    EXPECT_EQ(copy.springs.size(), expected::springCount);
    copy = quietly(1, 0, 0);
    EXPECT_EQ(copy.springs.size(), 1u);
    EXPECT_EQ(copy.nodes.size(), 2u);
}

TEST(Wibble, NodeCountsBeyondIntFailCleanly) {
    const int most = std::numeric_limits<int>::max();
    for (const auto& cells :
         {std::array<int, 3>{most, 0, 0}, std::array<int, 3>{0, 0, most},
          std::array<int, 3>{70000, 70000, 0}, std::array<int, 3>{2000, 2000, 2000}}) {
        TraceCapture trace;
        EXPECT_THROW(Wibble(cells[0], cells[1], cells[2], 0.5f, 0.1f, 0.01f, 1.0f),
                     std::length_error);
        EXPECT_EQ(trace.text(), expected::constructionStart());
    }
}

// Without the kernel's overcommit heuristic a huge allocation succeeds and the
// process is killed later, when the pages are touched.
bool hugeAllocationsFail() {
    std::ifstream policy("/proc/sys/vm/overcommit_memory");
    int mode = 0;
    return policy >> mode && mode != 1;
}

TEST(Wibble, RunningOutOfMemoryThrowsBadAlloc) {
    if (builtWithAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer reports a failed allocation instead of throwing";
    }
    if (!hugeAllocationsFail()) {
        GTEST_SKIP() << "the kernel grants every allocation (vm.overcommit_memory = 1)";
    }
    // Terabytes of springs, and two billion empty planes.
    EXPECT_THROW(quietly(1000, 1000, 1000), std::bad_alloc);
    EXPECT_THROW(quietly(std::numeric_limits<int>::max() - 1, -1, 0), std::bad_alloc);
}

} // namespace
