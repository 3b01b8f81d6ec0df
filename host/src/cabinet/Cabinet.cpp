#include "cabinet/Cabinet.h"

#include <algorithm>

#include "cabinet/CabinetHandles.h"
#include "core/Callbacks.h"
#include "core/ExceptionTrap.h"
#include "qmhost/ASExtraTable.h"

namespace qmhost {
namespace {

CabinetValue cloneValue(const CabinetValue& value) {
    if (auto* text = std::get_if<std::unique_ptr<HostText>>(&value))
        return std::make_unique<HostText>((*text)->utf8());
    if (auto* cabinet = std::get_if<std::unique_ptr<Cabinet>>(&value)) return (*cabinet)->clone();
    if (auto* pointer = std::get_if<std::shared_ptr<PointerRecord>>(&value)) return *pointer;
    if (auto* string = std::get_if<StringValue>(&value)) return *string;
    if (auto* binary = std::get_if<BinaryValue>(&value)) return *binary;
    if (auto* number = std::get_if<int32_t>(&value)) return *number;
    if (auto* flag = std::get_if<bool>(&value)) return *flag;
    return std::get<double>(value);
}

}  // namespace

PointerRecord::~PointerRecord() {
    auto destroy = callbacks().as<ASCabPointerDestroyProc>(mDestroy);
    if (!destroy) return;  // none given, or its plug-in is gone
    // A destructor cannot report a failure, and the entry is gone either way.
    trappedRun([&] { destroy(mPointer); });
}

int32_t valueTypeOf(const CabinetValue& value) { return static_cast<int32_t>(value.index()) + 1; }

Cabinet::Cabinet() : mHandle(registerCabinet(*this)) {}

Cabinet::~Cabinet() {
    // The handle goes first: destroy procedures that run below find it stale.
    forgetCabinet(mHandle);
    Entries doomed = takeEntries();
}

int Cabinet::depth() const {
    int levels = 1;
    for (const Cabinet* c = mParent; c; c = c->mParent) ++levels;
    return levels;
}

int Cabinet::height() const {
    int below = 0;
    for (const auto& entry : mEntries)
        if (auto* sub = std::get_if<std::unique_ptr<Cabinet>>(&entry.second))
            below = std::max(below, (*sub)->height());
    return below + 1;
}

bool Cabinet::contains(const Cabinet& other) const {
    for (const Cabinet* c = &other; c; c = c->mParent)
        if (c == this) return true;
    return false;
}

const CabinetValue* Cabinet::find(std::string_view key) const {
    auto it = mEntries.find(key);
    return it == mEntries.end() ? nullptr : &it->second;
}

void Cabinet::adopt(CabinetValue& value) {
    if (auto* sub = std::get_if<std::unique_ptr<Cabinet>>(&value)) (*sub)->mParent = this;
    if (auto* text = std::get_if<std::unique_ptr<HostText>>(&value)) (*text)->setHeld(true);
}

void Cabinet::put(std::string_view key, CabinetValue value) {
    adopt(value);
    auto it = mEntries.find(key);
    if (it == mEntries.end()) {
        mEntries.emplace(std::string(key), std::move(value));
        return;
    }
    CabinetValue replaced = std::move(it->second);
    it->second = std::move(value);
}

bool Cabinet::remove(std::string_view key) {
    auto it = mEntries.find(key);
    if (it == mEntries.end()) return false;
    CabinetValue removed = std::move(it->second);
    mEntries.erase(it);
    return true;
}

void Cabinet::clear() { Entries doomed = takeEntries(); }

Cabinet::Entries Cabinet::takeEntries() {
    Entries taken = std::move(mEntries);
    mEntries.clear();
    for (auto& entry : taken)
        if (auto* sub = std::get_if<std::unique_ptr<Cabinet>>(&entry.second)) (*sub)->mParent = nullptr;
    return taken;
}

std::unique_ptr<Cabinet> Cabinet::clone() const {
    auto copy = std::make_unique<Cabinet>();
    for (const auto& entry : mEntries) copy->put(entry.first, cloneValue(entry.second));
    return copy;
}

}  // namespace qmhost
