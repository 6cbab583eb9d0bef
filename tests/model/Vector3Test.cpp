#include "model/Vector3.h"
#include "tests/TraceCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void expectComponents(const Vector3& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

TEST(Vector3, TextFormIsPrintfGeneralWithSixDigits) {
    EXPECT_EQ(traceOf(Vector3(0.5f, -1.75f, 3)), "(0.5,-1.75,3)");
    EXPECT_EQ(traceOf(Vector3(1.0f / 3, 2, 0)), "(0.333333,2,0)");
    EXPECT_EQ(traceOf(Vector3(1e6f, 1234567, 0.0001f)), "(1e+06,1.23457e+06,0.0001)");
    EXPECT_EQ(traceOf(Vector3(0.00001f, -0.0f, 100000)), "(1e-05,-0,100000)");
    EXPECT_TRUE(std::cerr.flags() & std::ios::unitbuf) << "the trace must flush every insertion";
}

TEST(Vector3, ArithmeticFollowsTheFormulas) {
    expectComponents(Vector3(5, 6, 7) - Vector3(1, 2, 3), 4, 4, 4);
    expectComponents(Vector3(5, 6, 7) + Vector3(1, 2, 3), 6, 8, 10);
    expectComponents(Vector3(5, 6, 7) / 2, 2.5f, 3, 3.5f);
    expectComponents(Vector3(5, 6, 7) * 2, 10, 12, 14);
    expectComponents(-Vector3(1, -2, 0), -1, 2, -0.0f);
    expectComponents(Vector3(1, 0, 0) ^ Vector3(0, 1, 0), 0, 0, 1);
    expectComponents(Vector3(0, 1, 0) ^ Vector3(1, 0, 0), 0, 0, -1);
    expectComponents(Vector3(2, 3, 4).cross(Vector3(5, 6, 7)), -3, 6, -3);
    expectComponents(Vector3(1, 1, 1).directionTo(Vector3(4, 5, 1)), 0.6f, 0.8f, 0);
    EXPECT_EQ(Vector3(3, 4, 12).length(), 13);
    expectComponents(Vector3(3, 4, 12).normalized(), 3.0f / 13, 4.0f / 13, 12.0f / 13);
    EXPECT_EQ(Vector3(1, 2, 3).dot(Vector3(4, 5, 6)), 32);

    Vector3 receiver(1, 2, 3);
    EXPECT_EQ(receiver.distanceSquared(Vector3(4, 6, 3)), 25);
    expectComponents(receiver, 1, 2, 3);
    EXPECT_EQ(receiver.dx, -3);
    EXPECT_EQ(receiver.dy, -4);
    EXPECT_EQ(receiver.dz, 0);
}

TEST(Vector3, CompoundAssignmentsUseTheOldComponentsAndKeepScratch) {
    Vector3 a(2, 3, 4);
    a.distanceSquared(Vector3(1, 1, 1)); // scratch (1, 2, 3)
    a ^= Vector3(5, 6, 7);
    expectComponents(a, -3, 6, -3);
    a += Vector3(3, 0, 3);
    expectComponents(a, 0, 6, 0);
    a -= Vector3(1, 1, 1);
    expectComponents(a, -1, 5, -1);
    a *= 2;
    expectComponents(a, -2, 10, -2);
    a /= 4;
    expectComponents(a, -0.5f, 2.5f, -0.5f);
    a.zero();
    expectComponents(a, 0, 0, 0);
    EXPECT_EQ(a.dx, 1);
    EXPECT_EQ(a.dy, 2);
    EXPECT_EQ(a.dz, 3);
}

TEST(Vector3, CopyConstructionDropsScratchAndAssignmentCarriesIt) {
    Vector3 source(1, 2, 3);
    source.distanceSquared(Vector3(0, 0, 0));
    const Vector3 copy(source);
    expectComponents(copy, 1, 2, 3);
    EXPECT_EQ(copy.dx, 0);
    EXPECT_EQ(copy.dz, 0);

    Vector3 assigned;
    assigned = source;
    EXPECT_EQ(assigned.dx, 1);
    EXPECT_EQ(assigned.dy, 2);
    EXPECT_EQ(assigned.dz, 3);
}

TEST(Vector3, ExpressionsRoundOnceFromDouble) {
    const float onePlus = 1 + 0x1p-12f;
    // The float product onePlus * onePlus would round away the 2^-24 term.
    expectComponents(Vector3(0, onePlus, 1) ^ Vector3(0, 1, onePlus), 0x1p-11f + 0x1p-24f, 0, 0);
    // Squares beyond the float range stay finite in double.
    EXPECT_EQ(Vector3(3e30f, 4e30f, 0).length(), 5e30f);
    EXPECT_EQ(Vector3(1e30f, 1e30f, 0).dot(Vector3(1e30f, -1e30f, 0)), 0);
    // Summed float squares would lose the 2^-24 terms that add up to a float step.
    Vector3 diagonal(onePlus, onePlus, onePlus);
    const auto exactSum = static_cast<float>(3 * (1 + 0x1p-11 + 0x1p-24));
    EXPECT_EQ(diagonal.distanceSquared(Vector3(0, 0, 0)), exactSum);
    EXPECT_NE(exactSum, onePlus * onePlus + onePlus * onePlus + onePlus * onePlus);
    EXPECT_EQ(diagonal.dot(diagonal), exactSum);
    // A difference is rounded to float before it is squared: onePlus squared is
    // a tie that rounds down, where the square of the exact difference, a
    // little more, would round up.
    Vector3 near(onePlus, 0, 0);
    EXPECT_EQ(near.distanceSquared(Vector3(-0x1p-40f, 0, 0)), 1 + 0x1p-11f);
    EXPECT_EQ(near.dx, onePlus);
    // Three divisions, not a multiplication by the reciprocal.
    EXPECT_EQ((Vector3(3, 3, 3) / 7).x, static_cast<float>(3.0 / 7));
    EXPECT_NE((Vector3(3, 3, 3) / 7).x, 3 * (1.0f / 7));
    EXPECT_EQ((Vector3(0.1f, 0, 0) * 3).x, static_cast<float>(3.0 * 0.1f));
}

TEST(Vector3, DivisionByZeroFollowsIeee) {
    const Vector3 quotient = Vector3(1, -1, 0) / 0;
    EXPECT_EQ(quotient.x, std::numeric_limits<float>::infinity());
    EXPECT_EQ(quotient.y, -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(quotient.z));
    for (const Vector3& v :
         {Vector3(0, 0, 0).normalized(), Vector3(2, 3, 4).directionTo({2, 3, 4})}) {
        EXPECT_TRUE(std::isnan(v.x) && std::isnan(v.y) && std::isnan(v.z));
    }
}

TEST(Vector3, EqualityIsExact) {
    EXPECT_TRUE(Vector3(0, 0, 0) == Vector3(-0.0f, 0, 0));
    const float step = std::nextafter(1.0f, 2.0f);
    EXPECT_FALSE(Vector3(1, 1, 1) == Vector3(1, 1, step));
    EXPECT_FALSE(Vector3(step, 1, 1) == Vector3(1, 1, 1));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(Vector3(nan, 0, 0) == Vector3(nan, 0, 0));
}

} // namespace
