#include <corvex/matrix.h>

#include <cmath>
#include <cstring>
#include <iostream>
#include <utility>

namespace {

// The singular cut-off is the single-precision 1e-5, widened exactly.
constexpr double kSingular = static_cast<double>(1e-5f);

double const kDegToRad = 4.0 * std::atan(1.0) / 180.0;

bool rowIndexOk(int i, int n, char const* what)
{
    if (i >= 0 && i < n)
        return true;
    std::cerr << "Matrix" << n << "::" << what << ": index " << i << " outside 0.." << n - 1 << '\n';
    return false;
}

double det3(double const* a)
{
    return a[0] * (a[4] * a[8] - a[5] * a[7]) - a[1] * (a[3] * a[8] - a[5] * a[6])
        + a[2] * (a[3] * a[7] - a[4] * a[6]);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Matrix2

Matrix2::Matrix2()
{
    identity();
}

Matrix2::Matrix2(double m0, double m1, double m2, double m3)
{
    set(m0, m1, m2, m3);
}

Matrix2::Matrix2(double const* src)
{
    identity();
    set(src);
}

void Matrix2::set(double const* src)
{
    if (src)
        std::memcpy(m, src, sizeof(m));
}

void Matrix2::set(double m0, double m1, double m2, double m3)
{
    m[0] = m0;
    m[1] = m1;
    m[2] = m2;
    m[3] = m3;
}

void Matrix2::setRow(int r, double const* row)
{
    if (!row || !rowIndexOk(r, 2, "setRow"))
        return;
    m[r * 2] = row[0];
    m[r * 2 + 1] = row[1];
}

void Matrix2::setRow(int r, Vector2 const& v)
{
    double const row[2] = { v.x, v.y };
    setRow(r, row);
}

void Matrix2::setColumn(int c, double const* col)
{
    if (!col || !rowIndexOk(c, 2, "setColumn"))
        return;
    m[c] = col[0];
    m[c + 2] = col[1];
}

void Matrix2::setColumn(int c, Vector2 const& v)
{
    double const col[2] = { v.x, v.y };
    setColumn(c, col);
}

Matrix2& Matrix2::identity()
{
    set(1, 0, 0, 1);
    return *this;
}

double Matrix2::getDeterminant() const
{
    return m[0] * m[3] - m[1] * m[2];
}

Matrix2& Matrix2::invert()
{
    double const det = getDeterminant();
    if (!(std::fabs(det) > kSingular))
        return identity();
    double const inv = 1.0 / det;
    set(m[3] * inv, -m[1] * inv, -m[2] * inv, m[0] * inv);
    return *this;
}

Matrix2 Matrix2::operator+(Matrix2 const& o) const
{
    return Matrix2(*this) += o;
}
Matrix2 Matrix2::operator-(Matrix2 const& o) const
{
    return Matrix2(*this) -= o;
}

Matrix2& Matrix2::operator+=(Matrix2 const& o)
{
    for (int i = 0; i < 4; ++i)
        m[i] += o.m[i];
    return *this;
}

Matrix2& Matrix2::operator-=(Matrix2 const& o)
{
    for (int i = 0; i < 4; ++i)
        m[i] -= o.m[i];
    return *this;
}

Matrix2 Matrix2::operator*(Matrix2 const& o) const
{
    Matrix2 r;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            r.m[i * 2 + j] = m[i * 2] * o.m[j] + m[i * 2 + 1] * o.m[2 + j];
    return r;
}

Matrix2& Matrix2::operator*=(Matrix2 const& o)
{
    return *this = *this * o;
}

Vector2 Matrix2::operator*(Vector2 const& v) const
{
    return { m[0] * v.x + m[1] * v.y, m[2] * v.x + m[3] * v.y };
}

bool Matrix2::operator==(Matrix2 const& o) const
{
    for (int i = 0; i < 4; ++i)
        if (m[i] != o.m[i])
            return false;
    return true;
}

bool Matrix2::operator!=(Matrix2 const& o) const
{
    return !(*this == o);
}

// ---------------------------------------------------------------------------------------------
// Matrix3

Matrix3::Matrix3()
{
    identity();
}

Matrix3::Matrix3(double m0, double m1, double m2, double m3, double m4, double m5, double m6, double m7,
                 double m8)
{
    set(m0, m1, m2, m3, m4, m5, m6, m7, m8);
}

Matrix3::Matrix3(double const* src)
{
    identity();
    set(src);
}

void Matrix3::set(double const* src)
{
    if (src)
        std::memcpy(m, src, sizeof(m));
}

void Matrix3::set(double m0, double m1, double m2, double m3, double m4, double m5, double m6, double m7,
                  double m8)
{
    m[0] = m0;
    m[1] = m1;
    m[2] = m2;
    m[3] = m3;
    m[4] = m4;
    m[5] = m5;
    m[6] = m6;
    m[7] = m7;
    m[8] = m8;
}

void Matrix3::setRow(int r, double const* row)
{
    if (!row || !rowIndexOk(r, 3, "setRow"))
        return;
    for (int c = 0; c < 3; ++c)
        m[r * 3 + c] = row[c];
}

void Matrix3::setRow(int r, Vector3 const& v)
{
    double const row[3] = { v.x, v.y, v.z };
    setRow(r, row);
}

void Matrix3::setColumn(int c, double const* col)
{
    if (!col || !rowIndexOk(c, 3, "setColumn"))
        return;
    for (int r = 0; r < 3; ++r)
        m[r * 3 + c] = col[r];
}

void Matrix3::setColumn(int c, Vector3 const& v)
{
    double const col[3] = { v.x, v.y, v.z };
    setColumn(c, col);
}

Matrix3& Matrix3::identity()
{
    set(1, 0, 0, 0, 1, 0, 0, 0, 1);
    return *this;
}

double Matrix3::getDeterminant() const
{
    return det3(m);
}

Matrix3& Matrix3::invert()
{
    double const c0 = m[4] * m[8] - m[5] * m[7];
    double const c1 = m[5] * m[6] - m[3] * m[8];
    double const c2 = m[3] * m[7] - m[4] * m[6];
    double const det = m[0] * c0 + m[1] * c1 + m[2] * c2;
    if (!(std::fabs(det) > kSingular))
        return identity();
    double const inv = 1.0 / det;
    // Adjugate: the transposed cofactor matrix.
    double const a[9] = {
        c0, m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
        c1, m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
        c2, m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3],
    };
    for (int i = 0; i < 9; ++i)
        m[i] = a[i] * inv;
    return *this;
}

Matrix3 Matrix3::operator+(Matrix3 const& o) const
{
    return Matrix3(*this) += o;
}
Matrix3 Matrix3::operator-(Matrix3 const& o) const
{
    return Matrix3(*this) -= o;
}

Matrix3& Matrix3::operator+=(Matrix3 const& o)
{
    for (int i = 0; i < 9; ++i)
        m[i] += o.m[i];
    return *this;
}

Matrix3& Matrix3::operator-=(Matrix3 const& o)
{
    for (int i = 0; i < 9; ++i)
        m[i] -= o.m[i];
    return *this;
}

Matrix3 Matrix3::operator*(Matrix3 const& o) const
{
    Matrix3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i * 3 + j] = m[i * 3] * o.m[j] + m[i * 3 + 1] * o.m[3 + j] + m[i * 3 + 2] * o.m[6 + j];
    return r;
}

