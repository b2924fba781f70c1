#include <corvex/matrix.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

template<typename M> void expectIdentity(M const& m, int n, double tol = 1e-12)
{
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            EXPECT_NEAR(m[r * n + c], r == c ? 1.0 : 0.0, tol) << "element (" << r << ", " << c << ")";
}

template<typename M> void expectNear(M const& a, M const& b, int n, double tol = 1e-12)
{
    for (int i = 0; i < n * n; ++i)
        EXPECT_NEAR(a[i], b[i], tol) << "index " << i;
}

// Well conditioned, with a bottom row that is not (0, 0, 0, 1).
Matrix4 generalMatrix()
{
    return Matrix4(4, 1, 0, 2, 1, 5, 2, 0, 0, 2, 6, 1, 1, 0, 1, 3);
}

} // namespace

TEST(Matrix2, DeterminantInverseAndSingularity)
{
    Matrix2 const m(1, 2, 3, 4);
    EXPECT_DOUBLE_EQ(m.getDeterminant(), -2.0);
    Matrix2 inv = m;
    inv.invert();
    expectNear(inv, Matrix2(-2, 1, 1.5, -0.5), 2);
    expectIdentity(m * inv, 2);
    expectIdentity(inv * m, 2);

    EXPECT_EQ(Matrix2(), Matrix2(1, 0, 0, 1));
    // det 1e-6 is below the singular threshold.
    EXPECT_EQ(Matrix2(1e-3, 0, 0, 1e-3).invert(), Matrix2());
    // The threshold itself is singular; just above it inverts.
    double const t = static_cast<double>(1e-5f);
    EXPECT_EQ(Matrix2(t, 0, 0, 1).invert(), Matrix2());
    EXPECT_NE(Matrix2(2 * t, 0, 0, 1).invert(), Matrix2());

    Vector2 const v = m * Vector2 { 1, -1 };
    EXPECT_DOUBLE_EQ(v.x, -1);
    EXPECT_DOUBLE_EQ(v.y, -1);
}

TEST(Matrix3, InverseAgainstProductAndRowAccess)
{
    Matrix3 const m(2, -1, 0, -1, 2, -1, 0, -1, 2);
    EXPECT_DOUBLE_EQ(m.getDeterminant(), 4.0);
    Matrix3 inv = m;
    inv.invert();
    expectIdentity(m * inv, 3);
    expectIdentity(inv * m, 3);
    EXPECT_EQ(Matrix3(1e-2, 0, 0, 0, 1e-2, 0, 0, 0, 1e-2).invert(), Matrix3());

    // det(AB) = det(A) det(B)
    Matrix3 const b(1, 2, 0, 0, 1, 3, 4, 0, 1);
    EXPECT_NEAR((m * b).getDeterminant(), m.getDeterminant() * b.getDeterminant(), 1e-12);

    Matrix3 s;
    s.setRow(1, Vector3 { 4, 5, 6 });
    s.setColumn(2, Vector3 { 7, 8, 9 });
    EXPECT_EQ(s, Matrix3(1, 0, 7, 4, 5, 8, 0, 0, 9));
    Matrix3 const before = s;
    s.setRow(3, Vector3 { 1, 1, 1 });
    s.setColumn(-1, Vector3 { 1, 1, 1 });
    EXPECT_EQ(s, before);

    Matrix3 sum = m + b;
    sum -= b;
    EXPECT_EQ(sum, m);
}

TEST(Matrix4, InversionMethodsGiveIdentityProducts)
{
    Matrix4 affine;
    affine.scale(2, 3, 4).rotate(30, 0.6, 0, 0.8).translate(1, -2, 5);
    ASSERT_EQ(affine[12], 0);
    ASSERT_EQ(affine[15], 1);
    Matrix4 inv = affine;
    inv.invert();
    expectIdentity(affine * inv, 4);
    Matrix4 inv2 = affine;
    inv2.invertAffine();
    expectNear(inv, inv2, 4);

    Matrix4 const general = generalMatrix();
    Matrix4 g = general;
    g.invert();
    expectIdentity(general * g, 4);
    expectIdentity(g * general, 4);
    Matrix4 p = general;
    p.invertProjective();
    expectNear(p, g, 4);

    Matrix4 rigid;
    rigid.rotate(40, 0, 0.6, 0.8).translate(3, 4, 5);
    Matrix4 e = rigid;
    e.invertEuclidean();
    expectIdentity(rigid * e, 4);

    Matrix4 singular = generalMatrix();
    singular.setRow(3, singular.get()); // two equal rows
    EXPECT_EQ(singular.invert(), Matrix4());
    EXPECT_EQ(Matrix4(0.1, 0, 0, 0, 0, 0.1, 0, 0, 0, 0, 0.1, 0, 0, 0, 0, 0.001).invertGeneral(), Matrix4());
}

