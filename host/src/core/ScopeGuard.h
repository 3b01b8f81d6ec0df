// Clean-up that runs when a scope is left, so that no road out, an exception
// included, forgets it, and no hand-written catch-and-rethrow is needed:
//
//     ASPathName target = makePath(path);
//     const auto release = onScopeExit([&] { releasePathHandle(target); });
//
//     const PDDoc doc = docOpen(...);
//     const auto closeOnFailure = onFailure([&] { docClose(doc); });  // roll-back
//
// The action runs through trappedRun: a clean-up that fails while an exception
// is on its way lets the first failure go on, which is the one worth
// reporting. An action whose own failure must reach the caller belongs on the
// normal road as a plain call (with an onFailure guard for the other roads).
#pragma once

#include <exception>
#include <type_traits>
#include <utility>

#include "core/ExceptionTrap.h"

namespace qmhost {

template <class F>
class ScopeGuard {
public:
    // onlyOnFailure: run only when the scope is left by an exception.
    ScopeGuard(F action, bool onlyOnFailure)
        : mAction(std::move(action)), mOnlyOnFailure(onlyOnFailure), mExceptions(std::uncaught_exceptions()) {}
    ~ScopeGuard() {
        if (mOnlyOnFailure && std::uncaught_exceptions() <= mExceptions) return;
        trappedRun(mAction);
    }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

private:
    F mAction;
    bool mOnlyOnFailure;
    int mExceptions;
};

// Runs action whenever the scope is left.
template <class F>
[[nodiscard]] ScopeGuard<F> onScopeExit(F action) {
    return ScopeGuard<F>(std::move(action), false);
}

// Runs action only when the scope is left by an exception.
template <class F>
[[nodiscard]] ScopeGuard<F> onFailure(F action) {
    return ScopeGuard<F>(std::move(action), true);
}

// Runs body, then cleanUp on every road, and answers what body answers. After
// a body that threw, a clean-up that fails too is passed over (the body's
// failure goes on); after a body that ran through, the clean-up's own failure
// reaches the caller.
template <class F, class C>
decltype(auto) withCleanUp(F&& body, C&& cleanUp) {
    if constexpr (std::is_void_v<decltype(body())>) {
        {
            const auto rollBack = onFailure([&] { cleanUp(); });
            body();
        }
        cleanUp();
    } else {
        auto result = [&] {
            const auto rollBack = onFailure([&] { cleanUp(); });
            return body();
        }();
        cleanUp();
        return result;
    }
}

}  // namespace qmhost