Matrix3& Matrix3::operator*=(Matrix3 const& o)
{
    return *this = *this * o;
}

Vector3 Matrix3::operator*(Vector3 const& v) const
{
    return { m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
             m[6] * v.x + m[7] * v.y + m[8] * v.z };
}

bool Matrix3::operator==(Matrix3 const& o) const
{
    for (int i = 0; i < 9; ++i)
        if (m[i] != o.m[i])
            return false;
    return true;
}

bool Matrix3::operator!=(Matrix3 const& o) const
{
    return !(*this == o);
}

// ---------------------------------------------------------------------------------------------
// Matrix4

Matrix4::Matrix4()
{
    identity();
    std::memcpy(tm, m, sizeof(tm));
}

Matrix4::Matrix4(double m00, double m01, double m02, double m03, double m04, double m05, double m06,
                 double m07, double m08, double m09, double m10, double m11, double m12, double m13,
                 double m14, double m15)
{
    set(m00, m01, m02, m03, m04, m05, m06, m07, m08, m09, m10, m11, m12, m13, m14, m15);
    std::memset(tm, 0, sizeof(tm));
}

Matrix4::Matrix4(double const* src)
{
    identity();
    set(src);
    std::memset(tm, 0, sizeof(tm));
}

void Matrix4::set(double const* src)
{
    if (src)
        std::memcpy(m, src, sizeof(m));
}

