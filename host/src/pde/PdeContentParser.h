// Reading content with qpdf's tokenizer into operands and operators, as
// viewers read it: the streams of a /Contents array are one content (a string
// or inline image data may run on into the next stream, while a name, number or
// operator ends with its stream), and an unfiltered inline image's data is as
// long as its dictionary says, whatever bytes it holds.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost {

// What the parser finds, in order.
class PdeContentSink {
public:
    virtual ~PdeContentSink() = default;
    // An operand, or an operator (BI, ID and EI included).
    virtual void object(QPDFObjectHandle object) = 0;
    // Asked after ID: the bytes of the inline image's data when its dictionary
    // tells them (no filter), else nullopt (the data then runs up to EI).
    virtual std::optional<size_t> inlineDataLength() = 0;
    // The inline image's data, as stored.
    virtual void inlineData(std::string data) = 0;
    // Something that could not be read as written, described; reading goes on.
    virtual void damaged(const std::string& what) = 0;
};

// Parses the pieces (the decoded streams of a content, in order) as one content.
// owner: the document that an indirect reference in an operand names an object
// of (may be null). Raises what qpdf raises for content it cannot read on.
void parsePdeContent(std::vector<std::string> pieces, QPDF* owner, PdeContentSink& sink);

}  // namespace qmhost
