// Writing a page-content model back as a content stream: each element in its
// own q ... Q with its clip, graphics state and CTM, containers as BDC ... EMC.
// Content that was not read whole, or that nests deeper than the model may, is
// refused rather than written without what is missing.
// Resource names are resolved against the target resource dictionary: a name
// that the target lacks is added, one that names something else there is
// renamed, and objects of another document are copied in.
#pragma once

#include <set>
#include <string>

#include <qpdf/QPDFObjectHandle.hh>

#include "cos/Document.h"
#include "pde/PdeModel.h"

namespace qmhost {

class PdeWriter {
public:
    // base: the resource dictionary the content will be drawn with (may be null).
    PdeWriter(Document& target, QPDFObjectHandle base);

    std::string write(const PdeContent& content);
    // The resource dictionary to draw the written content with: base itself when
    // nothing had to be added, else a new direct dictionary.
    QPDFObjectHandle resources() const;
    bool resourcesChanged() const { return mChanged; }

    void writeElement(std::string& out, const PdeElement& element);
    void writeOp(std::string& out, const PdeOp& op, const PdeSource& source);
    void writeGState(std::string& out, const PdeGState& state, const PdeSource& source);
    // The name under which value (of source's document) is in the target's
    // category; original is the name it had when read.
    std::string resourceName(const char* category, const std::string& original, QPDFObjectHandle value,
                             const PdeSource& source);
    // A name of source's resources, resolved for the target.
    std::string mapName(const char* category, const std::string& name, const PdeSource& source);
    // The object in the target document (copied from another document when need be).
    QPDFObjectHandle import(QPDFObjectHandle value, uint32_t sourceSerial);
    // Writes a changed form's content into its (target) XObject stream, once.
    void rewriteForm(QPDFObjectHandle stream, PdeContent& content);

    static std::string number(double value);
    // A 16.16 value with the fewest decimals that read back as the same value
    // (five always do: their error is under half a step).
    static std::string fixedNumber(ASFixed value);

private:
    Document& mTarget;
    QPDFObjectHandle mResources;
    bool mChanged = false;
    std::set<std::string> mCopiedCategories;
    std::set<QPDFObjGen> mRewritten;
    size_t mDepth = 0;  // marked content and rewritten forms entered
};

}  // namespace qmhost
