#include "CCamera.h"
#include "CMatrix.h"
#include "CVector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

void ExpectVector(const CVector3& v, float x, float y, float z, float tolerance = 1e-6f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

void ExpectMatrixNear(const CMatrix& a, const CMatrix& b, float tolerance)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a.m[i][j], b.m[i][j], tolerance) << "element " << i << "," << j;
}

CVector3 Dot3Row(const CVector3& v, const CMatrix& m)
{
    // Row vector times the upper-left 3 x 3, no translation.
    return CVector3(v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
                    v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
                    v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]);
}

float Dot(const CVector3& a, const CVector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

}  // namespace

TEST(Vector, LayoutsMatchD3DX)
{
    EXPECT_EQ(sizeof(CVector2), 8u);
    EXPECT_EQ(sizeof(CVector3), 12u);
    EXPECT_EQ(sizeof(CVector4), 16u);
    EXPECT_EQ(sizeof(CMatrix), 64u);
    CMatrix m(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const D3DXMATRIX* d = m.AsD3DX();
    EXPECT_EQ(d->_12, 1.0f);
    EXPECT_EQ(d->_21, 4.0f);
    EXPECT_EQ(d->_43, 14.0f);
}

TEST(Vector, NormalizeOfZeroLeavesItAndReturnsZero)
{
    CVector3 zero(0, 0, 0);
    EXPECT_EQ(zero.Normalize(), 0.0f);
    ExpectVector(zero, 0, 0, 0, 0);

    CVector3 tiny(1e-39f, 0, 0);  // length at the edge of the normal range
    EXPECT_EQ(tiny.Normalize(), 0.0f);
    EXPECT_EQ(tiny.x, 1e-39f);

    CVector3 v(3, 0, 4);
    EXPECT_FLOAT_EQ(v.Normalize(), 5.0f);
    ExpectVector(v, 0.6f, 0, 0.8f);
    EXPECT_FLOAT_EQ(CVector3(0, -2, 0).Normalized().y, -1.0f);
}

TEST(Vector, ArithmeticAndCross)
{
    const CVector3 a(1, 2, 3), b(4, -5, 6);
    ExpectVector(-a, -1, -2, -3);
    ExpectVector(a - b, -3, 7, -3);
    CVector3 c = a;
    c *= 2.0f;
    ExpectVector(c, 2, 4, 6);
    EXPECT_FLOAT_EQ(a.LengthSq(), 14.0f);
    EXPECT_FLOAT_EQ(a.Length(), std::sqrt(14.0f));
    ExpectVector(CVector3::Cross(a, b), 2 * 6 - 3 * -5, 3 * 4 - 1 * 6, 1 * -5 - 2 * 4);
    ExpectVector(CVector3::Cross(CVector3::AXIS_X, CVector3::AXIS_Y), 0, 0, 1);
    const CVector3 n = CVector3::CrossNormalized(a, b);
    EXPECT_NEAR(n.Length(), 1.0f, 1e-6f);
    EXPECT_NEAR(Dot(n, a), 0.0f, 1e-5f);
}

TEST(Vector, RotationsTurnTheDocumentedWay)
{
    const float quarter = 1.5707964f;
    ExpectVector(RotateX(CVector3::AXIS_Y, quarter), 0, 0, -1);
    ExpectVector(RotateX(CVector3::AXIS_Z, quarter), 0, 1, 0);
    ExpectVector(RotateY(CVector3::AXIS_X, quarter), 0, 0, 1);
    ExpectVector(RotateY(CVector3::AXIS_Z, quarter), -1, 0, 0);
}

TEST(Matrix, RotationMatricesAgreeWithVectorRotations)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-10.0f, 10.0f);
    for (int i = 0; i < 200; ++i) {
        const CVector3 v(value(random), value(random), value(random));
        const float angle = value(random);
        CMatrix rx, ry;
        rx.RotationX(angle);
        ry.RotationY(angle);
        const CVector3 byX = RotateX(v, angle), byY = RotateY(v, angle);
        ExpectVector(Dot3Row(v, rx), byX.x, byX.y, byX.z, 1e-4f);
        ExpectVector(Dot3Row(v, ry), byY.x, byY.y, byY.z, 1e-4f);
        EXPECT_EQ(rx.m[3][3], 1.0f);
        EXPECT_EQ(rx.m[0][3], 0.0f);
    }
    // Opposite sense to D3DXMatrixRotationX: row 1 is (0, c, -s, 0).
    CMatrix r;
    r.RotationX(0.5f);
    EXPECT_FLOAT_EQ(r.m[1][2], -std::sin(0.5f));
    EXPECT_FLOAT_EQ(r.m[2][1], std::sin(0.5f));
    r.RotationY(0.5f);
    EXPECT_FLOAT_EQ(r.m[0][2], std::sin(0.5f));
    EXPECT_FLOAT_EQ(r.m[2][0], -std::sin(0.5f));
}

