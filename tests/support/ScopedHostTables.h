// Points the plug-in's host-table pointers at the given tables (null: none) for
// the scope of a test and puts the previous ones back afterwards.
#pragma once

#include "support/HostTables.h"

class ScopedHostTables {
public:
    ScopedHostTables(const AppViewTable* view, const PDModelTable* model,
                     const AppSupportTable* support)
        : mView(gAppViewHFT), mModel(gPDModelHFT), mSupport(gAppSupportHFT) {
        gAppViewHFT = view;
        gPDModelHFT = model;
        gAppSupportHFT = support;
    }
    ~ScopedHostTables() {
        gAppViewHFT = mView;
        gPDModelHFT = mModel;
        gAppSupportHFT = mSupport;
    }
    ScopedHostTables(const ScopedHostTables&) = delete;
    ScopedHostTables& operator=(const ScopedHostTables&) = delete;

private:
    const AppViewTable* mView;
    const PDModelTable* mModel;
    const AppSupportTable* mSupport;
};
