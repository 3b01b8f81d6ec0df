#include "StampRunFixture.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "common/PluginFixture.h"
#include "engine/CPDFElementUndoController.h"
#include "stamper/CCabinet.h"
#include "stamper/CStamperLog.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "stamper/StampRunCounters.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/io/UserCancel.h"

namespace stamptest {

// --- StampCab

StampCab::StampCab() : mCab(gASExtraHFT->cabNew()) {}

StampCab::~StampCab() {
    if (mCab) gASExtraHFT->cabDestroy(mCab);
}

StampCab::StampCab(StampCab&& other) noexcept : mCab(other.mCab) { other.mCab = nullptr; }

StampCab& StampCab::Int(const char* key, int32_t value) {
    gASExtraHFT->cabPutInt(mCab, key, value);
    return *this;
}

StampCab& StampCab::Double(const char* key, double value) {
    gASExtraHFT->cabPutDouble(mCab, key, value);
    return *this;
}

StampCab& StampCab::Bool(const char* key, bool value) {
    gASExtraHFT->cabPutBool(mCab, key, value);
    return *this;
}

StampCab& StampCab::String(const char* key, const std::string& value) {
    gASExtraHFT->cabPutString(mCab, key, value.c_str());
    return *this;
}

StampCab& StampCab::Text(const char* key, const std::string& value) {
    gASExtraHFT->cabPutText(mCab, key, gASExtraHFT->textFromUTF8(value.c_str()));
    return *this;
}

ASCab StampCab::Release() {
    ASCab cab = mCab;
    mCab = nullptr;
    return cab;
}

StampCab VisibleTextStamp(const std::string& name, const std::string& text, double x, double y,
                          int32_t verticalEdge) {
    StampCab cab;
    cab.Int(kKeyStampType, kStampTypeText)
        .String(kKeyStampName, name)
        .String(kKeyText, text)
        .Int(kKeyOpacity, 100)
        .Int(kKeyUnit, 3)
        .Double(kKeyHorizontalOffset, x)
        .Double(kKeyVerticalOffset, y)
        .Int(kKeyVerticalAlign, verticalEdge)
        .Int(kKeyStandardFont, 4)
        .Int(kKeyFontColor, 0);
    return cab;
}

// --- pdftotext

std::string TextPage::Joined() const {
    std::string out;
    for (const Word& word : words) out += (out.empty() ? "" : " ") + word.text;
    return out;
}

bool FindWord(const TextPage& page, const std::string& text, Word& out) {
    for (const Word& word : page.words)
        if (word.text == text) {
            out = word;
            return true;
        }
    return false;
}

std::vector<TextPage> ReadTextPages(const std::string& pdfPath) {
    const std::string html = pdfPath + ".bbox.html";
    const auto result =
        qmtest::runCommand("pdftotext -bbox " + qmtest::shellQuote(pdfPath) + " " + qmtest::shellQuote(html));
    EXPECT_EQ(result.status, 0) << result.output;
    const std::string text = qmtest::readBytes(html);
    std::vector<TextPage> pages;
    static const std::regex page(R"re(<page width="([0-9.]+)" height="([0-9.]+)">)re");
    static const std::regex word(
        R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_search(line, m, page)) {
            pages.push_back({std::stod(m[1]), std::stod(m[2]), {}});
        } else if (std::regex_search(line, m, word) && !pages.empty()) {
            pages.back().words.push_back(
                {m[5].str(), std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])});
        }
    }
    return pages;
}

// --- page state

namespace {

ASAtom Key(const char* name) { return gCoreHFT->atomFromString(name); }

struct KeyList {
    std::string prefix;
    std::vector<std::string>* out;
};

bool CollectKey(CosObj key, CosObj, void* data) {
    auto* list = static_cast<KeyList*>(data);
    list->out->push_back(list->prefix + gCoreHFT->atomGetString(gCosHFT->nameValue(key)));
    return true;
}

bool CollectSubKeys(CosObj key, CosObj value, void* data) {
    auto* out = static_cast<std::vector<std::string>*>(data);
    if (gCosHFT->objGetType(value) != CosDict) return true;
    KeyList list{std::string(gCoreHFT->atomGetString(gCosHFT->nameValue(key))) + "/", out};
    gCosHFT->objEnum(value, CollectKey, &list);
    return true;
}

}  // namespace

std::vector<PageState> AllPageStates(PDDoc doc) {
    std::vector<PageState> states;
    for (int32_t i = 0; i < gPDModelHFT->docGetNumPages(doc); ++i) states.push_back(ReadPageState(doc, i));
    return states;
}

