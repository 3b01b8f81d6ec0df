#include "pagecontent/CPDEMatrix.h"

#include <cstdlib>

#include "support/ErrorCode.h"
#include "support/FixedPoint.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

CPDEMatrix::CPDEMatrix() = default;

CPDEMatrix::CPDEMatrix(double a, double b, double c, double d, double h, double v)
    : mA(a), mB(b), mC(c), mD(d), mH(h), mV(v) {}

CPDEMatrix::CPDEMatrix(const ASFixedMatrix& m)
    : mA(FixedToDouble(m.a)), mB(FixedToDouble(m.b)), mC(FixedToDouble(m.c)), mD(FixedToDouble(m.d)),
      mH(FixedToDouble(m.h)), mV(FixedToDouble(m.v)) {}

CPDEMatrix::CPDEMatrix(const CPDEMatrix& other) { *this = other; }

CPDEMatrix& CPDEMatrix::operator=(const CPDEMatrix& other) {
    if (this != &other) Set(other.mA, other.mB, other.mC, other.mD, other.mH, other.mV);
    return *this;
}

CPDEMatrix::CPDEMatrix(const ASFixedRect& r)
    : mA(FixedToDouble(r.right - r.left)), mB(0), mC(0), mD(std::abs(FixedToDouble(r.top - r.bottom))),
      mH(FixedToDouble(r.left)), mV(FixedToDouble(r.bottom)) {}

CPDEMatrix::CPDEMatrix(const Rect16& r)
    : mA(r.right - r.left), mB(0), mC(0), mD(std::abs(r.top - r.bottom)), mH(r.left), mV(r.top) {}

CPDEMatrix::CPDEMatrix(const CCosArray& array) { SetFromCosArray(array); }

void CPDEMatrix::SetIdentity() { Set(1, 0, 0, 1, 0, 0); }

void CPDEMatrix::Set(double a, double b, double c, double d, double h, double v) {
    mA = a, mB = b, mC = c, mD = d, mH = h, mV = v;
}

double& CPDEMatrix::Element(int32_t index) {
    switch (index) {
    case 1: return mB;
    case 2: return mC;
    case 3: return mD;
    case 4: return mH;
    case 5: return mV;
    default: return mA;
    }
}

CPDEMatrix& CPDEMatrix::Product(const CPDEMatrix& o, CPDEMatrix& r) const {
    const CPDEMatrix t(mA * o.mA + mC * o.mB, mB * o.mA + mD * o.mB, mA * o.mC + mC * o.mD, mB * o.mC + mD * o.mD,
                       mA * o.mH + mC * o.mV + mH, mB * o.mH + mD * o.mV + mV);
    r = t;
    return r;
}

void CPDEMatrix::Concat(const CPDEMatrix& o) {
    Set(o.mA * mA + o.mC * mB, o.mB * mA + o.mD * mB, o.mA * mC + o.mC * mD, o.mB * mC + o.mD * mD,
        o.mA * mH + o.mC * mV + o.mH, o.mB * mH + o.mD * mV + o.mV);
}

void CPDEMatrix::TransformPoint(double& x, double& y) const {
    const double nx = x * mA + y * mC + mH, ny = x * mB + y * mD + mV;
    x = nx;
    y = ny;
}

void CPDEMatrix::ToFixed(ASFixedMatrix& out) const {
    out = {FixedFromDouble(mA), FixedFromDouble(mB), FixedFromDouble(mC),
           FixedFromDouble(mD), FixedFromDouble(mH), FixedFromDouble(mV)};
}

const ASFixedMatrix& CPDEMatrix::GetFixedMatrix() const {
    ToFixed(mFixed);
    return mFixed;
}

ASFixedMatrix& CPDEMatrix::GetFixedMatrix() {
    ToFixed(mFixed);
    return mFixed;
}

void CPDEMatrix::SetFromCosArray(const CCosArray& array) {
    for (int32_t i = 0; i < 6; ++i) Element(i) = CosNumberValue(array.GetValue(i));
}

void CPDEMatrix::ToCosArray(CCosArray& array) const {
    const double values[6] = {mA, mB, mC, mD, mH, mV};
    for (int32_t i = 0; i < 6; ++i) array.PutFloat(i, values[i]);
}

double CPDEMatrix::CosNumberValue(CosObj object) {
    const int32_t type = CallHost([&] { return gCosHFT->objGetType(object); });
    if (type == CosInteger) return CallHost([&] { return gCosHFT->integerValue(object); });
    if (type == CosFixed) return FixedToDouble(CallHost([&] { return gCosHFT->fixedValue(object); }));
    ThrowErrorCode(kErrNotANumber);
}