TEST(Matrix4, ProjectiveInverseWithSingularLeadingBlock)
{
    // The upper-left 2x2 block is zero although the matrix (a permutation) is invertible.
    Matrix4 const m(0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0);
    Matrix4 inv = m;
    inv.invertProjective();
    expectIdentity(m * inv, 4);
}

TEST(Matrix4, DeterminantAndTranspose)
{
    Matrix4 const upper(2, 7, 1, 8, 0, 3, 2, 8, 0, 0, 5, 1, 0, 0, 0, 0.5);
    EXPECT_DOUBLE_EQ(upper.getDeterminant(), 15.0);
    Matrix4 const g = generalMatrix();
    EXPECT_NEAR((g * upper).getDeterminant(), g.getDeterminant() * upper.getDeterminant(), 1e-9);

    double const* t = upper.getTranspose();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(t[c * 4 + r], upper[r * 4 + c]);
    Matrix4 copy = upper;
    EXPECT_EQ(copy.getTranspose()[1], 0);
    copy.transpose();
    EXPECT_EQ(copy, Matrix4(t));
    EXPECT_EQ(copy.transpose(), upper);
}

TEST(Matrix4, Transformations)
{
    Matrix4 z;
    z.rotateZ(90);
    expectNear(z, Matrix4(0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1), 4, 1e-15);

    // The axis forms agree with rotation about the unit axes.
    Matrix4 base = generalMatrix();
    Matrix4 a = base, b = base;
    expectNear(a.rotateX(33), b.rotate(33, 1, 0, 0), 4);
    a = base, b = base;
    expectNear(a.rotateY(-71), b.rotate(-71, Vector3 { 0, 1, 0 }), 4);
    a = base, b = base;
    expectNear(a.rotateZ(12), b.rotate(12, 0, 0, 1), 4);

    Matrix4 m;
    m.scale(2).translate(Vector3 { 1, 2, 3 });
    Vector4 const p = m * Vector4 { 1, 1, 1, 1 };
    EXPECT_DOUBLE_EQ(p.x, 3);
    EXPECT_DOUBLE_EQ(p.y, 4);
    EXPECT_DOUBLE_EQ(p.z, 5);
    EXPECT_DOUBLE_EQ(p.w, 1);
    Vector3 const d = m * Vector3 { 1, 1, 1 }; // directions are not translated
    EXPECT_DOUBLE_EQ(d.x, 2);
    EXPECT_DOUBLE_EQ(d.y, 2);
    EXPECT_DOUBLE_EQ(d.z, 2);

    // Transformations apply from the left: T * M.
    Matrix4 t;
    t.translate(1, 2, 3);
    Matrix4 g = generalMatrix();
    Matrix4 const expected = t * g;
    EXPECT_EQ(g.translate(1, 2, 3), expected);

    Matrix4 r;
    r.setRow(4, Vector4 { 9, 9, 9, 9 });
    r.setColumn(7, Vector3 { 9, 9, 9 });
    EXPECT_EQ(r, Matrix4());
    r.setColumn(3, Vector3 { 1, 2, 3 });
    EXPECT_EQ(r, Matrix4(1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1));
}

TEST(Matrices, IdentityResetsEveryElementInPlace)
{
    Matrix2 m2(5, 6, 7, 8);
    EXPECT_EQ(&m2.identity(), &m2);
    expectIdentity(m2, 2, 0.0);

    Matrix3 m3(2, -1, 0, -1, 2, -1, 0, -1, 2);
    EXPECT_EQ(&m3.identity(), &m3);
    expectIdentity(m3, 3, 0.0);

    Matrix4 m4 = generalMatrix();
    EXPECT_EQ(&m4.identity(), &m4);
    expectIdentity(m4, 4, 0.0);
    // The identity leaves what it multiplies unchanged.
    expectNear(m4 * generalMatrix(), generalMatrix(), 4, 0.0);
}