void Matrix4::set(double m00, double m01, double m02, double m03, double m04, double m05, double m06,
                  double m07, double m08, double m09, double m10, double m11, double m12, double m13,
                  double m14, double m15)
{
    double const v[16] = { m00, m01, m02, m03, m04, m05, m06, m07, m08, m09, m10, m11, m12, m13, m14, m15 };
    std::memcpy(m, v, sizeof(m));
}

void Matrix4::setRow(int r, double const* row)
{
    if (!row || !rowIndexOk(r, 4, "setRow"))
        return;
    for (int c = 0; c < 4; ++c)
        m[r * 4 + c] = row[c];
}

void Matrix4::setRow(int r, Vector4 const& v)
{
    double const row[4] = { v.x, v.y, v.z, v.w };
    setRow(r, row);
}

void Matrix4::setRow(int r, Vector3 const& v)
{
    if (!rowIndexOk(r, 4, "setRow"))
        return;
    m[r * 4] = v.x;
    m[r * 4 + 1] = v.y;
    m[r * 4 + 2] = v.z;
}

void Matrix4::setColumn(int c, double const* col)
{
    if (!col || !rowIndexOk(c, 4, "setColumn"))
        return;
    for (int r = 0; r < 4; ++r)
        m[r * 4 + c] = col[r];
}

void Matrix4::setColumn(int c, Vector4 const& v)
{
    double const col[4] = { v.x, v.y, v.z, v.w };
    setColumn(c, col);
}

void Matrix4::setColumn(int c, Vector3 const& v)
{
    if (!rowIndexOk(c, 4, "setColumn"))
        return;
    m[c] = v.x;
    m[4 + c] = v.y;
    m[8 + c] = v.z;
}

double const* Matrix4::getTranspose() const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            tm[c * 4 + r] = m[r * 4 + c];
    return tm;
}

Matrix4& Matrix4::identity()
{
    set(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return *this;
}

Matrix4& Matrix4::transpose()
{
    for (int r = 0; r < 4; ++r)
        for (int c = r + 1; c < 4; ++c) {
            double const t = m[r * 4 + c];
            m[r * 4 + c] = m[c * 4 + r];
            m[c * 4 + r] = t;
        }
    return *this;
}

double Matrix4::getCofactor(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
                            double m7, double m8)
{
    double const a[9] = { m0, m1, m2, m3, m4, m5, m6, m7, m8 };
    return det3(a);
}

double Matrix4::getDeterminant() const
{
    // 2x2 minors of the lower two rows, shared by the four 3x3 minors of the first row.
    double const s01 = m[8] * m[13] - m[9] * m[12];
    double const s02 = m[8] * m[14] - m[10] * m[12];
    double const s03 = m[8] * m[15] - m[11] * m[12];
    double const s12 = m[9] * m[14] - m[10] * m[13];
    double const s13 = m[9] * m[15] - m[11] * m[13];
    double const s23 = m[10] * m[15] - m[11] * m[14];
    double const c0 = m[5] * s23 - m[6] * s13 + m[7] * s12;
    double const c1 = m[4] * s23 - m[6] * s03 + m[7] * s02;
    double const c2 = m[4] * s13 - m[5] * s03 + m[7] * s01;
    double const c3 = m[4] * s12 - m[5] * s02 + m[6] * s01;
    return m[0] * c0 - m[1] * c1 + m[2] * c2 - m[3] * c3;
}

Matrix4& Matrix4::invert()
{
    if (m[12] == 0 && m[13] == 0 && m[14] == 0 && m[15] == 1)
        return invertAffine();
    return invertGeneral();
}

Matrix4& Matrix4::invertGeneral()
{
    double const det = getDeterminant();
    if (!(std::fabs(det) > kSingular))
        return identity();

    double cof[16];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double minor[9];
            int k = 0;
            for (int i = 0; i < 4; ++i) {
                if (i == r)
                    continue;
                for (int j = 0; j < 4; ++j)
                    if (j != c)
                        minor[k++] = m[i * 4 + j];
            }
            double const sign = ((r + c) % 2 == 0) ? 1.0 : -1.0;
            cof[r * 4 + c] = sign
                * getCofactor(minor[0], minor[1], minor[2], minor[3], minor[4], minor[5], minor[6], minor[7],
                              minor[8]);
        }
    }
    double const inv = 1.0 / det;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[r * 4 + c] = cof[c * 4 + r] * inv;
    return *this;
}

