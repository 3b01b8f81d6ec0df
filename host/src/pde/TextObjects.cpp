#include "pde/TextObjects.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "core/Raise.h"
#include "pde/FontRegistry.h"
#include "support/FixedMath.h"

namespace qmhost {
namespace {

struct TextRun {
    std::string codes;
    std::shared_ptr<const HostFont> font;
    ASFixedMatrix matrix;
};

struct Texts {
    std::mutex lock;
    std::map<uintptr_t, std::vector<TextRun>> runs;
};

Texts& texts() {
    static Texts* t = new Texts;  // never destroyed, as the other handle registries
    return *t;
}

std::vector<TextRun>& runsOf(Texts& t, PDEText text, const char* op) {
    if (!text) raise(kHostErrBadParameter, std::string(op) + ": no text object given");
    auto it = t.runs.find(reinterpret_cast<uintptr_t>(text));
    if (it == t.runs.end())
        raise(kHostErrBadHandle, std::string(op) + ": unknown or released text object " +
                                     std::to_string(reinterpret_cast<uintptr_t>(text)));
    return it->second;
}

double toDouble(ASFixed v) { return fixedToDouble(v); }

}  // namespace

PDEText createText() {
    const uintptr_t number = nextPdeHandleNumber();
    Texts& t = texts();
    std::lock_guard<std::mutex> guard(t.lock);
    t.runs.emplace(number, std::vector<TextRun>());
    return reinterpret_cast<PDEText>(number);
}

void addTextRun(PDEText text, int32_t index, std::string codes, std::shared_ptr<const HostFont> font,
                const ASFixedMatrix& matrix) {
    Texts& t = texts();
    std::lock_guard<std::mutex> guard(t.lock);
    auto& runs = runsOf(t, text, "textAddRun");
    if (index < 0 || static_cast<size_t>(index) > runs.size())
        raise(kHostErrBadIndex, "textAddRun: run " + std::to_string(index) + " of a text with " +
                                    std::to_string(runs.size()) + " runs");
    runs.insert(runs.begin() + index, TextRun{std::move(codes), std::move(font), matrix});
}

int32_t textRunCount(PDEText text) {
    Texts& t = texts();
    std::lock_guard<std::mutex> guard(t.lock);
    return static_cast<int32_t>(runsOf(t, text, "textGetNumRuns").size());
}

ASFixedRect textRunBox(PDEText text, int32_t index) {
    Texts& t = texts();
    std::lock_guard<std::mutex> guard(t.lock);
    const auto& runs = runsOf(t, text, "textGetRunBBox");
    if (index < 0 || static_cast<size_t>(index) >= runs.size())
        raise(kHostErrBadIndex, "textGetRunBBox: run " + std::to_string(index) + " of a text with " +
                                    std::to_string(runs.size()) + " runs");
    const TextRun& run = runs[static_cast<size_t>(index)];
    const double right = run.font->advance(run.codes) / 1000.0;
    const double bottom = run.font->descent() / 1000.0, top = run.font->ascent() / 1000.0;
    // Mapped in floating point and rounded once, so a long run keeps its width exact.
    const ASFixedMatrix& m = run.matrix;
    const double a = toDouble(m.a), b = toDouble(m.b), c = toDouble(m.c), d = toDouble(m.d);
    const double h = toDouble(m.h), v = toDouble(m.v);
    double xs[4], ys[4];
    const double px[4] = {0, right, right, 0}, py[4] = {bottom, bottom, top, top};
    for (int k = 0; k < 4; ++k) {
        xs[k] = a * px[k] + c * py[k] + h;
        ys[k] = b * px[k] + d * py[k] + v;
    }
    ASFixedRect box;
    box.left = fixedFromDouble(*std::min_element(xs, xs + 4));
    box.right = fixedFromDouble(*std::max_element(xs, xs + 4));
    box.bottom = fixedFromDouble(*std::min_element(ys, ys + 4));
    box.top = fixedFromDouble(*std::max_element(ys, ys + 4));
    return box;
}

void releaseText(PDEText text) {
    Texts& t = texts();
    std::lock_guard<std::mutex> guard(t.lock);
    t.runs.erase(reinterpret_cast<uintptr_t>(text));
}

}  // namespace qmhost
