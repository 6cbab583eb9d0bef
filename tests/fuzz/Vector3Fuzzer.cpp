// Every Vector3 operation on fuzzed components, against its formula evaluated
// in double precision and rounded to float once.
#include "model/Vector3.h"
#include "tests/fuzz/FuzzInput.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

float rounded(double value) {
    return static_cast<float>(value);
}

void expect(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "Vector3 fuzzer: %s differs from its formula\n", what);
        std::abort();
    }
}

void expectVector(const Vector3& got, float x, float y, float z, const char* what) {
    expect(sameFloat(got.x, x) && sameFloat(got.y, y) && sameFloat(got.z, z), what);
}

float lengthOf(float x, float y, float z) {
    return rounded(std::sqrt((double{x} * x + double{y} * y) + double{z} * z));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto ax = next<float>(input), ay = next<float>(input), az = next<float>(input);
    const auto bx = next<float>(input), by = next<float>(input), bz = next<float>(input);
    const auto s = next<float>(input);
    const Vector3 a(ax, ay, az), b(bx, by, bz);

    expectVector(a + b, rounded(double{ax} + bx), rounded(double{ay} + by),
                 rounded(double{az} + bz), "+");
    expectVector(a - b, rounded(double{ax} - bx), rounded(double{ay} - by),
                 rounded(double{az} - bz), "-");
    const float cx = rounded(double{ay} * bz - double{az} * by);
    const float cy = rounded(double{az} * bx - double{ax} * bz);
    const float cz = rounded(double{ax} * by - double{ay} * bx);
    expectVector(a ^ b, cx, cy, cz, "^");
    expectVector(a.cross(b), cx, cy, cz, "cross");
    expectVector(a * s, rounded(double{s} * ax), rounded(double{s} * ay), rounded(double{s} * az),
                 "*");
    expectVector(a / s, rounded(double{ax} / s), rounded(double{ay} / s), rounded(double{az} / s),
                 "/");
    expectVector(-a, -ax, -ay, -az, "unary -");
    expect((a == b) == (ax == bx && ay == by && az == bz), "==");

    const float length = lengthOf(ax, ay, az);
    expect(sameFloat(a.length(), length), "length");
    expectVector(a.normalized(), rounded(double{ax} / length), rounded(double{ay} / length),
                 rounded(double{az} / length), "normalized");
    const float dx = rounded(double{bx} - ax), dy = rounded(double{by} - ay),
                dz = rounded(double{bz} - az);
    const float toward = lengthOf(dx, dy, dz);
    expectVector(a.directionTo(b), rounded(double{dx} / toward), rounded(double{dy} / toward),
                 rounded(double{dz} / toward), "directionTo");
    expect(sameFloat(a.dot(b), rounded((double{bx} * ax + double{by} * ay) + double{bz} * az)),
           "dot");

    Vector3 receiver = a;
    const float ex = rounded(double{ax} - bx), ey = rounded(double{ay} - by),
                ez = rounded(double{az} - bz);
    expect(sameFloat(receiver.distanceSquared(b),
                     rounded((double{ex} * ex + double{ey} * ey) + double{ez} * ez)),
           "distanceSquared");
    expectVector(Vector3(receiver.dx, receiver.dy, receiver.dz), ex, ey, ez,
                 "distanceSquared scratch");

    // The compound forms change the components and keep the scratch members.
    Vector3 changed = receiver;
    changed ^= b;
    expectVector(changed, cx, cy, cz, "^=");
    changed = receiver;
    changed += b;
    expectVector(changed, rounded(double{ax} + bx), rounded(double{ay} + by),
                 rounded(double{az} + bz), "+=");
    changed -= b;
    changed *= s;
    changed /= s;
    changed.zero();
    expectVector(changed, 0, 0, 0, "zero");
    expectVector(Vector3(changed.dx, changed.dy, changed.dz), ex, ey, ez, "compound scratch");
    return 0;
}