Matrix4& Matrix4::invertAffine()
{
    Matrix3 r(m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]);
    r.invert();
    double const tx = m[3], ty = m[7], tz = m[11];
    m[0] = r[0];
    m[1] = r[1];
    m[2] = r[2];
    m[4] = r[3];
    m[5] = r[4];
    m[6] = r[5];
    m[8] = r[6];
    m[9] = r[7];
    m[10] = r[8];
    m[3] = -(r[0] * tx + r[1] * ty + r[2] * tz);
    m[7] = -(r[3] * tx + r[4] * ty + r[5] * tz);
    m[11] = -(r[6] * tx + r[7] * ty + r[8] * tz);
    return *this;
}

Matrix4& Matrix4::invertEuclidean()
{
    // A rotation's inverse is its transpose; no determinant test is needed.
    std::swap(m[1], m[4]);
    std::swap(m[2], m[8]);
    std::swap(m[6], m[9]);
    double const tx = m[3], ty = m[7], tz = m[11];
    m[3] = -(m[0] * tx + m[1] * ty + m[2] * tz);
    m[7] = -(m[4] * tx + m[5] * ty + m[6] * tz);
    m[11] = -(m[8] * tx + m[9] * ty + m[10] * tz);
    return *this;
}

Matrix4& Matrix4::invertProjective()
{
    // Blocks [A B; C D] of 2x2 matrices.
    Matrix2 a(m[0], m[1], m[4], m[5]);
    Matrix2 const b(m[2], m[3], m[6], m[7]);
    Matrix2 const c(m[8], m[9], m[12], m[13]);
    Matrix2 const d(m[10], m[11], m[14], m[15]);

    // With a singular A the block formula has no A^-1 to work with; the full adjugate still does.
    if (!(std::fabs(a.getDeterminant()) > kSingular))
        return invertGeneral();
    a.invert();

    Matrix2 const ab = a * b;
    Matrix2 const ca = c * a;
    Matrix2 s = d - c * ab;
    if (!(std::fabs(s.getDeterminant()) > kSingular))
        return identity();
    s.invert();

    Matrix2 const d2 = s;
    Matrix2 const zero(0, 0, 0, 0);
    Matrix2 const c2 = zero - d2 * ca;
    Matrix2 const b2 = zero - ab * d2;
    Matrix2 const a2 = a - b2 * ca;

    set(a2[0], a2[1], b2[0], b2[1], a2[2], a2[3], b2[2], b2[3], c2[0], c2[1], d2[0], d2[1], c2[2], c2[3],
        d2[2], d2[3]);
    return *this;
}

Matrix4& Matrix4::translate(double x, double y, double z)
{
    double const t[3] = { x, y, z };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            m[r * 4 + c] += t[r] * m[12 + c];
    return *this;
}

Matrix4& Matrix4::translate(Vector3 const& v)
{
    return translate(v.x, v.y, v.z);
}

Matrix4& Matrix4::scale(double s)
{
    return scale(s, s, s);
}

