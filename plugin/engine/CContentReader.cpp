#include "engine/CContentReader.h"

#include <zlib.h>

#include "engine/CContentBalance.h"
#include "qmhost/HostError.h"
#include "support/HostTables.h"
#include "support/cos/CASStream.h"
#include "support/cos/PDFAtoms.h"

namespace {

constexpr int32_t kPiece = 16 * 1024;

// Reads the stream's bytes in pieces; false at the end.
bool ReadPiece(ASStm data, char* piece, int32_t& got) {
    got = gAppSupportHFT->stmRead(piece, 1, kPiece, data);
    return got > 0;
}

void FeedAll(ASStm data, CContentBalance& balance) {
    char piece[kPiece];
    for (int32_t got; ReadPiece(data, piece, got);) balance.Feed(piece, static_cast<size_t>(got));
}

}  // namespace

CContentReader::CContentReader()
    : mDecodeParms(gCoreHFT->atomFromString("DecodeParms")), mInflater(std::make_unique<z_stream>()) {}

CContentReader::~CContentReader() {
    if (mInflaterReady) inflateEnd(mInflater.get());
}

bool CContentReader::InflateAll(ASStm data, CContentBalance& balance) {
    // One inflater serves every stream: made once, then reset.
    z_stream& z = *mInflater;
    if (!mInflaterReady) {
        z = z_stream{};
        if (inflateInit(&z) != Z_OK) return false;
        mInflaterReady = true;
    } else if (inflateReset(&z) != Z_OK) {
        return false;
    }
    z.avail_in = 0;
    char in[kPiece];
    char out[kPiece];
    bool more = true;  // input may follow
    for (;;) {
        if (z.avail_in == 0 && more) {
            int32_t got = 0;
            more = ReadPiece(data, in, got);
            z.next_in = reinterpret_cast<Bytef*>(in);
            z.avail_in = static_cast<uInt>(got);
        }
        z.next_out = reinterpret_cast<Bytef*>(out);
        z.avail_out = kPiece;
        const int status = inflate(&z, Z_NO_FLUSH);
        balance.Feed(out, kPiece - z.avail_out);
        if (status == Z_STREAM_END) return true;
        // No progress without more input: read on, or the data is cut short.
        if (status == Z_BUF_ERROR && z.avail_in == 0 && more) continue;
        if (status != Z_OK) return false;
    }
}

bool CContentReader::Read(CosObj contents, CContentBalance& balance) {
    try {
        const int32_t type = gCosHFT->objGetType(contents);
        if (type == CosStream) return Feed(contents, balance);
        if (type != CosArray) return true;
        const int32_t length = gCosHFT->arrayLength(contents);
        for (int32_t i = 0; i < length; ++i) {
            const CosObj piece = gCosHFT->arrayGet(contents, i);
            // What is no stream is skipped, as viewers skip it.
            if (gCosHFT->objGetType(piece) == CosStream && !Feed(piece, balance)) return false;
        }
        return true;
    } catch (const HostError&) {
        return false;
    }
}

CContentReader::Coding CContentReader::CodingOf(CosObj stream) const {
    const CosObj dict = gCosHFT->streamDict(stream);
    CosObj filter = gCosHFT->dictGet(dict, gAtomFilter);
    int32_t type = gCosHFT->objGetType(filter);
    if (type == CosArray) {
        const int32_t count = gCosHFT->arrayLength(filter);
        if (count == 0) return Coding::kStored;
        if (count > 1) return Coding::kHost;
        filter = gCosHFT->arrayGet(filter, 0);
        type = gCosHFT->objGetType(filter);
    }
    if (type == CosNull) return Coding::kStored;
    if (type != CosName || gCosHFT->nameValue(filter) != gAtomFlateDecode) return Coding::kHost;
    return gCosHFT->dictKnown(dict, mDecodeParms) ? Coding::kHost : Coding::kFlate;
}

bool CContentReader::Feed(CosObj stream, CContentBalance& balance) {
    const Coding coding = CodingOf(stream);
    CASStream data(gCosHFT->streamOpen(stream, coding == Coding::kHost ? kCosStreamDecoded : kCosStreamStored));
    if (coding == Coding::kFlate) return InflateAll(data, balance);
    FeedAll(data, balance);
    return true;
}
