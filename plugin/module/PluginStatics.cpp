// The plug-in's static objects, built before the host calls anything and in
// this order: the log, the profiles folder's path, the application object. One
// translation unit fixes the order; the first two live in function-local
// statics of their own files, which these references make now.
#include "module/CStamperApp.h"
#include "stamper/CStamperLog.h"
#include "stamper/HostServices.h"

namespace {

[[maybe_unused]] CStamperLog& sStamperLog = GetStamperLog();                  // never destroyed
[[maybe_unused]] const TFileSpecifier& sProfilesFolder = GetProfilesFolderSpec();
CStamperApp sStamperApp("Quillmark");  // destroyed when the library unloads

}  // namespace

CStamperApp& GetStamperApp() { return sStamperApp; }