TEST(Matrix, MultiplyIsRowTimesColumnInOrder)
{
    CMatrix a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const CMatrix b(0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 2, 3, 4, 1);  // swap x/y, translate
    a.Multiply(b);
    EXPECT_EQ(a.m[0][0], 2 + 4 * 2.0f);
    EXPECT_EQ(a.m[0][1], 1 + 4 * 3.0f);
    EXPECT_EQ(a.m[0][2], 3 + 4 * 4.0f);
    EXPECT_EQ(a.m[3][3], 16.0f);

    // A point through scaling then translation: p x S x T.
    CMatrix s, t = CMatrix::IDENTITY;
    s.Scaling(2, 3, 4);
    t.SetTranslation(CVector3(10, 20, 30));
    s.Multiply(t);
    ExpectVector(s.TransformPoint(CVector3(1, 1, 1)), 12, 23, 34);

    CMatrix axes = CMatrix::IDENTITY;
    axes.SetXAxis(CVector3(1, 2, 3)).SetYAxis(CVector3(4, 5, 6)).SetZAxis(CVector3(7, 8, 9));
    EXPECT_EQ(axes.m[1][1], 5.0f);
    EXPECT_EQ(axes.m[2][3], 0.0f);
    EXPECT_EQ(axes.m[3][3], 1.0f);
}

TEST(Matrix, Inverse3x3TimesOriginalIsIdentity)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> value(-2.0f, 2.0f);
    int tested = 0;
    while (tested < 100) {
        CMatrix m(value(random), value(random), value(random), 5, value(random), value(random), value(random), 6,
                  value(random), value(random), value(random), 7, 8, 9, 10, 11);
        CMatrix inverse;
        float det = 0;
        m.Inverse3x3(inverse, &det);
        if (std::fabs(det) < 0.5f)
            continue;  // keep to well-conditioned matrices
        ++tested;
        EXPECT_EQ(inverse.m[0][3], 0.0f);
        EXPECT_EQ(inverse.m[3][0], 0.0f);
        EXPECT_EQ(inverse.m[3][3], 1.0f);
        CMatrix upper = m;
        for (int i = 0; i < 3; ++i)
            upper.m[i][3] = 0;
        upper.m[3][0] = upper.m[3][1] = upper.m[3][2] = 0;
        upper.m[3][3] = 1;
        upper.Multiply(inverse);
        ExpectMatrixNear(upper, CMatrix::IDENTITY, 1e-4f);
    }
}

TEST(Matrix, Inverse3x3OfSingularMatrixIsTheAdjugate)
{
    const CMatrix singular(1, 2, 3, 0, 2, 4, 6, 0, 1, 0, 1, 0, 0, 0, 0, 1);
    CMatrix out;
    float det = -1;
    singular.Inverse3x3(out, &det);
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(out.m[0][0], 4 * 1 - 6 * 0.0f);  // m11*m22 - m12*m21
    EXPECT_EQ(out.m[0][1], 3 * 0 - 2 * 1.0f);  // m02*m21 - m01*m22
    EXPECT_EQ(out.m[2][2], 1 * 4 - 2 * 2.0f);  // m00*m11 - m01*m10
}

