// The application object of the plug-in: one static instance, made when the
// library is loaded (before the host calls anything) and destroyed when it is
// unloaded. It names the application and knows the library's own file.
#pragma once

#include <string>

class CStamperApp {
public:
    explicit CStamperApp(const char* inAppName);
    CStamperApp(const CStamperApp&) = delete;
    CStamperApp& operator=(const CStamperApp&) = delete;

    const char* GetAppName() const { return mAppName; }

    // The absolute path of the file this code was loaded from: the module when
    // the plug-in is a loaded module, the program when it is linked into one.
    // Empty when the system cannot tell.
    std::string GetModuleFileName() const;

private:
    const char* mAppName;  // a literal
};

// The application object ("Quillmark").
CStamperApp& GetStamperApp();