PageState ReadPageState(PDDoc doc, int32_t pageIndex) {
    PageState state;
    PDPage page = gPDModelHFT->docAcquirePage(doc, pageIndex);
    const CosObj dict = gPDModelHFT->pageGetCosObj(page);
    const CosObj contents = gCosHFT->dictGet(dict, Key("Contents"));
    if (gCosHFT->objGetType(contents) == CosStream) {
        state.contents.push_back(qmtest::StreamData(contents));
    } else if (gCosHFT->objGetType(contents) == CosArray) {
        for (int32_t i = 0; i < gCosHFT->arrayLength(contents); ++i)
            state.contents.push_back(qmtest::StreamData(gCosHFT->arrayGet(contents, i)));
    }
    CosObj resources = gCosHFT->dictGet(dict, Key("Resources"));
    for (CosObj node = dict; gCosHFT->objGetType(resources) != CosDict;) {
        node = gCosHFT->dictGet(node, Key("Parent"));
        if (gCosHFT->objGetType(node) != CosDict) break;
        resources = gCosHFT->dictGet(node, Key("Resources"));
    }
    if (gCosHFT->objGetType(resources) == CosDict) gCosHFT->objEnum(resources, CollectSubKeys, &state.resources);
    std::sort(state.resources.begin(), state.resources.end());
    for (int32_t i = 0; i < gPDModelHFT->pageGetNumAnnots(page); ++i)
        state.annotations.push_back(gCoreHFT->atomGetString(gPDModelHFT->annotGetSubtype(gPDModelHFT->pageGetAnnot(page, i))));
    gPDModelHFT->pageRelease(page);
    return state;
}

// --- the monitor handed out by the fault-injecting host's view table

struct MonitorRecord {
    ASProgressMonitorRec monitor;
};

namespace {

RecordingMonitor* sMonitor = nullptr;
MonitorRecord* sPatched = nullptr;

void Note(void* data, const std::string& call) { static_cast<RecordingMonitor*>(data)->calls.push_back(call); }

ASProgressMonitor PatchedGetMonitor(void** outClientData) {
    *outClientData = sMonitor;
    return &sPatched->monitor;
}

}  // namespace

void StampRunTest::UseMonitor(RecordingMonitor& monitor) {
    mPatchedMonitor = std::make_unique<MonitorRecord>();
    ASProgressMonitorRec& rec = mPatchedMonitor->monitor;
    rec = ASProgressMonitorRec{};
    rec.size = sizeof rec;
    rec.beginOperation = [](void* data) { Note(data, "begin"); };
    rec.endOperation = [](void* data) { Note(data, "end"); };
    rec.setDuration = [](int32_t n, void* data) { Note(data, "duration " + std::to_string(n)); };
    rec.setCurrValue = [](int32_t n, void* data) {
        auto* recording = static_cast<RecordingMonitor*>(data);
        const bool changed = recording->calls.empty() || recording->calls.back() != "value " + std::to_string(n);
        Note(data, "value " + std::to_string(n));
        if (changed && recording->onValue) recording->onValue(n);
    };
    rec.getDuration = [](void*) { return int32_t{0}; };
    rec.getCurrValue = [](void* data) {
        const auto& calls = static_cast<RecordingMonitor*>(data)->calls;
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->rfind("value ", 0) == 0) return static_cast<int32_t>(std::stoi(it->substr(6)));
        return int32_t{0};
    };
    sMonitor = &monitor;
    sPatched = mPatchedMonitor.get();
    if (!mMonitorHost) {
        mMonitorHost = std::make_unique<qmtest::FaultInjectingHost>();
        mMonitorHost->Replace<&AppViewTable::getProgressMonitor>(PatchedGetMonitor);
    }
}

// --- the fixture

StampRunTest::StampRunTest() = default;
StampRunTest::~StampRunTest() = default;

void StampRunTest::SetUp() {
    qmtest::StartLinkedPlugin();
    qmtest::TakeAlerts();
    mDataFolder = mFolder.file("data");
    std::filesystem::create_directories(mDataFolder + "/Profiles");
    ASSERT_TRUE(SetStamperDataPaths(mDataFolder.c_str()));
    mPreferences = std::make_unique<CStamperPreferences>();
    mPreferences->SetEnableLogging(true);
    SetStamperPreferences(mPreferences.get());
    GetStamperLog().SetPreferences(nullptr);
    mUndo = std::make_unique<CPDFElementUndoController>();
    GetStampRunCounters() = StampRunCounters{};
    SetUserCancelled(false);
    ClearErrorMessage();
}