TEST(Matrix, PerspectiveSixtyDegrees)
{
    CMatrix p;
    p.Perspective(60.0f, 4.0f / 3.0f, 0.1f, 200.0f);
    EXPECT_NEAR(p.m[1][1], 1.7320508f, 1e-6f);
    EXPECT_NEAR(p.m[0][0], 1.2990381f, 1e-6f);
    EXPECT_FLOAT_EQ(p.m[2][2], (0.1f + 200.0f) / (0.1f - 200.0f));
    EXPECT_FLOAT_EQ(p.m[3][2], 2 * 0.1f * 200.0f / (0.1f - 200.0f));
    EXPECT_EQ(p.m[2][3], -1.0f);
    EXPECT_EQ(p.m[3][3], 0.0f);
    // Depth -1 at the near plane, +1 at the far plane (after the divide by w = -z).
    for (float distance : {0.1f, 200.0f}) {
        const float z = -distance;
        const float clipZ = z * p.m[2][2] + p.m[3][2];
        const float clipW = z * p.m[2][3];
        EXPECT_NEAR(clipZ / clipW, distance < 1 ? -1.0f : 1.0f, 1e-4f);
    }
}

TEST(Camera, StartsWithDefaultsAndProjection)
{
    CCamera camera;
    EXPECT_EQ(camera.GetNear(), 0.1f);
    EXPECT_EQ(camera.GetFar(), 2000.0f);
    EXPECT_FLOAT_EQ(camera.GetDepthRange(), 1999.9f);
    CMatrix expected;
    expected.Perspective(60.0f, 1.3333334f, 0.1f, 2000.0f);
    ExpectMatrixNear(camera.GetProjection(), expected, 0);
    ExpectMatrixNear(camera.GetView(), CMatrix::IDENTITY, 0);

    camera.SetClipPlanes(1.0f, 500.0f);
    EXPECT_FLOAT_EQ(camera.GetDepthRange(), 499.0f);
    expected.Perspective(60.0f, 1.3333334f, 1.0f, 500.0f);
    ExpectMatrixNear(camera.GetProjection(), expected, 0);

    EXPECT_EQ(CCamera::GetCurrent(), nullptr);
    CCamera::SetCurrent(&camera);
    EXPECT_EQ(CCamera::GetCurrent(), &camera);
    CCamera::SetCurrent(nullptr);
}

TEST(Camera, LookingDownMinusZFromOneEighty)
{
    CCamera camera;
    camera.SetTarget(CVector3(0, 0, 0));
    camera.SetPosition(CVector3(0, 0, 180));
    ExpectVector(camera.GetDirection(), 0, 0, -1);
    ExpectVector(camera.GetRight(), 1, 0, 0);
    ExpectVector(camera.GetUp(), 0, 1, 0);
    ExpectVector(camera.GetView().TransformPoint(CVector3(0, 0, 0)), 0, 0, -180);
}

TEST(Camera, ViewEqualsHandBuiltLookAt)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-100.0f, 100.0f);
    for (int i = 0; i < 50; ++i) {
        const CVector3 eye(value(random), value(random), value(random));
        const CVector3 target(value(random), value(random), value(random));
        CCamera camera;
        camera.SetPosition(eye);
        camera.SetTarget(target);

        // Right-handed look-at: columns right, up, back; row 3 the negated dots.
        CVector3 back = eye - target;
        back.Normalize();
        CVector3 right = CVector3::Cross(CVector3(0, 1, 0), back);
        right.Normalize();
        const CVector3 up = CVector3::Cross(back, right);
        const CMatrix lookAt(right.x, up.x, back.x, 0, right.y, up.y, back.y, 0, right.z, up.z, back.z, 0,
                             -Dot(right, eye), -Dot(up, eye), -Dot(back, eye), 1);
        ExpectMatrixNear(camera.GetView(), lookAt, 2e-4f);
        // The target lies straight ahead on the view axis.
        const CVector3 t = camera.GetView().TransformPoint(target);
        EXPECT_NEAR(t.x, 0.0f, 1e-3f);
        EXPECT_NEAR(t.y, 0.0f, 1e-3f);
        EXPECT_LT(t.z, 0.0f);
    }
}

TEST(Camera, LookingAlongWorldUpDegeneratesQuietly)
{
    CCamera camera;
    camera.SetTarget(CVector3(0, 10, 0));
    camera.SetPosition(CVector3(0, 0, 0));
    ExpectVector(camera.GetRight(), 0, 0, 0, 0);
    ExpectVector(camera.GetUp(), 0, 0, 0, 0);
    ExpectVector(camera.GetDirection(), 0, 1, 0);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_FALSE(std::isnan(camera.GetView().m[i][j]));
}
