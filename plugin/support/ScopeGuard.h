// Clean-up that runs when a scope is left, so that no road out, an exception
// included, forgets it, and no hand-written catch-and-rethrow is needed:
//
//     stream->Open(kStreamRead);
//     const auto closeAtExit = OnScopeExit([&] { stream->Close(); });
//
//     ASCab own = cabDup(cab);
//     const auto destroy = OnFailure([&] { cabDestroy(own); });  // roll-back
//
// The action runs through TrapRun: a clean-up that fails while an exception is
// on its way lets the first failure go on, which is the one worth reporting.
// An action whose own failure must reach the caller belongs on the normal road
// as a plain call (with an OnFailure guard for the other roads).
#pragma once

#include <exception>
#include <type_traits>
#include <utility>

#include "support/CallbackGuard.h"

template <class F>
class TScopeGuard {
public:
    // inOnlyOnFailure: run only when the scope is left by an exception.
    TScopeGuard(F inAction, bool inOnlyOnFailure)
        : mAction(std::move(inAction)), mOnlyOnFailure(inOnlyOnFailure), mExceptions(std::uncaught_exceptions()) {}
    ~TScopeGuard() {
        if (mDismissed) return;
        if (mOnlyOnFailure && std::uncaught_exceptions() <= mExceptions) return;
        TrapRun(mAction);
    }
    TScopeGuard(const TScopeGuard&) = delete;
    TScopeGuard& operator=(const TScopeGuard&) = delete;

    // The action is no longer needed (its work was handed on).
    void Dismiss() noexcept { mDismissed = true; }

private:
    F mAction;
    bool mOnlyOnFailure;
    bool mDismissed = false;
    int mExceptions;
};

// Runs inAction whenever the scope is left.
template <class F>
[[nodiscard]] TScopeGuard<F> OnScopeExit(F inAction) {
    return TScopeGuard<F>(std::move(inAction), false);
}

// Runs inAction only when the scope is left by an exception.
template <class F>
[[nodiscard]] TScopeGuard<F> OnFailure(F inAction) {
    return TScopeGuard<F>(std::move(inAction), true);
}

// Runs inBody, then inCleanUp on every road, and answers what inBody answers.
// After a body that threw, a clean-up that fails too is passed over (the
// body's failure goes on); after a body that ran through, the clean-up's own
// failure reaches the caller.
template <class F, class C>
decltype(auto) WithCleanUp(F&& inBody, C&& inCleanUp) {
    if constexpr (std::is_void_v<decltype(inBody())>) {
        {
            const auto onFailure = OnFailure([&] { inCleanUp(); });
            inBody();
        }
        inCleanUp();
    } else {
        auto result = [&] {
            const auto onFailure = OnFailure([&] { inCleanUp(); });
            return inBody();
        }();
        inCleanUp();
        return result;
    }
}
