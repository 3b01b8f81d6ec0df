// Registrations of callbacks for host notifications, and sending them.
#pragma once

#include <cstdint>
#include <vector>

#include "qmhost/QMBase.h"

namespace qmhost {

struct NotificationRegistration {
    int32_t notification;
    ExtensionID extension;
    ASCallback callback;
    void* clientData;
};

class Notifications {
public:
    // Raises kHostErrBadParameter for a number the host does not send.
    void add(int32_t notification, ExtensionID extension, ASCallback callback, void* clientData);
    void remove(int32_t notification, ASCallback callback, void* clientData);
    // Registrations still held for an extension (after its unload there must be none).
    std::vector<NotificationRegistration> heldBy(ExtensionID extension) const;
    // Drops every registration of an extension.
    void dropExtension(ExtensionID extension);

    // Sends to every registration of the number; a callback that throws is
    // stopped at the boundary and the others still run.
    void sendView(int32_t notification, AVDoc view);
    void sendDoc(int32_t notification, PDDoc doc);

private:
    std::vector<NotificationRegistration> mRegistrations;
};

Notifications& notifications();

}  // namespace qmhost
