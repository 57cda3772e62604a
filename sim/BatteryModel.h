#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "registers/RegisterValue.h"

namespace kelvra::sim {

// A stationary LiFePO4 battery as the unit sees it, stepped in fixed 100 ms
// ticks so that its values depend only on the seed and the number of ticks,
// never on when the host happens to ask.
//
// The current follows a ten-minute profile (discharge, rest, charge, rest)
// with noise; coulomb counting drives the remaining capacity and the state of
// charge; every cell has its own offset, internal resistance and temperature.
// One cell ("weak") has a higher resistance, so it drifts from the average at
// the ends of charge and discharge and raises the above/below-average flags.
// Alarm and warning flags follow the thresholds of the alarm settings.
class BatteryModel {
public:
    static constexpr int kTickMs = 100;

    // An alarm that just started: safety bit and the cell concerned (0 if none).
    using AlarmStarted = std::function<void(int bit, int cell)>;

    BatteryModel(int cells, std::uint32_t seed);

    int cells() const { return cells_; }

    // Advances by one tick, reading thresholds from the alarm and charge
    // settings and writing the measured part of the monitoring registers.
    void Tick(const AlarmSettingsImage& alarm, const ChargeSettingsImage& charge,
              MonitorImage& monitor, const AlarmStarted& onAlarm);

    // Counters the host may set through the command mailbox or a block write.
    void SetRemainingMah(std::int64_t mah);
    void SetFullMah(std::int64_t mah) { fullMah_ = mah > 0 ? mah : 1; }
    void SetDesignMah(std::int64_t mah) { designMah_ = mah > 0 ? mah : 1; }
    void SetCycleCount(std::uint16_t count) { cycleCount_ = count; }
    void CalibrateZero() { sensorOffsetMa_ = 0; }
    std::int64_t remainingMah() const { return static_cast<std::int64_t>(remainingUah_ / 1000); }
    std::int64_t fullMah() const { return fullMah_; }
    std::int64_t designMah() const { return designMah_; }
    std::uint16_t cycleCount() const { return cycleCount_; }
    std::int32_t currentMa() const { return currentMa_; }

private:
    std::uint32_t NextRandom();
    int Noise(int amplitude);  // uniform in -amplitude..amplitude
    std::int32_t ProfileCurrentMa() const;

    int cells_;
    std::uint32_t rng_;
    std::int64_t ticks_ = 0;

    std::int64_t designMah_ = 100000;
    std::int64_t fullMah_ = 98000;
    double remainingUah_ = 70000.0 * 1000;
    std::uint16_t cycleCount_ = 12;
    std::int32_t currentMa_ = 0;
    double averageCurrentMa_ = 0;
    int sensorOffsetMa_ = 35;
    bool wasCharging_ = false;

    std::vector<int> offsetMv_;
    std::vector<int> resistanceMicroOhm_;
    std::vector<int> temperatureOffset_;
    std::vector<int> voltageMv_;
    std::vector<int> temperatureC_;
    int ambientDeciC_ = 235;

    // Time each safety condition has been present, in ticks; its alarm fires
    // when that reaches the condition's delay.
    std::vector<int> conditionTicks_;
    std::uint32_t safetyStatus_ = 0;
};

}  // namespace kelvra::sim
