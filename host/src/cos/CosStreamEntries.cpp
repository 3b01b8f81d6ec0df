// Streams of the "Cos" table.
#include <memory>
#include <string>

#include <qpdf/Buffer.hh>

#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/CosEntries.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "cos/StreamFilters.h"
#include "support/Streams.h"

namespace qmhost::cos {
namespace {

// New unfiltered streams shorter than this are saved as they are. Measured on
// 20,000 stamped pages with text pieces of 140 to 155 bytes: stored raw, +194
// bytes a page for a Bates number and +219 for a "Page n of N" footer with the
// date; compressed (a limit of 128), +201 and +214 bytes, as Flate saves less
// than its filter entry costs, and the save takes 20 % more processor time.
// That time is zlib's set-up, not the compressing: each stream gets a fresh
// compressor with a 32 KB window and 256 KB of tables, whose hash table is
// cleared before the first byte, about 20 microseconds, against well under one
// for deflating 150 bytes.
constexpr size_t kStoreUncompressedBelow = 256;

std::string bufferText(const std::shared_ptr<Buffer>& buffer) {
    if (!buffer || buffer->getSize() == 0) return std::string();
    return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

// The bytes newStream stores: from offset (or where the source stands) for
// length bytes (or to the end). A source that ends early is an error, not a
// silently shorter stream.
std::string readSource(ASStm source, int64_t offset, int64_t length) {
    if (offset < -1 || length < -1)
        raise(kHostErrBadParameter, "newStream: bad offset " + std::to_string(offset) +
                                        " or length " + std::to_string(length));
    HostStream& stream = streamOf(source);
    if (offset >= 0 && !stream.seek(offset))
        raise(kHostErrStream, "newStream: the source cannot move to offset " + std::to_string(offset));
    std::string data;
    try {
        data = readAll(stream, length);
    } catch (const HostError& e) {
        raise(e.code(), std::string("newStream: ") + e.what());
    }
    if (length >= 0 && static_cast<int64_t>(data.size()) < length)
        raise(kHostErrStream, "newStream: the source ended after " + std::to_string(data.size()) +
                                  " of " + std::to_string(length) + " bytes");
    return data;
}

}  // namespace

CosObj newStream(CosDoc doc, bool, ASStm source, int64_t offset, int16_t encodeSource,
                 CosObj attributes, CosObj encodeParms, int64_t length) {
    Document& document = checkedDocument(doc, "newStream");
    checkSameDocument(document, attributes, "newStream");
    checkSameDocument(document, encodeParms, "newStream");  // reserved: checked, not used
    QPDFObjectHandle attributesObject;
    if (!isNullHandle(attributes)) attributesObject = objectOfType(attributes, CosDict, "newStream");
    // A source that fails (a procedure stream's read procedure answering an
    // error or throwing) ends here, before the document has a new object.
    std::string data = readSource(source, offset, length);
    return docGuarded("newStream", document, [&] {
        // Without attributes (the usual content piece) there is nothing to
        // copy, no filter to encode for or look up.
        const bool plain = !attributesObject.isInitialized();
        QPDFObjectHandle attributesCopy;
        if (!plain) {
            attributesCopy = QPDFObjectHandle::newDictionary();
            for (auto& [key, value] : attributesObject.getDictAsMap())
                if (key != "/Length") attributesCopy.replaceKey(key, value);
            // Encoding may refuse the data: done before the stream object is
            // made, so that a refusal leaves nothing behind in the document.
            if (encodeSource != 0) data = encodeForFilters(std::move(data), attributesCopy);
        }
        QPDFObjectHandle stream = document.qpdf().newStream();
        QPDFObjectHandle dict = stream.getDict();
        if (!plain)
            for (auto& [key, value] : attributesCopy.getDictAsMap()) dict.replaceKey(key, value);
        // qpdf's newNull allocates: one null serves, as replaceStreamData only reads it.
        static const QPDFObjectHandle none = QPDFObjectHandle::newNull();
        QPDFObjectHandle filter = plain ? none : entryOf(dict, "/Filter");
        QPDFObjectHandle parms = plain ? none : entryOf(dict, "/DecodeParms");
        const bool tiny = data.size() < kStoreUncompressedBelow && filter.isNull();
        stream.replaceStreamData(data, filter, parms);
        // Flate makes a stream this small larger, not smaller (the filter's
        // name and zlib's frame outweigh what it saves), and starting the
        // compressor costs more than writing the bytes.
        if (tiny) stream.setFilterOnWrite(false);
        return handleFor(document, stream);
    });
}

CosObj streamDict(CosObj stream) {
    return cosGuarded("streamDict", stream, [&] {
        QPDFObjectHandle object = objectOfType(stream, CosStream, "streamDict");
        return handleFor(documentOfObject(stream), object.getDict());
    });
}

ASStm streamOpen(CosObj stream, int16_t mode) {
    if (mode != kCosStreamStored && mode != kCosStreamDecoded)
        raise(kHostErrBadParameter, "streamOpen: bad mode " + std::to_string(mode));
    std::string data = cosGuarded("streamOpen", stream, [&] {
        QPDFObjectHandle object = objectOfType(stream, CosStream, "streamOpen");
        if (mode == kCosStreamStored) return bufferText(object.getRawStreamData());
        try {
            // qpdf hands back the part of a damaged stream that decoded and only
            // warns; a stream that does not decode whole is a failure here.
            QPDF& qpdf = documentOfObject(stream).qpdf();
            const size_t warningsBefore = qpdf.numWarnings();
            std::string decoded = bufferText(object.getStreamData(qpdf_dl_specialized));
            if (qpdf.numWarnings() > warningsBefore)
                raise(kHostErrFilter, "streamOpen: the data of " + describeObject(stream) +
                                          " does not decode whole: " +
                                          qpdf.getWarnings().back().getMessageDetail());
            return decoded;
        } catch (const HostError&) {
            throw;
        } catch (const std::exception& e) {
            // Data that cannot be read from the file fails here again, as the
            // damage it is; only what is left is a filter problem.
            object.getRawStreamData();
            raise(kHostErrFilter, "streamOpen: the data of " + describeObject(stream) +
                                      " cannot be decoded: " + e.what());
        }
    });
    return openMemoryStream(std::move(data));
}

int64_t streamLength(CosObj stream) {
    return cosGuarded("streamLength", stream, [&] {
        QPDFObjectHandle object = objectOfType(stream, CosStream, "streamLength");
        return static_cast<int64_t>(object.getRawStreamData()->getSize());
    });
}

}  // namespace qmhost::cos
