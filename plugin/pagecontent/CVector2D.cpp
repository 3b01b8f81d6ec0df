#include "pagecontent/CVector2D.h"

#include <algorithm>
#include <cmath>

void CVector2D::Set(double x, double y) {
    mX = x;
    mY = y;
    mCached = false;
    mUnit = false;
}

double CVector2D::Length() const { return mUnit ? 1.0 : std::sqrt(mX * mX + mY * mY); }

void CVector2D::ComputeUnit() {
    if (mCached) return;
    const double length = Length();
    mUnitX = mX / length;
    mUnitY = mY / length;
    mCached = true;
}

double CVector2D::GetUnitX() {
    ComputeUnit();
    return mUnitX;
}

double CVector2D::GetUnitY() {
    ComputeUnit();
    return mUnitY;
}

void CVector2D::MakeUnit() {
    ComputeUnit();
    mX = mUnitX;
    mY = mUnitY;
    mUnit = true;
}

double CVector2D::AngleBetween(const CVector2D& other) const {
    double c = Dot(other) / (other.Length() * Length());
    c = std::min(c, 1.0);
    c = std::max(c, -1.0);
    return std::acos(c);
}

double CVector2D::Direction() const {
    double a = mX != 0 ? std::atan(mY / mX) : (mY >= 0 ? kHalfPi : -kHalfPi);
    if (mX < 0) a = mY < 0 ? a - kPi : a + kPi;
    return a;
}
