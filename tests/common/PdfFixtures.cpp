#include "common/PdfFixtures.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include "HostTables.h"
#include "core/AtomTable.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace qmtest {
namespace {

QPDFObjectHandle rectArray(const FixtureRect& r) {
    return QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(r.llx, r.lly, r.urx, r.ury));
}

QPDFObjectHandle fontResources(QPDF& pdf) {
    QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"));
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey("/F1", font);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/Font", fonts);
    return resources;
}

QPDFObjectHandle contentsFor(QPDF& pdf, FixtureContents kind, size_t number) {
    const std::string text = "BT /F1 24 Tf 72 700 Td (page " + std::to_string(number) + ") Tj ET\n";
    switch (kind) {
        case FixtureContents::None: return QPDFObjectHandle::newNull();
        case FixtureContents::OneStream: return pdf.newStream(text);
        case FixtureContents::StreamArray: {
            QPDFObjectHandle parts = QPDFObjectHandle::newArray();
            parts.appendItem(pdf.newStream("q\n"));
            parts.appendItem(pdf.newStream(text));
            parts.appendItem(pdf.newStream("Q\n"));
            return parts;
        }
    }
    return QPDFObjectHandle::newNull();
}

QPDFObjectHandle makePage(QPDF& pdf, const FixturePage& wanted, size_t number,
                          QPDFObjectHandle parent, const FixtureTree& tree) {
    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/Parent", parent);
    if (wanted.mediaBox) page.replaceKey("/MediaBox", rectArray(*wanted.mediaBox));
    if (wanted.cropBox) page.replaceKey("/CropBox", rectArray(*wanted.cropBox));
    if (wanted.rotate) page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(*wanted.rotate));
    if (!tree.inheritedResources) page.replaceKey("/Resources", fontResources(pdf));
    QPDFObjectHandle contents = contentsFor(pdf, wanted.contents, number);
    if (!contents.isNull()) page.replaceKey("/Contents", contents);
    return pdf.makeIndirectObject(page);
}

QPDFObjectHandle newPagesNode(QPDF& pdf) {
    return pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Pages /Kids [] /Count 0 >>"));
}

void write(QPDF& pdf, const std::string& path) {
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.setObjectStreamMode(qpdf_o_disable);
    writer.setCompressStreams(false);
    writer.write();
}

}  // namespace

FixtureFolder::FixtureFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qmtest-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    mPath = pattern;
}

FixtureFolder::~FixtureFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

std::string FixtureFolder::file(const std::string& name) const { return mPath + "/" + name; }

std::vector<std::string> FixtureFolder::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mPath))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void writeFixturePdf(const std::string& path, const std::vector<FixturePage>& pages,
                     const FixtureTree& tree) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle root = newPagesNode(pdf);
    if (tree.inheritedMediaBox) root.replaceKey("/MediaBox", rectArray(*tree.inheritedMediaBox));
    if (tree.inheritedRotate) root.replaceKey("/Rotate", QPDFObjectHandle::newInteger(*tree.inheritedRotate));
    if (tree.inheritedResources) root.replaceKey("/Resources", fontResources(pdf));
    QPDFObjectHandle parent = root;
    if (tree.nested) {
        parent = newPagesNode(pdf);
        parent.replaceKey("/Parent", root);
        root.getKey("/Kids").appendItem(parent);
    }
    for (size_t i = 0; i < pages.size(); ++i)
        parent.getKey("/Kids").appendItem(makePage(pdf, pages[i], i + 1, parent, tree));
    const auto count = QPDFObjectHandle::newInteger(static_cast<long long>(pages.size()));
    parent.replaceKey("/Count", count);
    root.replaceKey("/Count", count);
    pdf.getRoot().replaceKey("/Pages", root);
    write(pdf, path);
}

void writeSimplePdf(const std::string& path, int pageCount) {
    writeFixturePdf(path, std::vector<FixturePage>(static_cast<size_t>(pageCount)));
}

