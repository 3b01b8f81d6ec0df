#include "stamper/CProductIdentity.h"

#include "stamper/ModuleVersion.h"

CProductIdentity::CProductIdentity() = default;
CProductIdentity::~CProductIdentity() = default;

void CProductIdentity::SetName(const std::string& name) {
    const auto first = name.find_first_not_of(" \t");
    const auto last = name.find_last_not_of(" \t");
    mName = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
}

void CProductIdentity::SetProductId(const std::string& id) { mProductId = id; }

void CProductIdentity::SetSuiteFlags(bool publish, bool print) {
    mPublishSuite = publish;
    mPrintSuite = print;
}

std::string CProductIdentity::GetVersionString(int code) const {
    char buffer[64];
    GetModuleVersionString(buffer, sizeof buffer, code);
    return buffer;
}

std::string CProductIdentity::GetNameAndVersion() const {
    return mName + " " + GetVersionString(3);
}

CProductIdentity& GetProductIdentity() {
    static CProductIdentity identity;
    return identity;
}
