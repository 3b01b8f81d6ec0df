#include "view/ActionHandlers.h"

#include <optional>
#include <string>

#include <qpdf/QPDFObjectHandle.hh>

#include "core/AtomTable.h"
#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/Document.h"
#include "pdmodel/FileSpecs.h"
#include "support/HostVersion.h"
#include "view/ActionPrompts.h"

namespace qmhost {
namespace {

// The action dictionary of a handler's type; raises for anything else.
QPDFObjectHandle actionOfType(PDAction action, const char* subtype, const char* op) {
    QPDFObjectHandle object = objectOfType(action.cos, CosDict, op);
    QPDFObjectHandle s = object.getKey("/S");
    if (!s.isName() || s.getName() != std::string("/") + subtype)
        raise(kHostErrBadParameter, std::string(op) + ": the action is no " + subtype + " action");
    return object;
}

bool launchProperties(PDAction action, AVDoc) {
    QPDFObjectHandle object = actionOfType(action, "Launch", "Launch properties");
    const std::string current = fileSpecText(object.getKey("/F")).value_or(std::string());
    const std::optional<std::string> path = askLaunchFile(current);
    if (!path) return false;
    guarded("Launch properties", [&] { object.replaceKey("/F", newFileSpec(fileSpecPath(*path, std::string()))); });
    return true;
}

void uriFill(PDAction action, AVDoc) {
    QPDFObjectHandle object = actionOfType(action, "URI", "URI fill");
    guarded("URI fill", [&] {
        if (!object.getKey("/URI").isString()) object.replaceKey("/URI", QPDFObjectHandle::newString(""));
    });
}

bool uriProperties(PDAction action, AVDoc) {
    QPDFObjectHandle object = actionOfType(action, "URI", "URI properties");
    QPDFObjectHandle uri = object.getKey("/URI");
    const std::optional<std::string> text = askUri(uri.isString() ? uri.getStringValue() : std::string());
    if (!text) return false;
    guarded("URI properties", [&] { object.replaceKey("/URI", QPDFObjectHandle::newString(*text)); });
    return true;
}

struct Handler {
    const char* type;
    const char* userName;
    AVActionHandlerProcs procs;  // propertiesEx is offered from host version 6
    AVActionHandlerProcs olderProcs;
};

const Handler kHandlers[] = {
    {"GoTo", "跳至页面", {sizeof(AVActionHandlerProcs), nullptr, nullptr, nullptr},
     {sizeof(AVActionHandlerProcs), nullptr, nullptr, nullptr}},
    {"GoToR", "跳至其它文档", {sizeof(AVActionHandlerProcs), nullptr, nullptr, nullptr},
     {sizeof(AVActionHandlerProcs), nullptr, nullptr, nullptr}},
    {"Launch", "打开文件", {sizeof(AVActionHandlerProcs), nullptr, launchProperties, launchProperties},
     {sizeof(AVActionHandlerProcs), nullptr, launchProperties, nullptr}},
    {"URI", "打开网页链接", {sizeof(AVActionHandlerProcs), uriFill, uriProperties, uriProperties},
     {sizeof(AVActionHandlerProcs), uriFill, uriProperties, nullptr}},
};

}  // namespace

void enumActionHandlers(AVActionEnumProc proc, void* clientData) {
    if (!proc) return;
    for (const Handler& handler : kHandlers)
        if (!proc(atoms().intern(handler.type), handler.userName, clientData)) return;
}

const AVActionHandlerProcs* getActionHandlerByType(ASAtom type) {
    const char* text = atoms().text(type);
    if (!text) return nullptr;
    for (const Handler& handler : kHandlers)
        if (std::string(text) == handler.type)
            return hostMajorVersion() >= 6 ? &handler.procs : &handler.olderProcs;
    return nullptr;
}

}  // namespace qmhost
