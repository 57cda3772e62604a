#include "sim/BatteryModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "registers/Flags.h"
#include "registers/MonitorMap.h"

namespace kelvra::sim {

namespace {

// The ten-minute current profile, in seconds of the period.
constexpr int kPeriodS = 600;
constexpr int kDischargeEndS = 240;
constexpr int kChargeStartS = 300;
constexpr int kChargeEndS = 540;
constexpr std::int32_t kDischargeMa = -25000;
constexpr std::int32_t kChargeMa = 20000;

constexpr int kWeakCell = 2;  // the third cell has a high internal resistance

// Open-circuit voltage of a LiFePO4 cell by state of charge: flat in the
// middle, steep at both ends.
int OpenCircuitMv(double soc) {
    struct Point {
        double soc;
        double mv;
    };
    static const Point curve[] = {{0, 2900}, {10, 3200}, {90, 3320}, {100, 3450}};
    soc = std::clamp(soc, 0.0, 100.0);
    for (std::size_t i = 1; i < std::size(curve); ++i) {
        if (soc <= curve[i].soc) {
            const double f = (soc - curve[i - 1].soc) / (curve[i].soc - curve[i - 1].soc);
            return static_cast<int>(
                std::lround(curve[i - 1].mv + f * (curve[i].mv - curve[i - 1].mv)));
        }
    }
    return 3450;
}

void Put32(MonitorImage& m, int reg, std::uint32_t v) {
    m[static_cast<std::size_t>(reg)] = static_cast<std::uint16_t>(v & 0xFFFF);
    m[static_cast<std::size_t>(reg) + 1] = static_cast<std::uint16_t>(v >> 16);
}

std::uint16_t Clamp16(double v) {
    return static_cast<std::uint16_t>(std::clamp(v, 0.0, 65535.0));
}

// Alarm-settings words of a condition with threshold, recovery and delay.
struct ConditionWords {
    int threshold;
    int recovery;
    int delay;
};
constexpr ConditionWords kCov{0, 1, 2}, kCuv{3, 4, 5}, kCova{6, 7, 8}, kCuva{9, 10, 11};
constexpr ConditionWords kCot{12, 13, 14}, kCut{15, 16, 17}, kCota{18, 19, 20};
constexpr ConditionWords kOtaa{21, 22, 23}, kAot{24, 25, 26}, kOtamb{27, 28, 29};
constexpr ConditionWords kOcc{30, 32, 34}, kOcd{36, 38, 40};  // 32-bit thresholds
constexpr ConditionWords kUtc{41, 42, 43}, kUtd{44, 45, 46};

// Charge-settings words the model reads.
constexpr int kPreChargeThresholdWord = 12;
constexpr int kChargeVoltageWord = 16;
constexpr int kChargeCurrentWord = 18;
constexpr int kBalanceDifferenceWord = 22;
constexpr int kRemainingAlarmPercentWord = 41;
constexpr int kMaxChargeAlarmPercentWord = 42;
constexpr int kLeakageWord = 43;

// Bits of Battery_Status the model owns; the others keep what the host wrote.
constexpr std::uint16_t kStatusModelBits = 0xFA70;  // bits 4, 5, 6, 9, 11..15

}  // namespace

BatteryModel::BatteryModel(int cells, std::uint32_t seed)
    : cells_(std::clamp(cells, 1, reg::kMaxCells)), rng_(seed ? seed : 1), conditionTicks_(20, 0) {
    offsetMv_.resize(static_cast<std::size_t>(cells_));
    resistanceMicroOhm_.resize(static_cast<std::size_t>(cells_));
    temperatureOffset_.resize(static_cast<std::size_t>(cells_));
    voltageMv_.assign(static_cast<std::size_t>(cells_), 0);
    temperatureC_.assign(static_cast<std::size_t>(cells_), 0);
    for (int i = 0; i < cells_; ++i) {
        offsetMv_[static_cast<std::size_t>(i)] = Noise(8);
        // 0.8 .. 1.2 milliohm: 20..30 mV across a cell at 25 A.
        resistanceMicroOhm_[static_cast<std::size_t>(i)] =
            800 + static_cast<int>(NextRandom() % 400);
        temperatureOffset_[static_cast<std::size_t>(i)] = static_cast<int>(NextRandom() % 4);
    }
    if (cells_ > kWeakCell) {
        resistanceMicroOhm_[kWeakCell] = 6000;
        temperatureOffset_[kWeakCell] += 2;
    }
}

std::uint32_t BatteryModel::NextRandom() {
    // xorshift32: small, fast and the same on every platform.
    rng_ ^= rng_ << 13;
    rng_ ^= rng_ >> 17;
    rng_ ^= rng_ << 5;
    return rng_;
}

int BatteryModel::Noise(int amplitude) {
    return static_cast<int>(NextRandom() % static_cast<std::uint32_t>(2 * amplitude + 1)) -
           amplitude;
}

void BatteryModel::SetRemainingMah(std::int64_t mah) {
    remainingUah_ = static_cast<double>(std::clamp<std::int64_t>(mah, 0, fullMah_)) * 1000;
}

std::int32_t BatteryModel::ProfileCurrentMa() const {
    const int second = static_cast<int>((ticks_ * kTickMs / 1000) % kPeriodS);
    if (second < kDischargeEndS)
        return kDischargeMa;
    if (second >= kChargeStartS && second < kChargeEndS) {
        // Constant current, then tapering over the last five percent.
        const double soc = remainingUah_ / (static_cast<double>(fullMah_) * 1000) * 100;
        if (soc > 95)
            return static_cast<std::int32_t>(kChargeMa * std::max(0.1, (100 - soc) / 5));
        return kChargeMa;
    }
    return 0;
}

void BatteryModel::Tick(const AlarmSettingsImage& alarm, const ChargeSettingsImage& charge,
                        MonitorImage& m, const AlarmStarted& onAlarm) {
    ++ticks_;
    const Words a(alarm);
    const Words c(charge);

    // Current and coulomb counting.
    const double fullUah = static_cast<double>(fullMah_) * 1000;
    std::int32_t current = ProfileCurrentMa() + Noise(150) + sensorOffsetMa_;
    if ((remainingUah_ <= 0 && current < 0) || (remainingUah_ >= fullUah && current > 0))
        current = sensorOffsetMa_;  // the charger or the load is cut off
    currentMa_ = current;
    remainingUah_ = std::clamp(remainingUah_ + current * (kTickMs / 3600.0), 0.0, fullUah);
    if (ticks_ == 1)
        averageCurrentMa_ = current;  // the minute's average starts where the current is
    averageCurrentMa_ += (current - averageCurrentMa_) * (kTickMs / 60000.0);
    const bool charging = current > 500;
    const bool discharging = current < -500;
    if (charging && !wasCharging_)
        ++cycleCount_;
    if (charging || discharging)
        wasCharging_ = charging;
    const double soc = remainingUah_ / fullUah * 100;

    // Cells.
    const int ocv = OpenCircuitMv(soc);
    const int heating = static_cast<int>(std::abs(averageCurrentMa_) / 8000);
    for (int i = 0; i < cells_; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const double drop = current * resistanceMicroOhm_[k] / 1e6;  // mA * uOhm = 1e-6 mV
        voltageMv_[k] = std::clamp(
            ocv + offsetMv_[k] + static_cast<int>(std::lround(drop)) + Noise(2), 0, 65535);
        temperatureC_[k] = 24 + temperatureOffset_[k] + heating;
    }
    ambientDeciC_ = 235 + Noise(2);

    std::int64_t packMv = 0;
    std::int64_t tempSum = 0;
    int vmax = 0, vmin = 0, tmax = 0, tmin = 0;  // indexes of the extreme cells
    for (int i = 0; i < cells_; ++i) {
        const auto k = static_cast<std::size_t>(i);
        packMv += voltageMv_[k];
        tempSum += temperatureC_[k];
        if (voltageMv_[k] > voltageMv_[static_cast<std::size_t>(vmax)])
            vmax = i;
        if (voltageMv_[k] < voltageMv_[static_cast<std::size_t>(vmin)])
            vmin = i;
        if (temperatureC_[k] > temperatureC_[static_cast<std::size_t>(tmax)])
            tmax = i;
        if (temperatureC_[k] < temperatureC_[static_cast<std::size_t>(tmin)])
            tmin = i;
    }
    const int vavg = static_cast<int>(packMv / cells_);
    const int tavg = static_cast<int>(tempSum / cells_);
    const int vmaxMv = voltageMv_[static_cast<std::size_t>(vmax)];
    const int vminMv = voltageMv_[static_cast<std::size_t>(vmin)];
    const int tmaxC = temperatureC_[static_cast<std::size_t>(tmax)];
    const int tminC = temperatureC_[static_cast<std::size_t>(tmin)];
    const int ambientC = ambientDeciC_ / 10;

    // Safety conditions: an "above" condition is present while the value is
    // over its threshold and recovers once it is back under its recovery
    // level (a "below" one mirrors this). The warning (Safety_Alert) shows
    // at once, the alarm (Safety_Status) after the condition's delay.
    std::uint32_t alert = 0;
    auto condition = [&](int bit, std::int64_t value, std::int64_t threshold, std::int64_t recovery,
                         int delaySeconds, bool above, int cell) {
        const bool present = above ? value > threshold : value < threshold;
        const bool recovered = above ? value < recovery : value > recovery;
        int& ticks = conditionTicks_[static_cast<std::size_t>(bit)];
        const std::uint32_t mask = 1u << bit;
        if (present) {
            alert |= mask;
            ++ticks;
            if (!(safetyStatus_ & mask) && ticks >= delaySeconds * (1000 / kTickMs)) {
                safetyStatus_ |= mask;
                if (onAlarm)
                    onAlarm(bit, cell);
            }
        } else if (recovered || !(safetyStatus_ & mask)) {
            safetyStatus_ &= ~mask;
            ticks = 0;
        } else {
            alert |= mask;  // between recovery and threshold: the alarm holds
        }
    };
    auto u16 = [&](int word) { return std::int64_t{a.at(static_cast<std::size_t>(word))}; };
    auto s16 = [&](int word) {
        return std::int64_t{static_cast<std::int16_t>(a.at(static_cast<std::size_t>(word)))};
    };
    auto s32 = [&](int word) {
        return std::int64_t{static_cast<std::int32_t>(a.pair(static_cast<std::size_t>(word)))};
    };
    auto three = [&](int bit, const ConditionWords& w, std::int64_t value, bool above,
                     bool isSigned, int cell) {
        condition(bit, value, isSigned ? s16(w.threshold) : u16(w.threshold),
                  isSigned ? s16(w.recovery) : u16(w.recovery), static_cast<int>(u16(w.delay)),
                  above, cell);
    };
    three(0, kCov, vmaxMv, true, false, vmax + 1);
    three(1, kCuv, vminMv, false, false, vmin + 1);
    three(2, kCova, vmaxMv - vavg, true, false, vmax + 1);
    three(3, kCuva, vavg - vminMv, true, false, vmin + 1);
    three(4, kCot, tmaxC, true, true, tmax + 1);
    three(5, kCut, tminC, false, true, tmin + 1);
    three(6, kCota, tmaxC - tavg, true, true, tmax + 1);
    three(8, kOtaa, tavg - ambientC, true, true, 0);
    three(9, kAot, tavg, true, true, 0);
    three(10, kOtamb, ambientC, true, true, 0);
    condition(12, current, std::llabs(s32(kOcc.threshold)), std::llabs(s32(kOcc.recovery)),
              static_cast<int>(u16(kOcc.delay)), true, 0);
    condition(13, -std::int64_t{current}, std::llabs(s32(kOcd.threshold)),
              std::llabs(s32(kOcd.recovery)), static_cast<int>(u16(kOcd.delay)), true, 0);
    three(14, kUtc, charging ? tminC : 1000, false, true, tmin + 1);
    three(15, kUtd, discharging ? tminC : 1000, false, true, tmin + 1);

    // Cell flags.
    const Words cs(charge);
    const int balanceMv = cs.at(kBalanceDifferenceWord);
    const int preChargeMv = cs.at(kPreChargeThresholdWord);
    bool anyBalancing = false;
    bool anyPreCharge = false;
    for (int i = 0; i < reg::kMaxCells; ++i) {
        std::uint16_t flags = 0;
        std::uint16_t mv = 0;
        std::int16_t t = 0;
        if (i < cells_) {
            const auto k = static_cast<std::size_t>(i);
            const int v = voltageMv_[k];
            const int temp = temperatureC_[k];
            mv = static_cast<std::uint16_t>(v);
            t = static_cast<std::int16_t>(temp);
            auto set = [&](int bit, bool on) {
                if (on)
                    flags |= static_cast<std::uint16_t>(1u << bit);
            };
            set(cellbit::OV, v > u16(kCov.threshold));
            set(cellbit::UV, v < u16(kCuv.threshold));
            set(cellbit::OVA, v - vavg > u16(kCova.threshold));
            set(cellbit::UVA, vavg - v > u16(kCuva.threshold));
            set(cellbit::OT, temp > s16(kCot.threshold));
            set(cellbit::UT, temp < s16(kCut.threshold));
            set(cellbit::OTA, temp - tavg > s16(kCota.threshold));
            set(cellbit::TMAX, i == tmax);
            set(cellbit::TMIN, i == tmin);
            set(cellbit::VMAX, i == vmax);
            set(cellbit::VMIN, i == vmin);
            const bool balancing = charging && balanceMv > 0 && v - vminMv > balanceMv;
            set(cellbit::BALANCE, balancing);
            const bool preCharge = v < preChargeMv;
            set(cellbit::PCH, preCharge);
            anyBalancing = anyBalancing || balancing;
            anyPreCharge = anyPreCharge || preCharge;
        }
        m[static_cast<std::size_t>(reg::CellVoltageBase + i)] = mv;
        m[static_cast<std::size_t>(reg::CellTemperatureBase + i)] = static_cast<std::uint16_t>(t);
        m[static_cast<std::size_t>(reg::CellStatusBase + i)] = flags;
    }

    // Charge flags.
    const double remainingPercentAlarm = cs.at(kRemainingAlarmPercentWord);
    const double maxChargePercentAlarm = cs.at(kMaxChargeAlarmPercentWord);
    std::uint16_t chargeStatus = 0;
    std::uint16_t chargeAlert = 0;
    const bool full = soc >= 99.95;
    const bool empty = remainingUah_ <= 0;
    if (full)
        chargeStatus |= 1u << 0;
    if (empty)
        chargeStatus |= 1u << 1;
    if (full && !discharging)
        chargeStatus |= 1u << 2;
    if (discharging)
        chargeStatus |= 1u << 3;
    if (soc < remainingPercentAlarm)
        chargeStatus |= 1u << 4;
    if (soc < remainingPercentAlarm + 5)
        chargeAlert |= 1u << 4;
    if (maxChargePercentAlarm > 0 && soc > maxChargePercentAlarm)
        chargeStatus |= 1u << 5;
    if (anyPreCharge)
        chargeStatus |= 1u << 6;
    if (anyBalancing)
        chargeStatus |= 1u << 7;

    // Battery status lamps.
    std::uint16_t status = m[reg::Battery_Status] & static_cast<std::uint16_t>(~kStatusModelBits);
    auto lamp = [&](int bit, bool on) {
        if (on)
            status |= static_cast<std::uint16_t>(1u << bit);
    };
    const std::uint32_t s = safetyStatus_;
    lamp(4, empty);
    lamp(5, full);
    lamp(6, discharging);
    lamp(9, soc < remainingPercentAlarm);
    lamp(11, BitSet(s, 1) || BitSet(s, 13) || BitSet(s, 15));
    lamp(12, BitSet(s, 4) || BitSet(s, 9));
    lamp(13, BitSet(s, 14));
    lamp(14, BitSet(s, 0) || BitSet(s, 12) || BitSet(s, 4));
    lamp(15, BitSet(s, 0));

    // The base block.
    Put32(m, reg::Design_Capacity, static_cast<std::uint32_t>(designMah_));
    m[reg::Design_Cell_Number] = static_cast<std::uint16_t>(cells_);
    Put32(m, reg::Pack_Voltage_Sum, static_cast<std::uint32_t>(packMv));
    Put32(m, reg::Pack_Current, static_cast<std::uint32_t>(current));
    Put32(m, reg::Pack_Current_Leakage, static_cast<std::uint32_t>(current + cs.at(kLeakageWord)));
    Put32(m, reg::Pack_Current_Average,
          static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(averageCurrentMa_))));
    m[reg::Cell_Voltage_Average] = static_cast<std::uint16_t>(vavg);
    m[reg::Cell_Voltage_Max] = static_cast<std::uint16_t>(vmaxMv);
    m[reg::Cell_Voltage_Min] = static_cast<std::uint16_t>(vminMv);
    m[reg::Cell_Temp_Average] = static_cast<std::uint16_t>(tavg);
    m[reg::Cell_Temp_Max] = static_cast<std::uint16_t>(tmaxC);
    m[reg::Cell_Temp_Min] = static_cast<std::uint16_t>(tminC);
    m[reg::Temperature_Ambient] = static_cast<std::uint16_t>(ambientDeciC_);
    m[reg::Relative_State_of_Charge] = static_cast<std::uint16_t>(std::lround(std::floor(soc)));
    m[reg::Absolute_State_of_Charge] =
        Clamp16(std::floor(remainingUah_ / (designMah_ * 1000.0) * 100));
    Put32(m, reg::Remaining_Pack_Capacity, static_cast<std::uint32_t>(remainingUah_ / 1000));
    Put32(m, reg::Full_Charge_Capacity, static_cast<std::uint32_t>(fullMah_));
    const double remainingMah = remainingUah_ / 1000;
    m[reg::Run_Time_to_Empty] = current < 0 ? Clamp16(remainingMah / -current * 60) : 65535;
    m[reg::Average_Time_to_Empty] =
        averageCurrentMa_ < -1 ? Clamp16(remainingMah / -averageCurrentMa_ * 60) : 65535;
    m[reg::Average_Time_to_Full] =
        averageCurrentMa_ > 1 ? Clamp16((fullMah_ - remainingMah) / averageCurrentMa_ * 60) : 65535;
    m[reg::Battery_Status] = status;
    m[reg::Cycle_Count] = cycleCount_;
    Put32(m, reg::Safety_Alert, alert);
    Put32(m, reg::Safety_Status, safetyStatus_);
    m[reg::Charge_Alert] = chargeAlert;
    m[reg::Charge_Status] = chargeStatus;
    m[reg::DinDout_Status] =
        static_cast<std::uint16_t>((charging ? 0x0001 : 0) | (BitSet(status, 14) ? 0x0100 : 0) |
                                   (BitSet(status, 11) ? 0x0200 : 0));
    m[reg::Charging_Current] =
        charging ? static_cast<std::uint16_t>(c.pair(kChargeCurrentWord) / 10) : 0;
    m[reg::Charging_Voltage] =
        charging ? static_cast<std::uint16_t>(c.at(kChargeVoltageWord) / 10) : 0;
}

}  // namespace kelvra::sim
