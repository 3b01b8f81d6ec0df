// A fixed world for stamp-text variables: a scripted document reader, a fixed
// clock, number preferences the test chooses and fresh run counters; every seam
// is put back when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <stdexcept>
#include <string>

#include "stamper/DateVariables.h"
#include "stamper/DocumentVariables.h"
#include "stamper/NumberVariables.h"
#include "stamper/StampRunCounters.h"

namespace qmtest {

inline PDDoc FakeDoc(int n) { return reinterpret_cast<PDDoc>(static_cast<uintptr_t>(0x1000 + n)); }

// Paths and information entries by document; reading a document it does not
// know throws, as a host refusing a handle would.
class ScriptedDocumentReader : public StampDocumentReader {
public:
    struct Document {
        std::string path;
        std::map<std::string, std::string> info;
    };
    std::map<PDDoc, Document> documents;
    int reads = 0;

    std::string GetFilePath(PDDoc document) override { return Find(document).path; }
    std::string GetInfo(PDDoc document, const char* key) override {
        const auto& info = Find(document).info;
        const auto it = info.find(key);
        return it == info.end() ? std::string() : it->second;
    }

private:
    const Document& Find(PDDoc document) {
        ++reads;
        const auto it = documents.find(document);
        if (it == documents.end()) throw std::runtime_error("unknown document");
        return it->second;
    }
};

inline std::tm MakeTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

class StampVariablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        reader.documents[FakeDoc(1)] = {"/home/ann/docs/report.final.pdf",
                                        {{"Title", "Annual report"},
                                         {"Subject", "Finance"},
                                         {"Author", "张三"},
                                         {"Keywords", "audit, 2024"}}};
        SetStampDocumentReader(&reader);
        SetStampClock([this] { return now; });
        SetStampNumberPreferencesSource([this] { return preferences; });
        GetStampRunCounters() = StampRunCounters{};
        GetStampRunCounters().StartSingleDocument(FakeDoc(1), 10);
    }
    void TearDown() override {
        SetStampDocumentReader(nullptr);
        SetStampClock(nullptr);
        SetStampNumberPreferencesSource(nullptr);
        GetStampRunCounters() = StampRunCounters{};
    }
    StampRunCounters& counters() { return GetStampRunCounters(); }

    ScriptedDocumentReader reader;
    std::tm now = MakeTime(2024, 3, 7, 9, 5, 3);
    StampNumberPreferences preferences{};  // 'BFLe' 6, 'URNu' 0
};

}  // namespace qmtest