namespace {

// writeSimplePdf's pages written to path by a writer that encrypt sets up.
void writeEncryptedPages(const std::string& path, int pageCount, const std::function<void(QPDFWriter&)>& encrypt) {
    const std::string plain = path + ".plain";
    writeSimplePdf(plain, pageCount);
    QPDF pdf;
    pdf.processFile(plain.c_str());
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    encrypt(writer);
    writer.write();
    std::remove(plain.c_str());
}

}  // namespace

void writeEncryptedPdf(const std::string& path, const std::string& userPassword,
                       const std::string& ownerPassword) {
    writeEncryptedPages(path, 1, [&](QPDFWriter& writer) {
        writer.setR6EncryptionParameters(userPassword.c_str(), ownerPassword.c_str(), true, true, true, true, true,
                                         true, qpdf_r3p_full, true);
    });
}

void writeOwnerEncryptedPdf(const std::string& path, int pageCount, OwnerEncryption kind, bool withoutKeyLength) {
    writeEncryptedPages(path, pageCount, [&](QPDFWriter& writer) {
        if (kind == OwnerEncryption::Rc4Key128)
            writer.setR3EncryptionParametersInsecure("", "owner", true, true, true, true, true, true, qpdf_r3p_full);
        else if (kind == OwnerEncryption::Aes128)
            writer.setR4EncryptionParametersInsecure("", "owner", true, true, true, true, true, true, qpdf_r3p_full,
                                                     true, true);
        else
            writer.setR6EncryptionParameters("", "owner", true, true, true, true, true, true, qpdf_r3p_full, true);
    });
    if (!withoutKeyLength) return;
    // The dictionary's own /Length follows its /Filter; a crypt filter's comes before.
    std::string bytes = readBytes(path);
    const size_t at = bytes.find("/Length", bytes.find("/Filter /Standard"));
    if (at == std::string::npos) throw std::runtime_error("no /Length in the encryption dictionary of " + path);
    bytes.replace(at, 7, "/Wength");
    writeBytes(path, bytes);
}

void truncateFile(const std::string& path, long keep) {
    if (::truncate(path.c_str(), keep) != 0) throw std::runtime_error("cannot truncate " + path);
}

void writeNonPdf(const std::string& path) {
    writeBytes(path, "This is a plain text file.\nIt has no PDF header and no trailer.\n");
}

std::string rawPdf(const std::vector<std::string>& objects) {
    std::string out = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        out += line;
    }
    return out + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream out;
    out << in.rdbuf();
    return out.str();
}

bool fileExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

CommandResult runCommand(const std::string& commandLine) {
    CommandResult result{-1, std::string()};
    FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    if (status != -1 && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}

CommandResult qpdfCheck(const std::string& path) { return runCommand("qpdf --check " + shellQuote(path)); }

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

ASAtom nameAtom(const char* text) { return qmhost::atoms().intern(text); }

HostDoc HostDoc::create() { return HostDoc(qmhost::pdModelTable()->docCreate()); }

HostDoc HostDoc::open(const std::string& path) {
    HostPath hostPath(path);
    return HostDoc(qmhost::pdModelTable()->docOpen(hostPath));
}

HostDoc::HostDoc(HostDoc&& other) noexcept : mDoc(other.mDoc) { other.mDoc = nullptr; }

HostDoc::~HostDoc() { close(); }

CosDoc HostDoc::cos() const { return qmhost::pdModelTable()->docGetCosDoc(mDoc); }

void HostDoc::close() {
    if (!mDoc) return;
    PDDoc doc = mDoc;
    mDoc = nullptr;
    try {
        qmhost::pdModelTable()->docClose(doc);
    } catch (const HostError&) {
        // closed already by the test itself
    }
}

HostPath::HostPath(const std::string& text) : mPath(qmhost::appSupportTable()->pathFromText(text.c_str())) {}

HostPath::~HostPath() { qmhost::appSupportTable()->releasePath(mPath); }

}  // namespace qmtest
