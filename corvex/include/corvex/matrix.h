#pragma once

#include <corvex/corvex_global.h>

// Small fixed-size linear algebra. Matrices are stored row by row: element (r, c) sits at
// index r * N + c, and a matrix multiplies column vectors from the left.

struct CORVEX_EXPORT Vector2
{
    double x = 0.0;
    double y = 0.0;
};

struct CORVEX_EXPORT Vector3
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct CORVEX_EXPORT Vector4
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 0.0;
};

class CORVEX_EXPORT Matrix2
{
public:
    Matrix2();
    Matrix2(double m0, double m1, double m2, double m3);
    explicit Matrix2(double const* src);
    Matrix2(Matrix2 const&) = default;
    Matrix2(Matrix2&&) = default;
    Matrix2& operator=(Matrix2 const&) = default;
    Matrix2& operator=(Matrix2&&) = default;

    void set(double const* src);
    void set(double m0, double m1, double m2, double m3);
    // Rows and columns outside 0..1 are refused and leave the matrix unchanged.
    void setRow(int r, double const* row);
    void setRow(int r, Vector2 const& v);
    void setColumn(int c, double const* col);
    void setColumn(int c, Vector2 const& v);

    double const* get() const { return m; }
    double operator[](int i) const { return m[i]; }
    double& operator[](int i) { return m[i]; }

    Matrix2& identity();
    double getDeterminant() const;
    Matrix2& invert();

    Matrix2 operator+(Matrix2 const& o) const;
    Matrix2 operator-(Matrix2 const& o) const;
    Matrix2& operator+=(Matrix2 const& o);
    Matrix2& operator-=(Matrix2 const& o);
    Matrix2 operator*(Matrix2 const& o) const;
    Matrix2& operator*=(Matrix2 const& o);
    Vector2 operator*(Vector2 const& v) const;
    bool operator==(Matrix2 const& o) const;
    bool operator!=(Matrix2 const& o) const;

private:
    double m[4];
};

class CORVEX_EXPORT Matrix3
{
public:
    Matrix3();
    Matrix3(double m0, double m1, double m2, double m3, double m4, double m5, double m6, double m7,
            double m8);
    explicit Matrix3(double const* src);
    Matrix3(Matrix3 const&) = default;
    Matrix3(Matrix3&&) = default;
    Matrix3& operator=(Matrix3 const&) = default;
    Matrix3& operator=(Matrix3&&) = default;

    void set(double const* src);
    void set(double m0, double m1, double m2, double m3, double m4, double m5, double m6, double m7,
             double m8);
    // Rows and columns outside 0..2 are refused and leave the matrix unchanged.
    void setRow(int r, double const* row);
    void setRow(int r, Vector3 const& v);
    void setColumn(int c, double const* col);
    void setColumn(int c, Vector3 const& v);

    double const* get() const { return m; }
    double operator[](int i) const { return m[i]; }
    double& operator[](int i) { return m[i]; }

    Matrix3& identity();
    double getDeterminant() const;
    Matrix3& invert();

    Matrix3 operator+(Matrix3 const& o) const;
    Matrix3 operator-(Matrix3 const& o) const;
    Matrix3& operator+=(Matrix3 const& o);
    Matrix3& operator-=(Matrix3 const& o);
    Matrix3 operator*(Matrix3 const& o) const;
    Matrix3& operator*=(Matrix3 const& o);
    Vector3 operator*(Vector3 const& v) const;
    bool operator==(Matrix3 const& o) const;
    bool operator!=(Matrix3 const& o) const;

private:
    double m[9];
};

class CORVEX_EXPORT Matrix4
{
public:
    Matrix4();
    Matrix4(double m00, double m01, double m02, double m03, double m04, double m05, double m06, double m07,
            double m08, double m09, double m10, double m11, double m12, double m13, double m14, double m15);
    explicit Matrix4(double const* src);
    Matrix4(Matrix4 const&) = default;
    Matrix4(Matrix4&&) = default;
    Matrix4& operator=(Matrix4 const&) = default;
    Matrix4& operator=(Matrix4&&) = default;

    void set(double const* src);
    void set(double m00, double m01, double m02, double m03, double m04, double m05, double m06, double m07,
             double m08, double m09, double m10, double m11, double m12, double m13, double m14, double m15);
    // Rows and columns outside 0..3 are refused and leave the matrix unchanged. The Vector3
    // forms set the first three entries only.
    void setRow(int r, double const* row);
    void setRow(int r, Vector4 const& v);
    void setRow(int r, Vector3 const& v);
    void setColumn(int c, double const* col);
    void setColumn(int c, Vector4 const& v);
    void setColumn(int c, Vector3 const& v);

    double const* get() const { return m; }
    // Fills and returns the transpose buffer; the matrix itself is unchanged.
    double const* getTranspose() const;
    double operator[](int i) const { return m[i]; }
    double& operator[](int i) { return m[i]; }

    Matrix4& identity();
    Matrix4& transpose();
    double getDeterminant() const;

    // A singular matrix (|determinant| <= 1e-5) becomes the identity.
    Matrix4& invert();
    Matrix4& invertGeneral();
    Matrix4& invertAffine();
    Matrix4& invertEuclidean();
    Matrix4& invertProjective();

    // Each transformation T is applied from the left: M := T * M. Angles are in degrees.
    Matrix4& translate(double x, double y, double z);
    Matrix4& translate(Vector3 const& v);
    Matrix4& scale(double s);
    Matrix4& scale(double x, double y, double z);
    Matrix4& rotate(double angle, double x, double y, double z);
    Matrix4& rotate(double angle, Vector3 const& axis);
    Matrix4& rotateX(double angle);
    Matrix4& rotateY(double angle);
    Matrix4& rotateZ(double angle);

    Matrix4 operator+(Matrix4 const& o) const;
    Matrix4 operator-(Matrix4 const& o) const;
    Matrix4& operator+=(Matrix4 const& o);
    Matrix4& operator-=(Matrix4 const& o);
    Matrix4 operator*(Matrix4 const& o) const;
    Matrix4& operator*=(Matrix4 const& o);
    Vector4 operator*(Vector4 const& v) const;
    // Upper-left 3x3 only: directions are not translated.
    Vector3 operator*(Vector3 const& v) const;
    bool operator==(Matrix4 const& o) const;
    bool operator!=(Matrix4 const& o) const;

private:
    static double getCofactor(double m0, double m1, double m2, double m3, double m4, double m5, double m6,
                              double m7, double m8);

    double m[16];
    mutable double tm[16];
};
