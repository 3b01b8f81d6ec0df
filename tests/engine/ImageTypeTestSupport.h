// Helpers shared by the image-type tests: a blank document to make image
// XObjects in, readings of what was made, independent decodes of the fixture
// files, and reads of a procedure stream through the host in fixed chunks.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <tiffio.h>

#include "EngineFixture.h"
#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "engine/CPDFDocument.h"
#include "common/ImageFixtures.h"
#include "support/io/CBridgeFileStream.h"
#include "support/ErrorMessage.h"
#include "support/cos/CCosObj.h"
#include "support/HostTables.h"

namespace imagetest {

// A new one-page document of the host, closed at the end.
struct BlankDocument {
    CPDFDocument doc;
    BlankDocument() {
        enginetest::StartEngine();
        doc.CreateNew();
    }
    PDDoc pd() const { return doc.GetPDDoc(); }
};

// A file stream named after path (not opened).
inline std::unique_ptr<CBridgeFileStream> StreamOn(const std::string& path) {
    auto stream = std::make_unique<CBridgeFileStream>();
    stream->SetPathText(path.c_str());
    return stream;
}

inline std::string AtomText(ASAtom atom) {
    return gCoreHFT->atomGetString(atom);
}

inline CosObj DictValue(CosObj streamOrDict, const char* key) {
    const CosObj dict = gCosHFT->objGetType(streamOrDict) == CosStream
                            ? gCosHFT->streamDict(streamOrDict)
                            : streamOrDict;
    return gCosHFT->dictGet(dict, qmtest::nameAtom(key));
}
inline std::string NameAt(CosObj obj, const char* key) {
    const CosObj value = DictValue(obj, key);
    return gCosHFT->objGetType(value) == CosName ? AtomText(gCosHFT->nameValue(value))
                                                 : "<not a name>";
}
inline int32_t IntAt(CosObj obj, const char* key) {
    return gCosHFT->integerValue(DictValue(obj, key));
}

inline std::vector<uint8_t> Bytes(const std::string& data) {
    return {data.begin(), data.end()};
}

// Reads a host stream to its end in chunks of `chunk` bytes.
inline std::vector<uint8_t> ReadInChunks(ASStm stream, int32_t chunk) {
    std::vector<uint8_t> data;
    std::vector<char> buffer(static_cast<size_t>(chunk));
    for (int32_t n; (n = gAppSupportHFT->stmRead(buffer.data(), 1, chunk, stream)) > 0;)
        data.insert(data.end(), buffer.begin(), buffer.begin() + n);
    return data;
}

// libjpeg's own decode of a JPEG file's bytes (no inversion of any kind).
struct Decoded {
    int width = 0, height = 0, components = 0;
    bool app14 = false;
    std::vector<uint8_t> samples;
};
inline Decoded DecodeJpeg(const std::vector<uint8_t>& bytes) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    errors.output_message = [](j_common_ptr) {};
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    Decoded out;
    out.width = int(cinfo.output_width);
    out.height = int(cinfo.output_height);
    out.components = cinfo.output_components;
    out.app14 = cinfo.saw_Adobe_marker;
    const size_t rowBytes = size_t(out.width) * size_t(out.components);
    out.samples.resize(rowBytes * size_t(out.height));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.samples.data() + cinfo.output_scanline * rowBytes;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return out;
}

inline std::vector<uint8_t> Inverted(std::vector<uint8_t> samples) {
    for (uint8_t& s : samples) s = uint8_t(255 - s);
    return samples;
}

// The largest difference between two sample arrays of one size (256 when
// the sizes differ).
inline int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return 256;
    int most = 0;
    for (size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(int(a[i]) - int(b[i])));
    return most;
}

// The number of open file descriptors of this process.
inline int OpenDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

}  // namespace imagetest
