#include "pdmodel/FileSpecs.h"

#include <filesystem>

#include <qpdf/QUtil.hh>

#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/PDModelEntries.h"
#include "pdmodel/PdfValues.h"
#include "support/Paths.h"

namespace qmhost {

std::string fileSpecPath(const std::string& path, const std::string& relativeTo) {
    namespace fs = std::filesystem;
    const fs::path target = fs::absolute(fs::path(path)).lexically_normal();
    if (relativeTo.empty()) return target.generic_string();
    const fs::path folder = fs::absolute(fs::path(relativeTo)).parent_path().lexically_normal();
    const fs::path relative = target.lexically_relative(folder);
    if (relative.empty() || relative == "." || *relative.begin() == "..") return target.generic_string();
    return relative.generic_string();
}

QPDFObjectHandle newFileSpec(const std::string& specPath) {
    QPDFObjectHandle spec = QPDFObjectHandle::newDictionary();
    spec.replaceKey("/Type", QPDFObjectHandle::newName("/Filespec"));
    spec.replaceKey("/F", QPDFObjectHandle::newString(specPath));
    spec.replaceKey("/UF", QPDFObjectHandle::newUnicodeString(specPath));
    return spec;
}

std::optional<std::string> fileSpecText(QPDFObjectHandle fileSpec) {
    // /F is a byte string in the platform's encoding (UTF-8 here) unless it carries
    // a UTF-16 byte order mark; /UF is PDF text.
    auto bytesOf = [](QPDFObjectHandle value) {
        const std::string bytes = value.getStringValue();
        return QUtil::is_utf16(bytes) ? value.getUTF8Value() : bytes;
    };
    if (fileSpec.isString()) return bytesOf(fileSpec);
    if (!fileSpec.isDictionary()) return std::nullopt;
    QPDFObjectHandle unicode = fileSpec.getKey("/UF");
    if (unicode.isString()) return unicode.getUTF8Value();
    QPDFObjectHandle file = fileSpec.getKey("/F");
    if (file.isString()) return bytesOf(file);
    return std::nullopt;
}

}  // namespace qmhost

namespace qmhost::pdmodel {

PDFileSpec fileSpecNewFromPath(PDDoc doc, ASPathName path, ASPathName relativeTo) {
    Document& document = checkedDocument(doc, "fileSpecNewFromPath");
    const std::string target = pathOf(path);
    const std::string base = relativeTo ? pathOf(relativeTo) : std::string();
    return docGuarded("fileSpecNewFromPath", document,
                      [&] { return PDFileSpec{handleFor(document, newFileSpec(fileSpecPath(target, base)))}; });
}

bool fileSpecIsValid(PDFileSpec fileSpec) {
    QPDFObjectHandle object;
    if (isNullHandle(fileSpec.cos) || !findObject(fileSpec.cos, &object)) return false;
    try {
        return fileSpecText(object).has_value();
    } catch (const std::exception&) {
        return false;
    }
}

int32_t fileSpecGetText(PDFileSpec fileSpec, char* buffer, int32_t capacity) {
    QPDFObjectHandle object = objectOf(fileSpec.cos);
    const std::optional<std::string> text =
        cosGuarded("fileSpecGetText", fileSpec.cos, [&] { return fileSpecText(object); });
    if (!text) raise(kHostErrBadType, "fileSpecGetText: " + describeObject(fileSpec.cos) + " is no file spec");
    return copyUtf8Bounded(*text, buffer, capacity);
}

}  // namespace qmhost::pdmodel
