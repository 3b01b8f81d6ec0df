// Document views: one record per open view (a window in the viewer, a record
// in the command-line host), the active view, and the notifications sent when
// views come and go.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "qmhost/QMBase.h"

namespace qmhost {

class Views {
public:
    // Opens a view that owns doc, makes it active and sends notification 4.
    AVDoc open(PDDoc doc, const std::string& title);
    // Sends notification 33 for its document and 7 for the view, then closes
    // the view and its document. The most recently opened remaining view
    // becomes active. Raises kHostErrBadHandle for an unknown view.
    void close(AVDoc view);
    void closeAll();
    AVDoc active() const;
    void setActive(AVDoc view);  // raises kHostErrBadHandle for an unknown view
    PDDoc documentOf(AVDoc view) const;  // raises kHostErrBadHandle
    AVDoc viewOf(PDDoc doc) const;       // null when the document has no view
    std::string titleOf(AVDoc view) const;
    // The view shows its document under a new name (after Save As). Raises
    // kHostErrBadHandle for an unknown view.
    void setTitle(AVDoc view, const std::string& title);
    size_t count() const { return mViews.size(); }

private:
    struct View {
        uintptr_t id;
        PDDoc doc;
        std::string title;
    };
    const View* find(AVDoc view) const;

    std::vector<View> mViews;  // in opening order
    uintptr_t mActive = 0;
    uintptr_t mNext = 1;
};

Views& views();

// What the program does with a view that a plug-in opened (AppView
// avDocOpenFromPDDoc), told right after it opened, often in the middle of the
// plug-in's run: the desktop host gives it a window. Empty: nothing.
void setPluginViewListener(std::function<void(AVDoc view)> listener);
// Tells the listener (AppView avDocOpenFromPDDoc does).
void notePluginView(AVDoc view);
// Told when a view is about to close, whoever closes it (a plug-in's avDocClose
// too), while its document is still open. Empty: nobody.
void setViewClosingListener(std::function<void(AVDoc view)> listener);

}  // namespace qmhost
