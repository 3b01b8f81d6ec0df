#include "support/Streams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "core/Callbacks.h"
#include "core/ExceptionTrap.h"
#include "core/Raise.h"
#include "qmhost/AppSupportTable.h"

namespace qmhost {

HostStream::~HostStream() = default;

void HostStream::write(const char*, int64_t) { raise(kHostErrStream, "the stream is read-only"); }
bool HostStream::seek(int64_t) { return false; }
void HostStream::close() {}

namespace {

class MemoryStream : public HostStream {
public:
    explicit MemoryStream(std::string data) : mData(std::move(data)) {}
    int64_t read(char* buffer, int64_t size) override {
        const int64_t left = static_cast<int64_t>(mData.size()) - mPos;
        const int64_t n = size < left ? size : left;
        if (n <= 0) return 0;
        std::memcpy(buffer, mData.data() + mPos, static_cast<size_t>(n));
        mPos += n;
        return n;
    }
    bool seek(int64_t offset) override {
        if (offset < 0 || offset > static_cast<int64_t>(mData.size())) return false;
        mPos = offset;
        return true;
    }

private:
    std::string mData;
    int64_t mPos = 0;
};

class FileStream : public HostStream {
public:
    FileStream(FILE* file, std::string path, bool writing)
        : mFile(file), mPath(std::move(path)), mWriting(writing) {}
    ~FileStream() override {
        if (mFile) std::fclose(mFile);
    }
    int64_t read(char* buffer, int64_t size) override {
        if (mWriting) raise(kHostErrStream, "the stream on " + mPath + " is write-only");
        const size_t n = std::fread(buffer, 1, static_cast<size_t>(size), mFile);
        if (n == 0 && std::ferror(mFile)) raise(kHostErrFileRead, "cannot read " + mPath);
        return static_cast<int64_t>(n);
    }
    void write(const char* buffer, int64_t size) override {
        if (!mWriting) raise(kHostErrStream, "the stream on " + mPath + " is read-only");
        if (std::fwrite(buffer, 1, static_cast<size_t>(size), mFile) != static_cast<size_t>(size))
            raise(kHostErrFileWrite, "cannot write " + mPath + ": " + std::strerror(errno));
    }
    bool seek(int64_t offset) override {
        return offset >= 0 && fseeko(mFile, static_cast<off_t>(offset), SEEK_SET) == 0;
    }
    void close() override {
        FILE* file = mFile;
        mFile = nullptr;
        if (file && std::fclose(file) != 0 && mWriting)
            raise(kHostErrFileWrite, "cannot finish writing " + mPath + ": " + std::strerror(errno));
    }

private:
    FILE* mFile;
    std::string mPath;
    bool mWriting;
};

class ProcStream : public HostStream {
public:
    ProcStream(ASStmReadProc proc, void* clientData) : mProc(proc), mClientData(clientData) {}
    int64_t read(char* buffer, int64_t size) override {
        int64_t total = 0;
        while (total < size && !mEnded) {
            const int64_t want = size - total;
            const int32_t chunk = static_cast<int32_t>(want > 0x40000000 ? 0x40000000 : want);
            // The procedure is the plug-in's: whatever it throws is a failed read.
            const int32_t got = trapFailure([&] { return mProc(buffer + total, chunk, mClientData); },
                                            []() -> int32_t { raise(kHostErrStream, "the stream's read procedure failed"); });
            if (got < 0) raise(kHostErrStream, "the stream's read procedure reported an error");
            if (got == 0) mEnded = true;
            // Never trust a count beyond what was asked for.
            total += got > chunk ? chunk : got;
        }
        return total;
    }

private:
    ASStmReadProc mProc;
    void* mClientData;
    bool mEnded = false;
};

struct StreamRegistry {
    std::unordered_map<uintptr_t, std::unique_ptr<HostStream>> streams;
    uintptr_t next = 1;
};

StreamRegistry& registry() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static StreamRegistry* r = new StreamRegistry;
    return *r;
}

}  // namespace

ASStm registerStream(std::unique_ptr<HostStream> stream) {
    StreamRegistry& r = registry();
    const uintptr_t id = r.next++;
    r.streams.emplace(id, std::move(stream));
    return reinterpret_cast<ASStm>(id);
}

HostStream& streamOf(ASStm handle) {
    auto& streams = registry().streams;
    auto it = streams.find(reinterpret_cast<uintptr_t>(handle));
    if (it == streams.end()) raise(kHostErrBadHandle, "unknown or closed stream");
    return *it->second;
}

void closeStream(ASStm handle) {
    auto& streams = registry().streams;
    auto it = streams.find(reinterpret_cast<uintptr_t>(handle));
    if (it == streams.end()) return;
    std::unique_ptr<HostStream> stream = std::move(it->second);
    streams.erase(it);
    stream->close();
}

std::string readAll(HostStream& stream, int64_t limit) {
    std::string data;
    char buffer[65536];
    while (limit < 0 || static_cast<int64_t>(data.size()) < limit) {
        int64_t want = sizeof buffer;
        if (limit >= 0 && limit - static_cast<int64_t>(data.size()) < want)
            want = limit - static_cast<int64_t>(data.size());
        const int64_t n = stream.read(buffer, want);
        if (n <= 0) break;
        data.append(buffer, static_cast<size_t>(n));
    }
    return data;
}

ASStm openMemoryStream(std::string data) {
    return registerStream(std::make_unique<MemoryStream>(std::move(data)));
}

ASStm openFileStream(const std::string& path, int16_t mode) {
    if (mode != kASStmRead && mode != kASStmWrite)
        raise(kHostErrBadParameter, "bad file stream mode " + std::to_string(mode));
    FILE* file = std::fopen(path.c_str(), mode == kASStmRead ? "rb" : "wb");
    if (!file) {
        const int error = errno;
        raise(error == ENOENT ? kHostErrFileNotFound : kHostErrFileOpen,
              "cannot open " + path + ": " + std::strerror(error));
    }
    return registerStream(std::make_unique<FileStream>(file, path, mode == kASStmWrite));
}

ASStm openProcStream(ASCallback readProc, void* clientData) {
    auto proc = callbacks().as<ASStmReadProc>(readProc);
    if (!proc) raise(kHostErrBadParameter, "procedure stream without a read procedure");
    return registerStream(std::make_unique<ProcStream>(proc, clientData));
}

size_t openStreamCount() { return registry().streams.size(); }

}  // namespace qmhost