void StampRunTest::TearDown() {
    mMonitorHost.reset();
    sMonitor = nullptr;
    sPatched = nullptr;
    while (AVDoc view = gAppViewHFT->getActiveDoc()) gAppViewHFT->avDocClose(view, true);
    mUndo.reset();
    SetStamperPreferences(nullptr);
    mPreferences.reset();
    SetUserCancelled(false);
    GetStampRunCounters() = StampRunCounters{};
    qmtest::TakeAlerts();
}

std::string StampRunTest::WritePdf(const std::string& leaf, int count) {
    const std::string path = mFolder.file(leaf);
    qmtest::writeSimplePdf(path, count);
    return path;
}

AVDoc StampRunTest::OpenView(const std::string& path) {
    qmtest::HostPath hostPath(path);
    const PDDoc doc = gPDModelHFT->docOpen(hostPath);
    const AVDoc view = gAppViewHFT->avDocOpenFromPDDoc(doc, nullptr);
    mViews.push_back(view);
    return view;
}

PDDoc StampRunTest::DocOf(AVDoc view) const { return gAppViewHFT->avDocGetPDDoc(view); }

std::string StampRunTest::WriteProfile(const std::string& name, std::vector<StampCab> stamps) {
    CCabinet profile;
    gASExtraHFT->cabPutInt(profile.GetCab(), kKeyNumberOfStamps, static_cast<int32_t>(stamps.size()));
    for (size_t i = 0; i < stamps.size(); ++i)
        gASExtraHFT->cabPutCab(profile.GetCab(), (kKeyStampPrefix + std::to_string(i)).c_str(), stamps[i].Release());
    const std::string path = mDataFolder + "/Profiles/" + name + ".nxp";
    EXPECT_TRUE(profile.WriteToFile(TFileSpecifier(path.c_str())));
    return path;
}

std::string StampRunTest::Save(PDDoc doc, const std::string& leaf) {
    const std::string path = mFolder.file(leaf);
    qmtest::HostPath hostPath(path);
    gPDModelHFT->docSave(doc, hostPath);
    return path;
}

std::string StampRunTest::LogText() const { return qmtest::fileExists(mDataFolder + "/Quillmark.txt") ? qmtest::readBytes(mDataFolder + "/Quillmark.txt") : ""; }

std::vector<std::string> StampRunTest::LastRunLog() const {
    std::vector<std::string> lines;
    std::istringstream in(LogText());
    for (std::string line; std::getline(in, line);) {
        if (line == std::string(74, '=')) lines.clear();
        else lines.push_back(line);
    }
    return lines;
}

void BreakPage(PDDoc doc, int32_t pageIndex) {
    PDPage page = gPDModelHFT->docAcquirePage(doc, pageIndex);
    gCosHFT->dictPut(gPDModelHFT->pageGetCosObj(page), gCoreHFT->atomFromString("Contents"),
                     gCosHFT->newInteger(gPDModelHFT->docGetCosDoc(doc), false, 5));
    gPDModelHFT->pageRelease(page);
}

void OneDocumentTest::SetUp() {
    StampRunTest::SetUp();
    mView = OpenView(WritePdf("doc.pdf", 6));
    mDoc = DocOf(mView);
}

bool OneDocumentTest::Stamped(int32_t page) const { return ReadPageState(mDoc, page).contents.size() > 1; }

std::vector<int32_t> OneDocumentTest::StampedPages() const {
    std::vector<int32_t> pages;
    for (int32_t i = 0; i < gPDModelHFT->docGetNumPages(mDoc); ++i)
        if (Stamped(i)) pages.push_back(i + 1);
    return pages;
}

// --- saved files

XObjectCensus CountXObjects(const std::string& path) {
    QPDF pdf;
    pdf.processFile(path.c_str());
    XObjectCensus census;
    for (QPDFObjectHandle object : pdf.getAllObjects()) {
        if (!object.isStream()) continue;
        QPDFObjectHandle subtype = object.getDict().getKey("/Subtype");
        if (subtype.isNameAndEquals("/Form")) ++census.forms;
        if (subtype.isNameAndEquals("/Image")) ++census.images;
    }
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        std::set<std::string> used;
        QPDFObjectHandle xobjects = page.getAttribute("/Resources", false).getKey("/XObject");
        if (xobjects.isDictionary())
            for (const std::string& key : xobjects.getKeys()) used.insert(xobjects.getKey(key).getObjGen().unparse(' '));
        census.pageXObjects.push_back(used);
    }
    return census;
}

}  // namespace stamptest
