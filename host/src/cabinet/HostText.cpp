#include "cabinet/HostText.h"

#include "cabinet/CabinetHandles.h"

namespace qmhost {

HostText::HostText(std::string utf8) : mUtf8(std::move(utf8)), mHandle(registerText(*this)) {}

HostText::~HostText() { forgetText(mHandle); }

}  // namespace qmhost
