// Points the plug-in's host-table pointers at the given tables (null: none) for
// the scope of a test and puts the previous ones back afterwards.
#pragma once

#include "support/HostTables.h"

class ScopedHostTables {
public:
    ScopedHostTables(const AcroViewTable* view, const PDModelTable* model,
                     const AcroSupportTable* support)
        : mView(gAcroViewHFT), mModel(gPDModelHFT), mSupport(gAcroSupportHFT) {
        gAcroViewHFT = view;
        gPDModelHFT = model;
        gAcroSupportHFT = support;
    }
    ~ScopedHostTables() {
        gAcroViewHFT = mView;
        gPDModelHFT = mModel;
        gAcroSupportHFT = mSupport;
    }
    ScopedHostTables(const ScopedHostTables&) = delete;
    ScopedHostTables& operator=(const ScopedHostTables&) = delete;

private:
    const AcroViewTable* mView;
    const PDModelTable* mModel;
    const AcroSupportTable* mSupport;
};
