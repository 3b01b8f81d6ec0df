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
    // the plug-in is a loaded module, the program when it is linked into one,
    // or the file set below. Empty when the system cannot tell.
    std::string GetModuleFileName() const;

    // The module this code starts for when it was loaded from another file
    // (the dialogs' companion starts for the module that loaded it).
    void SetModuleFileName(std::string inPath) { mModuleFileName = std::move(inPath); }

private:
    const char* mAppName;  // a literal
    std::string mModuleFileName;
};

// The application object ("Quillmark").
CStamperApp& GetStamperApp();
