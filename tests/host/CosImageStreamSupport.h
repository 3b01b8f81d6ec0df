// Shared by the tests of image streams made through Cos newStream: a read
// procedure that answers in chunks and can fail, decoders for what was stored,
// and a fixture over one new document.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>

#include "HostTables.h"
#include "common/HostErrorOf.h"
#include "common/PdfFixtures.h"
#include "common/QpdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CoreTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace cosimagetest {

inline const CosTable& cos() { return *qmhost::cosTable(); }
inline const AppSupportTable& support() { return *qmhost::appSupportTable(); }

using qmtest::Raised;
using qmtest::raisedBy;

inline std::string drain(ASStm stream) {
    std::string data;
    char buffer[4096];
    for (int32_t n; (n = support().stmRead(buffer, 1, sizeof buffer, stream)) > 0;)
        data.append(buffer, static_cast<size_t>(n));
    support().stmClose(stream);
    return data;
}

using qmtest::inflate;

// LZW codes decoded by qpdf's decoder, or "<undecodable>".
inline std::string lzwDecode(const std::string& codes, bool earlyChange) {
    QPDF scratch;
    scratch.emptyPDF();
    QPDFObjectHandle stream = scratch.newStream();
    stream.replaceStreamData(codes, QPDFObjectHandle::newName("/LZWDecode"),
                             earlyChange ? QPDFObjectHandle::newNull()
                                         : QPDFObjectHandle::parse("<< /EarlyChange 0 >>"));
    try {
        const std::shared_ptr<Buffer> data = stream.getStreamData(qpdf_dl_generalized);
        return std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    } catch (const std::exception&) {
        return "<undecodable>";
    }
}

// Bytes that compress poorly: the LZW table fills and starts again many times.
inline std::string noise(size_t size, uint32_t seed) {
    std::string data(size, '\0');
    for (char& c : data) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>((seed >> 16) & 0xFF);
    }
    return data;
}

// A read procedure's source: answers at most `chunk` bytes a call, and fails
// (a negative answer or a throw) once `failAt` bytes were given.
struct ChunkedSource {
    enum class Failure { None, Negative, Throws };
    std::string data;
    size_t chunk = 1;
    Failure failure = Failure::None;
    size_t failAt = 0;
    size_t position = 0;
    int endCalls = 0;  // calls answered with 0
};

inline int32_t ReadChunk(char* buffer, int32_t size, void* client) {
    auto* source = static_cast<ChunkedSource*>(client);
    if (source->failure != ChunkedSource::Failure::None && source->position >= source->failAt) {
        if (source->failure == ChunkedSource::Failure::Negative) return -1;
        throw std::runtime_error("the decoder behind the stream failed");
    }
    size_t n = std::min(source->data.size() - source->position, source->chunk);
    n = std::min(n, static_cast<size_t>(size));
    std::memcpy(buffer, source->data.data() + source->position, n);
    source->position += n;
    if (n == 0) ++source->endCalls;
    return static_cast<int32_t>(n);
}

class CosImageStreamFixture : public ::testing::Test {
protected:
    qmtest::HostDoc doc = qmtest::HostDoc::create();
    CosDoc cd() const { return doc.cos(); }
    QPDF& qpdf() { return qmhost::documentOf(cd())->qpdf(); }
    size_t objectCount() { return qpdf().getAllObjects().size(); }

    // A dictionary of the document written in PDF syntax.
    CosObj dict(const std::string& text) {
        return qmhost::handleFor(*qmhost::documentOf(cd()), QPDFObjectHandle::parse(text));
    }
    static std::string image(int width, int height, const std::string& space, int bits, const std::string& filter) {
        return "<< /Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
               std::to_string(height) + " /ColorSpace " + space + " /BitsPerComponent " + std::to_string(bits) +
               (filter.empty() ? std::string() : " /Filter " + filter) + " >>";
    }
    CosObj fromMemory(const std::string& data, CosObj attributes) {
        ASStm source = support().memStmOpen(data.data(), static_cast<int64_t>(data.size()));
        struct Closer {
            ASStm s;
            ~Closer() { support().stmClose(s); }
        } closer{source};
        return cos().newStream(cd(), true, source, 0, 1, attributes, cos().newNull(), -1);
    }
    CosObj fromProcedure(ChunkedSource& source, CosObj attributes) {
        ASCallback read = qmhost::coreTable()->makeCallback(nullptr, reinterpret_cast<ASProc>(&ReadChunk));
        ASStm stream = support().procStmOpen(read, &source);
        struct Closer {
            ASStm s;
            ~Closer() { support().stmClose(s); }
        } closer{stream};
        return cos().newStream(cd(), true, stream, -1, 1, attributes, cos().newNull(), -1);
    }
    std::string stored(CosObj stream) { return drain(cos().streamOpen(stream, kCosStreamStored)); }
    std::string decoded(CosObj stream) { return drain(cos().streamOpen(stream, kCosStreamDecoded)); }

    // Saves the document with one page of width x height points showing image.
    std::string savePageShowing(CosObj imageStream, int width, int height, const qmtest::FixtureFolder& folder) {
        const std::string w = std::to_string(width), h = std::to_string(height);
        QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 " + w + " " + h + "] >>");
        QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
        xobjects.replaceKey("/Im0", qmhost::objectOf(imageStream));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/XObject", xobjects);
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", qpdf().newStream("q " + w + " 0 0 " + h + " 0 0 cm /Im0 Do Q"));
        qpdf().addPage(qpdf().makeIndirectObject(page), false);
        const std::string path = folder.file("image.pdf");
        qmhost::pdModelTable()->docSave(doc.pd(), qmtest::HostPath(path));
        return path;
    }
};

}  // namespace cosimagetest
