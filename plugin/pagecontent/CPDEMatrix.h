// CPDEMatrix: the 2x3 affine matrix of doubles with which page-content elements
// are placed: a point (x, y) maps to (x a + y c + h, x b + y d + v). Converts to
// and from the host's 16.16 fixed matrices (rounded half away from zero, the
// one fixed-point conversion), fixed and 16-bit device rectangles, and Cos arrays.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"
#include "support/cos/CCosArray.h"

// A 16-bit device rectangle (device y grows downward) and point (vertical first).
using Rect16 = CCosArray::Rect16;
struct Point16 {
    int16_t v, h;
};

class CPDEMatrix {
public:
    CPDEMatrix();  // identity
    CPDEMatrix(double a, double b, double c, double d, double h, double v);
    explicit CPDEMatrix(const ASFixedMatrix& m);
    CPDEMatrix(const CPDEMatrix& other);
    CPDEMatrix& operator=(const CPDEMatrix& other);  // the six values; the fixed cache is not copied
    // The matrix of the unit square onto the rectangle: a = width, d = |height|,
    // h = left, v = bottom (fixed) or top (device); b = c = 0.
    explicit CPDEMatrix(const ASFixedRect& r);
    explicit CPDEMatrix(const Rect16& r);
    explicit CPDEMatrix(const CCosArray& array);  // SetFromCosArray

    void SetIdentity();
    void Set(double a, double b, double c, double d, double h, double v);
    void SetA(double a) { mA = a; }
    void SetD(double d) { mD = d; }
    void SetH(double h) { mH = h; }
    void SetV(double v) { mV = v; }
    double A() const { return mA; }
    double B() const { return mB; }
    double C() const { return mC; }
    double D() const { return mD; }
    double H() const { return mH; }
    double V() const { return mV; }
    // 0 a, 1 b, 2 c, 3 d, 4 h, 5 v; any other index gives a.
    double& Element(int32_t index);

    // result = other applied first, then this; answers result.
    CPDEMatrix& Product(const CPDEMatrix& other, CPDEMatrix& result) const;
    // This becomes: this applied first, then other.
    void Concat(const CPDEMatrix& other);
    void TransformPoint(double& x, double& y) const;

    void ToFixed(ASFixedMatrix& out) const;
    // Fills the fixed cache and answers it.
    const ASFixedMatrix& GetFixedMatrix() const;
    ASFixedMatrix& GetFixedMatrix();

    // Elements 0..5 of a Cos array (numbers) into a b c d h v.
    void SetFromCosArray(const CCosArray& array);
    // a b c d h v as real numbers at 0..5.
    void ToCosArray(CCosArray& array) const;
    // An integer or fixed Cos number as a double; throws kErrNotANumber otherwise.
    static double CosNumberValue(CosObj object);

private:
    double mA = 1, mB = 0, mC = 0, mD = 1, mH = 0, mV = 0;
    mutable ASFixedMatrix mFixed{};
};
