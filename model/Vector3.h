#pragma once

// A point or direction in model space: three single-precision components.
//
// Every expression is evaluated in double precision and rounded to float once,
// when it is stored or returned, so a cross-product component or a dot product
// is the correctly rounded value of the exact formula, not of float steps.
// Division by zero follows IEEE arithmetic: nothing is checked.
class Vector3 {
public:
    Vector3() = default;
    Vector3(float x, float y, float z) : x(x), y(y), z(z) {}
    // Copies the components only; the scratch members of a new copy start at zero.
    Vector3(const Vector3& other) noexcept : x(other.x), y(other.y), z(other.z) {}
    Vector3& operator=(const Vector3& other) = default;

    Vector3 operator+(Vector3 other) const;
    void operator+=(Vector3 other);
    Vector3 operator-(Vector3 other) const;
    void operator-=(Vector3 other);
    // Cross product.
    Vector3 operator^(Vector3 other) const;
    void operator^=(Vector3 other);
    Vector3 operator*(float scale) const;
    void operator*=(float scale);
    Vector3 operator/(float divisor) const;
    void operator/=(float divisor);

    Vector3 directionTo(Vector3 other) const;
    // Leaves the three differences in dx, dy and dz.
    float distanceSquared(Vector3 other);
    float length() const;
    Vector3 normalized() const;
    float dot(Vector3 other) const;
    Vector3 cross(Vector3 other) const;
    void zero();
    Vector3 operator-() const;
    bool operator==(Vector3 other) const;

    // Writes "(x,y,z)" to the trace stream.
    void print() const;

    float x = 0;
    float y = 0;
    float z = 0;
    float dx = 0;
    float dy = 0;
    float dz = 0;

private:
    // The compound assignments change the components and keep the scratch members.
    void setComponents(const Vector3& value);
};
