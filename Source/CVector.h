#pragma once

// Single-precision vectors laid out as the D3DX vector types.

class CVector2 {
public:
    CVector2() {}
    CVector2(float x_, float y_) : x(x_), y(y_) {}

    float x, y;
};

class CVector3 {
public:
    CVector3() {}
    CVector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    CVector3 operator-() const { return CVector3(-x, -y, -z); }
    CVector3 operator-(const CVector3& b) const { return CVector3(x - b.x, y - b.y, z - b.z); }
    CVector3 operator+(const CVector3& b) const { return CVector3(x + b.x, y + b.y, z + b.z); }
    CVector3 operator*(float s) const { return CVector3(x * s, y * s, z * s); }
    CVector3& operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    float LengthSq() const { return x * x + y * y + z * z; }
    float Length() const;
    // Scales to unit length and returns the old length; a vector too short to
    // scale (length not above the smallest normal float) is left as it is and 0 returned.
    float Normalize();
    CVector3 Normalized() const;

    static CVector3 Cross(const CVector3& a, const CVector3& b);
    static CVector3 CrossNormalized(const CVector3& a, const CVector3& b);

    static const CVector3 ZERO;
    static const CVector3 WORLD_UP;
    static const CVector3 AXIS_X;
    static const CVector3 AXIS_Y;
    static const CVector3 AXIS_Z;

    float x, y, z;
};

class CVector4 {
public:
    CVector4() {}
    CVector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    float x, y, z, w;
};

// Rotations about the x and y axes, angles in radians.
CVector3 RotateX(const CVector3& v, float angle);
CVector3 RotateY(const CVector3& v, float angle);
