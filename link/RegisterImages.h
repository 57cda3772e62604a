#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "registers/RegisterValue.h"

namespace kelvra {

// The host's copies of the unit's register areas, program-wide. The poll
// writes blocks into them on the link's thread while the window may be
// refilling its tables from them, so every access goes through the lock: a
// block is stored whole, and readers take a consistent snapshot.
class RegisterImages {
public:
    enum class Area { Monitor, RsSettings, ChargeSettings, AlarmSettings, Journal };

    struct Snapshot {
        MonitorImage monitor{};
        RsSettingsImage rs{};
        ChargeSettingsImage charge{};
        AlarmSettingsImage alarm{};
        JournalImage journal{};
    };

    // Stores words from `firstWord` on; words beyond the image are dropped.
    void Store(Area area, std::size_t firstWord, const std::vector<std::uint16_t>& words);
    Snapshot Take() const;
    // Copies `count` words from `firstWord` of one area.
    std::vector<std::uint16_t> Words(Area area, std::size_t firstWord, std::size_t count) const;

    // Runs f(Snapshot&) under the lock, for callers that change several words
    // (the table loads and the settings write-back).
    template <typename F>
    auto Edit(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(images_);
    }

private:
    mutable std::mutex mutex_;
    Snapshot images_;
};

}  // namespace kelvra
