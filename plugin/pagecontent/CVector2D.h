// CVector2D: a plane vector on page coordinates with its length, direction,
// the angle to another vector and a cached unit vector.
#pragma once

#include <utility>

class CVector2D {
public:
    static constexpr double kPi = 3.14159265359;
    static constexpr double kHalfPi = 1.570796326795;

    CVector2D() = default;
    CVector2D(double x, double y) { Set(x, y); }
    CVector2D(double x1, double y1, double x2, double y2) { SetFromPoints(x1, y1, x2, y2); }
    CVector2D(const std::pair<double, double>& p1, const std::pair<double, double>& p2) { SetFromPoints(p1, p2); }
    CVector2D(const CVector2D& other) { Set(other.mX, other.mY); }
    CVector2D& operator=(const CVector2D& other) {
        Set(other.mX, other.mY);
        return *this;
    }

    void Set(double x, double y);
    void SetFromPoints(double x1, double y1, double x2, double y2) { Set(x2 - x1, y2 - y1); }
    void SetFromPoints(const std::pair<double, double>& p1, const std::pair<double, double>& p2) {
        SetFromPoints(p1.first, p1.second, p2.first, p2.second);
    }
    double X() const { return mX; }
    double Y() const { return mY; }

    // 1.0 once MakeUnit made this a unit vector; else the Euclidean length.
    double Length() const;
    // Caches the unit vector (a null vector gives not-a-number components).
    void ComputeUnit();
    double GetUnitX();
    double GetUnitY();
    // This vector becomes its unit vector.
    void MakeUnit();
    double Dot(const CVector2D& other) const { return mX * other.mX + mY * other.mY; }
    // The angle to other in radians (0..pi); the cosine is clamped to -1..1.
    double AngleBetween(const CVector2D& other) const;
    // The vector's angle in radians, -pi..pi.
    double Direction() const;

private:
    double mX = 0, mY = 0;
    double mUnitX = 0, mUnitY = 0;
    bool mCached = false;
    bool mUnit = false;
};