Matrix4& Matrix4::scale(double x, double y, double z)
{
    double const f[3] = { x, y, z };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            m[r * 4 + c] *= f[r];
    return *this;
}

Matrix4& Matrix4::rotate(double angle, double x, double y, double z)
{
    double const cs = std::cos(angle * kDegToRad);
    double const sn = std::sin(angle * kDegToRad);
    double const k = 1.0 - cs;
    // R = c I + (1 - c) a a^T + s [a]x, the axis taken as given.
    double const rm[9] = {
        cs + k * x * x,     k * x * y - sn * z, k * x * z + sn * y, k * y * x + sn * z, cs + k * y * y,
        k * y * z - sn * x, k * z * x - sn * y, k * z * y + sn * x, cs + k * z * z,
    };
    double out[12];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            out[r * 4 + c] = rm[r * 3] * m[c] + rm[r * 3 + 1] * m[4 + c] + rm[r * 3 + 2] * m[8 + c];
    std::memcpy(m, out, sizeof(out));
    return *this;
}

Matrix4& Matrix4::rotate(double angle, Vector3 const& axis)
{
    return rotate(angle, axis.x, axis.y, axis.z);
}

namespace {

// Rotation in the plane of rows p and q: p := p c - q s, q := q c + p s.
void rotateRows(double* m, int p, int q, double degrees)
{
    double const cs = std::cos(degrees * kDegToRad);
    double const sn = std::sin(degrees * kDegToRad);
    for (int c = 0; c < 4; ++c) {
        double const vp = m[p * 4 + c];
        double const vq = m[q * 4 + c];
        m[p * 4 + c] = vp * cs - vq * sn;
        m[q * 4 + c] = vq * cs + vp * sn;
    }
}

} // namespace

Matrix4& Matrix4::rotateX(double angle)
{
    rotateRows(m, 1, 2, angle);
    return *this;
}

Matrix4& Matrix4::rotateY(double angle)
{
    rotateRows(m, 2, 0, angle);
    return *this;
}

Matrix4& Matrix4::rotateZ(double angle)
{
    rotateRows(m, 0, 1, angle);
    return *this;
}

Matrix4 Matrix4::operator+(Matrix4 const& o) const
{
    return Matrix4(*this) += o;
}
Matrix4 Matrix4::operator-(Matrix4 const& o) const
{
    return Matrix4(*this) -= o;
}

Matrix4& Matrix4::operator+=(Matrix4 const& o)
{
    for (int i = 0; i < 16; ++i)
        m[i] += o.m[i];
    return *this;
}

Matrix4& Matrix4::operator-=(Matrix4 const& o)
{
    for (int i = 0; i < 16; ++i)
        m[i] -= o.m[i];
    return *this;
}

Matrix4 Matrix4::operator*(Matrix4 const& o) const
{
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0.0;
            for (int k = 0; k < 4; ++k)
                s += m[i * 4 + k] * o.m[k * 4 + j];
            r.m[i * 4 + j] = s;
        }
    return r;
}

Matrix4& Matrix4::operator*=(Matrix4 const& o)
{
    Matrix4 const p = *this * o;
    std::memcpy(m, p.m, sizeof(m));
    return *this;
}

Vector4 Matrix4::operator*(Vector4 const& v) const
{
    return { m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3] * v.w,
             m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7] * v.w,
             m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11] * v.w,
             m[12] * v.x + m[13] * v.y + m[14] * v.z + m[15] * v.w };
}

Vector3 Matrix4::operator*(Vector3 const& v) const
{
    return { m[0] * v.x + m[1] * v.y + m[2] * v.z, m[4] * v.x + m[5] * v.y + m[6] * v.z,
             m[8] * v.x + m[9] * v.y + m[10] * v.z };
}

bool Matrix4::operator==(Matrix4 const& o) const
{
    for (int i = 0; i < 16; ++i)
        if (m[i] != o.m[i])
            return false;
    return true;
}

bool Matrix4::operator!=(Matrix4 const& o) const
{
    return !(*this == o);
}
