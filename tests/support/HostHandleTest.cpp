// One holder for host handles: a cabinet or text the plug-in owns is given back
// when the holder goes, on an exception too, and not when it was taken.
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "common/PluginFixture.h"
#include "qmhost/HostError.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"

namespace {

// The host refuses a cabinet it no longer knows: a way to see whether one was given back.
bool CabinetIsAlive(ASCab cab) {
    try {
        gASExtraHFT->cabNumEntries(cab);
        return true;
    } catch (const HostError&) {
        return false;
    }
}

TEST(HostHandle, GivesTheCabinetBackUnlessTaken) {
    qmtest::StartLinkedPlugin();
    ASSERT_NE(gASExtraHFT, nullptr);
    ASCab released = nullptr;
    {
        const CHostCab cab(gASExtraHFT->cabNew());
        released = cab.Get();
        EXPECT_TRUE(CabinetIsAlive(released));
    }
    EXPECT_FALSE(CabinetIsAlive(released)) << "destroyed when the holder went";

    ASCab thrownPast = nullptr;
    EXPECT_THROW(
        {
            CHostCab cab(gASExtraHFT->cabNew());
            thrownPast = cab.Get();
            throw std::runtime_error("the put failed");
        },
        std::runtime_error);
    EXPECT_FALSE(CabinetIsAlive(thrownPast)) << "destroyed on the way out of an exception";

    CHostCab kept(gASExtraHFT->cabNew());
    const ASCab taken = kept.Take();
    EXPECT_EQ(kept.Get(), nullptr);
    kept.Reset();
    EXPECT_TRUE(CabinetIsAlive(taken)) << "a taken cabinet belongs to its new owner";
    CHostCab moved(taken);
    CHostCab target(std::move(moved));
    EXPECT_EQ(moved.Get(), nullptr);
    target.Reset();
    EXPECT_FALSE(CabinetIsAlive(taken));
    target.Reset();  // holding nothing, it does nothing
}

}  // namespace
