#include "logo/MidiPlatform.h"

#include <algorithm>

MidiPlatform::~MidiPlatform() = default;

namespace {

template <class Lookup> std::vector<std::string> ListNames(unsigned max, Lookup lookup) {
    std::vector<std::string> names;
    for (unsigned i = 0; i < max; ++i) {
        std::optional<std::string> name = lookup(i);
        if (!name)
            break;
        names.push_back(std::move(*name));
    }
    return names;
}

// Index of the first entry called name, or -1.
int IndexOf(const std::vector<std::string> &names, const std::string &name) {
    auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

constexpr unsigned kMaxListed = 1000;

} // namespace

std::vector<std::string> MidiPlatform::InDeviceNames(unsigned max) {
    return ListNames(max, [this](unsigned i) { return InDeviceName(i); });
}

std::vector<std::string> MidiPlatform::OutDeviceNames(unsigned max) {
    return ListNames(max, [this](unsigned i) { return OutDeviceName(i); });
}

int MidiPlatform::InOpenNamed(Handle &handle, const std::string &name, InCallback callback) {
    handle = 0;
    int index = IndexOf(InDeviceNames(kMaxListed), name);
    return index < 0 ? 1 : InOpen(handle, static_cast<unsigned>(index), std::move(callback));
}

int MidiPlatform::OutOpenNamed(Handle &handle, const std::string &name, OutCallback callback) {
    handle = 0;
    int index = IndexOf(OutDeviceNames(kMaxListed), name);
    return index < 0 ? 1 : OutOpen(handle, static_cast<unsigned>(index), std::move(callback));
}
