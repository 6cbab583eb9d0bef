#include "model/Vector3.h"

#include <cfloat>
#include <cmath>
#include <iostream>

// The single rounding below holds only where the compiler evaluates each
// operation in its own type (FLT_EVAL_METHOD 0) or floats in double (1). With
// more precision in between, as 32-bit x86 code keeps in the x87 unit, a
// float stored here would be kept unrounded and double expressions would
// round twice: such a build must not compile (SSE2 arithmetic avoids it).
static_assert(FLT_EVAL_METHOD == 0 || FLT_EVAL_METHOD == 1,
              "float expressions would be evaluated with excess precision");

namespace {

// The single rounding to float that ends every expression.
float rounded(double value) {
    return static_cast<float>(value);
}

double wide(float value) {
    return value;
}

} // namespace

Vector3 Vector3::operator+(Vector3 other) const {
    return {rounded(wide(x) + other.x), rounded(wide(y) + other.y), rounded(wide(z) + other.z)};
}

void Vector3::operator+=(Vector3 other) {
    setComponents(*this + other);
}

Vector3 Vector3::operator-(Vector3 other) const {
    return {rounded(wide(x) - other.x), rounded(wide(y) - other.y), rounded(wide(z) - other.z)};
}

void Vector3::operator-=(Vector3 other) {
    setComponents(*this - other);
}

Vector3 Vector3::operator^(Vector3 other) const {
    return {rounded(wide(y) * other.z - wide(z) * other.y),
            rounded(wide(z) * other.x - wide(x) * other.z),
            rounded(wide(x) * other.y - wide(y) * other.x)};
}

void Vector3::operator^=(Vector3 other) {
    setComponents(*this ^ other);
}

Vector3 Vector3::operator*(float scale) const {
    return {rounded(wide(scale) * x), rounded(wide(scale) * y), rounded(wide(scale) * z)};
}

void Vector3::operator*=(float scale) {
    setComponents(*this * scale);
}

Vector3 Vector3::operator/(float divisor) const {
    return {rounded(wide(x) / divisor), rounded(wide(y) / divisor), rounded(wide(z) / divisor)};
}

void Vector3::operator/=(float divisor) {
    setComponents(*this / divisor);
}

Vector3 Vector3::directionTo(Vector3 other) const {
    return (other - *this).normalized();
}

float Vector3::distanceSquared(Vector3 other) {
    dx = rounded(wide(x) - other.x);
    dy = rounded(wide(y) - other.y);
    dz = rounded(wide(z) - other.z);
    return rounded((wide(dx) * dx + wide(dy) * dy) + wide(dz) * dz);
}

float Vector3::length() const {
    return rounded(std::sqrt((wide(x) * x + wide(y) * y) + wide(z) * z));
}

Vector3 Vector3::normalized() const {
    return *this / length();
}

float Vector3::dot(Vector3 other) const {
    return rounded((wide(other.x) * x + wide(other.y) * y) + wide(other.z) * z);
}

Vector3 Vector3::cross(Vector3 other) const {
    return *this ^ other;
}

void Vector3::zero() {
    x = y = z = 0;
}

Vector3 Vector3::operator-() const {
    return {-x, -y, -z};
}

bool Vector3::operator==(Vector3 other) const {
    return x == other.x && y == other.y && z == other.z;
}

void Vector3::print() const {
    std::cerr << "(" << x << "," << y << "," << z << ")";
}

void Vector3::setComponents(const Vector3& value) {
    x = value.x;
    y = value.y;
    z = value.z;
}
