// The box of a text object, measured while it is read: the text matrix and
// state followed through the text operators, advances taken from the font's
// /Widths (simple fonts) or /W and /DW (composite fonts), height from its
// descriptor's /Ascent and /Descent.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

#include "pde/PdeModel.h"

namespace qmhost {

class PdeTextMeasure {
public:
    // ctm: the CTM at BT; resources: where /Font names are found.
    PdeTextMeasure(const PdeMatrix& ctm, QPDFObjectHandle resources);
    // Takes the text state that holds at BT (Tf, Tc, Tw, Tz, TL, Ts).
    void setState(const PdeGState& state);
    void operate(const std::string& op, std::vector<QPDFObjectHandle> operands);
    bool fontMissing() const { return mFontMissing; }
    PdeBox box() const { return mBox; }

private:
    struct Font {
        bool twoByte = false;
        int firstChar = 0;
        std::vector<double> widths;
        std::map<int, double> cidWidths;
        double missingWidth = 500;
        double ascent = 800, descent = -200;
    };
    const Font& font(const std::string& name);
    static void standardMetrics(const std::string& name, Font& font);
    void show(const std::string& codes);
    void nextLine(double tx, double ty);

    PdeMatrix mCtm;
    QPDFObjectHandle mResources;
    std::map<std::string, Font> mFonts;
    const Font* mFont = nullptr;
    bool mFontMissing = false;
    double mSize = 0, mCharSpacing = 0, mWordSpacing = 0, mScale = 1, mLeading = 0, mRise = 0;
    PdeMatrix mTm, mTlm;
    PdeBox mBox;
};

}  // namespace qmhost
