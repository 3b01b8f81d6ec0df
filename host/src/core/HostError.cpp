#include "qmhost/HostError.h"

#include <utility>

HostError::HostError(int32_t code, std::string message)
    : mCode(code), mMessage(std::move(message)) {}
HostError::HostError(const HostError&) = default;
HostError& HostError::operator=(const HostError&) = default;
HostError::~HostError() = default;

const char* HostError::what() const noexcept { return mMessage.c_str(); }
