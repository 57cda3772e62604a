#include "link/RegisterImages.h"

#include <algorithm>

namespace kelvra {

namespace {

// Calls f(first word, size) of one area of a snapshot, const or not.
template <typename S, typename F>
auto WithArea(S& s, RegisterImages::Area area, F&& f) {
    switch (area) {
        case RegisterImages::Area::Monitor:
            return f(s.monitor.data(), s.monitor.size());
        case RegisterImages::Area::RsSettings:
            return f(s.rs.data(), s.rs.size());
        case RegisterImages::Area::ChargeSettings:
            return f(s.charge.data(), s.charge.size());
        case RegisterImages::Area::AlarmSettings:
            return f(s.alarm.data(), s.alarm.size());
        case RegisterImages::Area::Journal:
            break;
    }
    return f(s.journal.data(), s.journal.size());
}

}  // namespace

void RegisterImages::Store(Area area, std::size_t firstWord,
                           const std::vector<std::uint16_t>& words) {
    std::lock_guard<std::mutex> lock(mutex_);
    WithArea(images_, area, [&](std::uint16_t* data, std::size_t size) {
        for (std::size_t i = 0; i < words.size() && firstWord + i < size; ++i)
            data[firstWord + i] = words[i];
        return 0;
    });
}

RegisterImages::Snapshot RegisterImages::Take() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return images_;
}

std::vector<std::uint16_t> RegisterImages::Words(Area area, std::size_t firstWord,
                                                 std::size_t count) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return WithArea(images_, area, [&](const std::uint16_t* data, std::size_t size) {
        std::vector<std::uint16_t> words;
        for (std::size_t i = 0; i < count && firstWord + i < size; ++i)
            words.push_back(data[firstWord + i]);
        return words;
    });
}

}  // namespace kelvra
