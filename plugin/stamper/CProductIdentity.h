// The product's name, identifier and families, and the module's version.
#pragma once

#include <string>

class CProductIdentity {
public:
    CProductIdentity();
    virtual ~CProductIdentity();

    // Stores the name with blanks trimmed on both sides.
    void SetName(const std::string& name);
    void SetProductId(const std::string& id);
    void SetSuiteFlags(bool publish, bool print);

    std::string GetName() const { return mName; }
    std::string GetProductId() const { return mProductId; }
    bool IsPublishSuiteMember() const { return mPublishSuite; }
    bool IsPrintSuiteMember() const { return mPrintSuite; }

    // The module's version in a format code (see FormatVersion); "" without a record.
    std::string GetVersionString(int code) const;
    // Name, a blank and the version in code 3.
    std::string GetNameAndVersion() const;

private:
    std::string mName;
    std::string mProductId;
    bool mPublishSuite = false;
    bool mPrintSuite = false;
};

// The one process-wide instance.
CProductIdentity& GetProductIdentity();
