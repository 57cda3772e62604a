#include "sim/SimulatedUnit.h"

#include <algorithm>
#include <cstring>

#include "bootloader/ImageCrc32.h"
#include "link/Crc16.h"
#include "link/ModbusFrame.h"
#include "registers/MonitorMap.h"
#include "registers/SettingsTables.h"

namespace kelvra::sim {

namespace {

constexpr std::uint16_t kMonitorWritableWords = 50;  // the base block 0..49
constexpr std::uint16_t kJournalStart = 0x7400;
constexpr std::uint16_t kLoggedInBit = 1u << 5;   // Battery_Mode
constexpr std::uint32_t kFirmwareVersion = 2013;  // shown as 2.013

// Bootloader commands.
constexpr std::uint8_t kBootInit = 0x30;
constexpr std::uint8_t kBootErase = 0x20;
constexpr std::uint8_t kBootWrite = 0x21;
constexpr std::uint8_t kBootRestart = 0x31;
constexpr std::uint16_t kBootRegistersStart = 0;
constexpr std::uint16_t kBootRegistersCount = 11;
constexpr std::uint16_t kAppDataStart = 4248;
constexpr std::uint16_t kAppDataCount = 18;

std::uint16_t Get16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}

void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

Bytes& WithCrc(Bytes& b) {
    const std::uint16_t crc = Crc16(b.data(), b.size());
    b.push_back(static_cast<std::uint8_t>(crc >> 8));
    b.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    return b;
}

bool Hits(int every, int n) {
    return every > 0 && n % every == 0;
}

template <std::size_t N>
void Set32(std::array<std::uint16_t, N>& image, std::size_t word, std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    image[word] = static_cast<std::uint16_t>(v & 0xFFFF);
    image[word + 1] = static_cast<std::uint16_t>(v >> 16);
}

}  // namespace

Bytes Reply::bytes() const {
    Bytes all;
    for (const ReplyPiece& piece : pieces)
        all.insert(all.end(), piece.bytes.begin(), piece.bytes.end());
    return all;
}

std::uint32_t PackPassword(const std::string& fourBytes) {
    std::uint32_t packed = 0;
    for (std::size_t i = 0; i < 4 && i < fourBytes.size(); ++i) {
        const auto widened = static_cast<std::uint32_t>(
            static_cast<std::int32_t>(static_cast<std::int8_t>(fourBytes[i])));
        packed |= widened << (8 * i);
    }
    return packed;
}

SimulatedUnit::SimulatedUnit(const UnitConfig& config)
    : config_(config),
      address_(config.address),
      model_(config.cells, config.seed),
      password_(PackPassword(config.password)),
      bootloader_(config.startInBootloader) {
    const int cells = model_.cells();

    rs_ = {address_, 4, 0, 0, 0, 0};

    auto perPack = [cells](int mvPerCell) {
        return static_cast<std::uint16_t>(std::min(65535, mvPerCell * cells));
    };
    charge_[0] = perPack(3380);  // CF_Voltage
    charge_[1] = 500;
    charge_[2] = 30;
    Set32(charge_, 4, 2000);  // CF_Current
    Set32(charge_, 6, 500);
    charge_[8] = 30;
    charge_[9] = 90;  // CF_Time, minutes
    Set32(charge_, 10, 1000);
    charge_[12] = 2500;  // PreCharge_Voltage_Threshold
    charge_[13] = 2700;
    Set32(charge_, 14, 5000);
    charge_[16] = perPack(3550);  // Charge_Voltage
    Set32(charge_, 18, 20000);    // Charge_Current
    Set32(charge_, 20, 2000);
    charge_[22] = 30;  // Balance_Difference_Threshold
    charge_[23] = 10;
    charge_[24] = 60;
    charge_[25] = 3400;
    charge_[26] = 3350;
    Set32(charge_, 28, 100);
    charge_[30] = 600;
    charge_[31] = 600;
    charge_[32] = 500;
    charge_[33] = 60;
    charge_[34] = static_cast<std::uint16_t>(-500);
    charge_[35] = 500;
    Set32(charge_, 36, model_.designMah());
    Set32(charge_, 38, model_.designMah() * 32 / 10 * cells);  // mWh at 3.2 V a cell
    charge_[40] = static_cast<std::uint16_t>(cells);
    charge_[41] = 20;  // Remaining_Capacity_Alarm_Percent
    charge_[42] = 100;
    charge_[43] = 15;     // Leakage_Current
    charge_[44] = 33000;  // Balance_Resistor, milliohm
    charge_[45] = 500;    // Cell_Periodicity, ms

    // Threshold, recovery, delay of each condition (mV, degrees, mA, s).
    const std::uint16_t threeWord[][3] = {
        {3650, 3550, 5},  // COV
        {2800, 2950, 5},  // CUV
        {100, 60, 10},    // COVA
        {100, 60, 10},    // CUVA
        {55, 50, 10},     // COT
        {0, 3, 10},       // CUT
        {8, 5, 10},       // COTA
        {15, 12, 60},     // OTAA
        {45, 42, 60},     // AOT
        {40, 37, 60},     // OTAMB
    };
    for (std::size_t i = 0; i < std::size(threeWord); ++i)
        for (std::size_t j = 0; j < 3; ++j)
            alarm_[3 * i + j] = threeWord[i][j];
    Set32(alarm_, 30, 60000);  // OCC
    Set32(alarm_, 32, 55000);
    alarm_[34] = 5;
    Set32(alarm_, 36, -120000);  // OCD, a discharge current
    Set32(alarm_, 38, -110000);
    alarm_[40] = 5;
    alarm_[41] = 0;  // UTC
    alarm_[42] = 2;
    alarm_[43] = 10;
    alarm_[44] = static_cast<std::uint16_t>(-20);  // UTD
    alarm_[45] = static_cast<std::uint16_t>(-18);
    alarm_[46] = 10;
    alarm_[47] = 10;  // DWDG_Time
    alarm_[48] = 60;  // OTDS_Time, minutes
    alarm_[49] = 50;  // DIN_Time, ms

    journal_.fill(0xFFFF);
    const int fill = std::max(0, config.journalFill);
    for (int i = 0; i < fill; ++i) {
        const auto code = static_cast<std::uint16_t>(i % 20);
        const auto cell = static_cast<std::uint16_t>(code <= 6 ? i % cells + 1 : 0);
        AddJournalRecord(config.clockStart - static_cast<ClockValue>((fill - i) * 3600), code,
                         cell);
    }

    flash_.assign(static_cast<std::size_t>(config.flashFreeKiB) * 1024, 0xFF);
    monitor_[reg::Battery_Status] = 0;
    AdvanceTo(milliseconds{0});
    // One tick so that the very first poll finds live values.
    model_.Tick(alarm_, charge_, monitor_, nullptr);
    RefreshUnitRegisters();
}

ClockValue SimulatedUnit::clock() const {
    return static_cast<ClockValue>(config_.clockStart + clockOffsetS_ + modelTime_.count() / 1000);
}

void SimulatedUnit::AdvanceTo(milliseconds now) {
    const milliseconds tick{BatteryModel::kTickMs};
    while (modelTime_ + tick <= now) {
        modelTime_ += tick;
        if (frozen_)
            continue;
        model_.Tick(alarm_, charge_, monitor_, [this](int bit, int cell) {
            AddJournalRecord(clock(), static_cast<std::uint16_t>(bit),
                             static_cast<std::uint16_t>(cell));
        });
    }
    RefreshUnitRegisters();
}

void SimulatedUnit::RefreshUnitRegisters() {
    Set32(monitor_, reg::RESERVED, 0);
    Set32(monitor_, reg::Firmware_Version, kFirmwareVersion);
    monitor_[reg::Battery_Mode] = batteryMode_;
    Set32(monitor_, reg::RTC_Time_Value, clock());
}

void SimulatedUnit::AddJournalRecord(ClockValue time, std::uint16_t code, std::uint16_t cell) {
    const auto w = static_cast<std::size_t>(journalNext_) * 4;
    journal_[w] = static_cast<std::uint16_t>(time & 0xFFFF);
    journal_[w + 1] = static_cast<std::uint16_t>(time >> 16);
    journal_[w + 2] = code;
    journal_[w + 3] = cell;
    journalNext_ = (journalNext_ + 1) % kJournalRecords;
    // Once a page is full the next one is emptied before writing enters it,
    // as flash pages are erased whole. So an empty record always follows the
    // newest one, which is how the host finds where the journal ends.
    if (journalNext_ % kJournalPage == 0) {
        const auto first = static_cast<std::size_t>(journalNext_) * 4;
        std::fill(journal_.begin() + static_cast<std::ptrdiff_t>(first),
                  journal_.begin() + static_cast<std::ptrdiff_t>(first + kJournalPage * 4), 0xFFFF);
    }
}

Reply SimulatedUnit::handle(const Bytes& request, milliseconds now) {
    AdvanceTo(now);
    // Broadcasts (address 0) and other units' requests get no answer, nor
    // does a frame that arrived damaged.
    if (request.size() < 4 || request[0] != address_ || !CheckCrc16(request.data(), request.size()))
        return {};
    return Answer(request);
}

Reply SimulatedUnit::Answer(const Bytes& request) {
    const std::uint8_t function = request[1];
    milliseconds delay{0};
    Bytes answer;
    const std::uint8_t oldAddress = address_;
    if (bootloader_ || function == kBootInit) {
        answer = Bootloader(request, &delay);
    } else if (function == kFunctionReadHolding) {
        answer = ReadHolding(request);
    } else if (function == kFunctionWriteMultiple) {
        answer = WriteMultiple(request);
    } else {
        answer = Exception(function, 1);
    }
    // A new RS485_Address takes effect after the answer, which still comes
    // from the old one.
    answer[0] = oldAddress;
    WithCrc(answer);
    const int firstRegister =
        (function == kFunctionReadHolding || function == kFunctionWriteMultiple) &&
                request.size() >= 6
            ? Get16(request, 2)
            : -1;
    return Deliver(std::move(answer), ++answered_, firstRegister, delay);
}

Reply SimulatedUnit::Deliver(Bytes answer, int n, int firstRegister, milliseconds delay) {
    const Faults& f = faults_;
    Reply reply;
    if (f.onlyRegister >= 0 && f.onlyRegister != firstRegister) {
        reply.pieces.push_back({delay, std::move(answer)});
        return reply;
    }
    if (Hits(f.silentEvery, n))
        return reply;
    if (Hits(f.exceptionEvery, n)) {
        const std::uint8_t from = answer[0];
        answer = Exception(answer[1] & 0x7F, f.exceptionCode);
        answer[0] = from;
        WithCrc(answer);
    }
    if (Hits(f.wrongByteCountEvery, n) && answer[1] == kFunctionReadHolding) {
        // Two bytes more than asked for, with a good CRC: an over-long answer.
        answer.resize(answer.size() - 2);
        answer[2] = static_cast<std::uint8_t>(answer[2] + 2);
        answer.push_back(0);
        answer.push_back(0);
        WithCrc(answer);
    }
    if (Hits(f.corruptCrcEvery, n))
        answer.back() ^= 0xFF;
    if (Hits(f.garbageEvery, n))
        for (int i = 0; i < f.garbageBytes; ++i)
            answer.push_back(static_cast<std::uint8_t>(0x55 + 0x33 * i));
    if (Hits(f.lateEvery, n))
        delay += f.lateBy;
    if (Hits(f.splitEvery, n) && f.splitPieces > 1 && answer.size() > 1) {
        const std::size_t pieces =
            std::min<std::size_t>(static_cast<std::size_t>(f.splitPieces), answer.size());
        const std::size_t size = (answer.size() + pieces - 1) / pieces;
        for (std::size_t at = 0; at < answer.size(); at += size) {
            const std::size_t end = std::min(answer.size(), at + size);
            reply.pieces.push_back({at == 0 ? delay : f.splitGap,
                                    Bytes(answer.begin() + static_cast<std::ptrdiff_t>(at),
                                          answer.begin() + static_cast<std::ptrdiff_t>(end))});
        }
        return reply;
    }
    reply.pieces.push_back({delay, std::move(answer)});
    return reply;
}

Bytes SimulatedUnit::Exception(std::uint8_t function, std::uint8_t code, bool sixBytes) const {
    Bytes b{address_, static_cast<std::uint8_t>(function | kExceptionBit), code};
    if (sixBytes)
        b.push_back(0);
    return b;
}

std::uint16_t* SimulatedUnit::Area(std::uint16_t start, std::uint16_t count, bool forWrite,
                                   std::uint8_t* error) {
    const std::uint32_t end = std::uint32_t{start} + count;  // one past the last register
    auto within = [&](std::uint32_t first, std::uint32_t words) {
        return start >= first && end <= first + words;
    };
    *error = 0;
    if (within(0, forWrite ? kMonitorWritableWords : kMonitorWords))
        return monitor_.data() + start;
    if (within(settings::RsStart, kRsSettingsWords))
        return rs_.data() + (start - settings::RsStart);
    if (within(settings::ChargeStart, kChargeSettingsWords))
        return charge_.data() + (start - settings::ChargeStart);
    if (within(settings::AlarmStart, kAlarmSettingsWords))
        return alarm_.data() + (start - settings::AlarmStart);
    if (!forWrite && within(kJournalStart, kJournalWords))
        return journal_.data() + (start - kJournalStart);
    *error = 2;
    return nullptr;
}

Bytes SimulatedUnit::ReadHolding(const Bytes& request) {
    if (request.size() != 8)
        return Exception(kFunctionReadHolding, 3);
    const std::uint16_t start = Get16(request, 2);
    const std::uint16_t count = Get16(request, 4);
    if (count < 1 || count > kMaxReadCount)
        return Exception(kFunctionReadHolding, 3);
    std::uint8_t error = 0;
    const std::uint16_t* words = Area(start, count, false, &error);
    if (!words)
        return Exception(kFunctionReadHolding, error);
    Bytes answer{address_, kFunctionReadHolding, static_cast<std::uint8_t>(2 * count)};
    for (std::uint16_t i = 0; i < count; ++i)
        Put16(answer, words[i]);
    return answer;
}

std::uint8_t SimulatedUnit::ValidateSettings(std::uint16_t start,
                                             const std::vector<std::uint16_t>& values) const {
    auto valueOf = [&](std::uint16_t reg, std::uint16_t* out) {
        if (reg < start || reg >= start + values.size())
            return false;
        *out = values[reg - start];
        return true;
    };
    std::uint16_t v = 0;
    if (valueOf(settings::RsStart + 0, &v) && (v < 1 || v > 247))
        return 3;
    if (valueOf(settings::RsStart + 1, &v) && v > 4)
        return 3;
    if (valueOf(settings::RsStart + 2, &v) && v > 2)
        return 3;
    if (valueOf(settings::ChargeStart + 40, &v) && (v < 1 || v > reg::kMaxCells))
        return 3;
    return 0;
}

Bytes SimulatedUnit::WriteMultiple(const Bytes& request) {
    if (request.size() < 9)
        return Exception(kFunctionWriteMultiple, 3);
    const std::uint16_t start = Get16(request, 2);
    const std::uint16_t count = Get16(request, 4);
    const std::size_t byteCount = request[6];
    if (count < 1 || count > kMaxWriteCount || byteCount != 2u * count ||
        request.size() != 9 + byteCount)
        return Exception(kFunctionWriteMultiple, 3);
    std::uint8_t error = 0;
    std::uint16_t* target = Area(start, count, true, &error);
    if (!target)
        return Exception(kFunctionWriteMultiple, error);
    std::vector<std::uint16_t> values(count);
    for (std::uint16_t i = 0; i < count; ++i)
        values[i] = Get16(request, 7 + 2u * i);

    if (target >= monitor_.data() && target < monitor_.data() + monitor_.size()) {
        // The command mailbox: a write that covers registers 45..47 with a
        // non-zero code runs the command; an unknown one refuses the write.
        const bool mailbox = start <= reg::Command && start + count >= reg::Command_Value + 2;
        std::uint16_t code = 0;
        std::uint32_t parameter = 0;
        if (mailbox) {
            code = values[reg::Command - start];
            parameter = values[reg::Command_Value - start] |
                        (std::uint32_t{values[reg::Command_Value + 1 - start]} << 16);
            if (code != 0 && (code < 1 || code > 10))
                return Exception(kFunctionWriteMultiple, 3);
            if (code == static_cast<std::uint16_t>(CommandCode::SetPassword) &&
                !(batteryMode_ & kLoggedInBit))
                return Exception(kFunctionWriteMultiple, 3);
        }
        ApplyBaseBlockWrite(start, values);
        if (mailbox && code != 0) {
            ExecuteCommand(code, parameter);
            PublishCounters();
            monitor_[reg::Command] = 0;  // done: re-sending the block repeats nothing
        }
        RefreshUnitRegisters();
    } else {
        if (const std::uint8_t bad = ValidateSettings(start, values))
            return Exception(kFunctionWriteMultiple, bad);
        std::copy(values.begin(), values.end(), target);
        if (start == settings::RsStart)
            address_ = static_cast<std::uint8_t>(rs_[0]);
    }
    Bytes answer{address_, kFunctionWriteMultiple};
    Put16(answer, start);
    Put16(answer, count);
    return answer;
}

void SimulatedUnit::ApplyBaseBlockWrite(std::uint16_t start,
                                        const std::vector<std::uint16_t>& values) {
    const std::uint32_t end = std::uint32_t{start} + values.size();
    auto has = [&](int reg, int words) {
        return start <= reg && end >= static_cast<std::uint32_t>(reg + words);
    };
    auto word = [&](int reg) { return values[static_cast<std::size_t>(reg - start)]; };
    auto pair = [&](int reg) {
        return std::uint32_t{word(reg)} | (std::uint32_t{word(reg + 1)} << 16);
    };

    // Values the unit measures ignore what is written; the capacities, the
    // mode and status words and the cycle count take it.
    if (has(reg::Design_Capacity, 2))
        model_.SetDesignMah(pair(reg::Design_Capacity));
    if (has(reg::Full_Charge_Capacity, 2))
        model_.SetFullMah(pair(reg::Full_Charge_Capacity));
    if (has(reg::Remaining_Pack_Capacity, 2))
        model_.SetRemainingMah(static_cast<std::int32_t>(pair(reg::Remaining_Pack_Capacity)));
    if (has(reg::Battery_Mode, 1))  // the login bit stays the unit's own
        batteryMode_ = static_cast<std::uint16_t>((word(reg::Battery_Mode) & ~kLoggedInBit) |
                                                  (batteryMode_ & kLoggedInBit));
    if (has(reg::Battery_Status, 1))
        monitor_[reg::Battery_Status] = word(reg::Battery_Status);
    if (has(reg::Cycle_Count, 1))
        model_.SetCycleCount(word(reg::Cycle_Count));
    for (int reg = reg::Command; reg < reg::Command_Value + 2; ++reg)
        if (has(reg, 1))
            monitor_[static_cast<std::size_t>(reg)] = word(reg);

    PublishCounters();
}

void SimulatedUnit::PublishCounters() {
    Set32(monitor_, reg::Design_Capacity, model_.designMah());
    Set32(monitor_, reg::Full_Charge_Capacity, model_.fullMah());
    Set32(monitor_, reg::Remaining_Pack_Capacity, model_.remainingMah());
    monitor_[reg::Cycle_Count] = model_.cycleCount();
}

void SimulatedUnit::ExecuteCommand(std::uint16_t code, std::uint32_t parameter) {
    switch (static_cast<CommandCode>(code)) {
        case CommandCode::CalibrateCurrent:
            calibrations_.push_back(static_cast<std::int32_t>(parameter));
            if (parameter == 0)
                model_.CalibrateZero();
            return;
        case CommandCode::SetClock:
            clockOffsetS_ =
                std::int64_t{parameter} - config_.clockStart - modelTime_.count() / 1000;
            return;
        case CommandCode::ClearJournal:
            journal_.fill(0xFFFF);
            journalNext_ = 0;
            return;
        case CommandCode::Login:
            if (parameter == password_)
                batteryMode_ |= kLoggedInBit;
            return;
        case CommandCode::Logout:
            batteryMode_ &= static_cast<std::uint16_t>(~kLoggedInBit);
            return;
        case CommandCode::SetPassword:
            password_ = parameter;
            return;
        case CommandCode::SetRemainingCharge:
            model_.SetRemainingMah(static_cast<std::int32_t>(parameter));
            return;
        case CommandCode::SetFullCharge:
            model_.SetFullMah(static_cast<std::int32_t>(parameter));
            return;
        case CommandCode::SetCycleCount:
            model_.SetCycleCount(static_cast<std::uint16_t>(parameter));
            return;
        case CommandCode::SetMode:
            batteryMode_ = static_cast<std::uint16_t>((parameter & 0xFFFF & ~kLoggedInBit) |
                                                      (batteryMode_ & kLoggedInBit));
            return;
    }
}

Bytes SimulatedUnit::Bootloader(const Bytes& request, milliseconds* delay) {
    const std::uint8_t function = request[1];
    switch (function) {
        case kBootInit:
            if (request.size() != 5 || request[2] != 0x01)
                return Exception(function, 3);
            bootloader_ = true;
            return {address_, kBootInit, 0x01};

        case kFunctionReadHolding: {
            if (request.size() != 8)
                return Exception(function, 3);
            const std::uint16_t start = Get16(request, 2);
            const std::uint16_t count = Get16(request, 4);
            if (count < 1 || count > kMaxReadCount)
                return Exception(function, 3);
            std::vector<std::uint16_t> regs;
            if (start == kBootRegistersStart && count <= kBootRegistersCount) {
                regs = {0x1234,
                        0x5678,
                        0x0041,
                        0x0039,
                        0x510B,
                        0x3437,
                        0x1001,
                        0x0413,
                        0x0080,
                        config_.flashFreeKiB,
                        static_cast<std::uint16_t>(appIntact_ ? 0 : 1)};
            } else if (start == kAppDataStart && count <= kAppDataCount) {
                // The program size field is stored 304 KiB short of the size.
                const std::int32_t sizeKiB =
                    appIntact_
                        ? static_cast<std::int32_t>(
                              (std::max<std::size_t>(flashWritten_, 96 * 1024) + 1023) / 1024)
                        : 0;
                const auto sizeField = static_cast<std::uint32_t>(sizeKiB - 304);
                const std::uint32_t status = appIntact_ ? 0 : 1;
                const std::uint32_t compiler = 5060750;
                regs = {static_cast<std::uint16_t>(sizeField),
                        static_cast<std::uint16_t>(sizeField >> 16),
                        static_cast<std::uint16_t>(kFirmwareVersion),
                        0,
                        static_cast<std::uint16_t>(status),
                        static_cast<std::uint16_t>(status >> 16),
                        static_cast<std::uint16_t>(compiler & 0xFFFF),
                        static_cast<std::uint16_t>(compiler >> 16)};
                // __DATE__, its terminator, then the time: low byte first.
                const char text[20] = {'D', 'e', 'c', ' ', '1', '1', ' ', '2', '0', '2',
                                       '6', 0,   '0', '9', ':', '0', '5', 0,   0,   0};
                for (int i = 0; i < 20; i += 2)
                    regs.push_back(
                        static_cast<std::uint16_t>(static_cast<std::uint8_t>(text[i]) |
                                                   (static_cast<std::uint8_t>(text[i + 1]) << 8)));
            } else {
                return Exception(function, 2);
            }
            Bytes answer{address_, kFunctionReadHolding, static_cast<std::uint8_t>(2 * count)};
            for (std::uint16_t i = 0; i < count; ++i)
                Put16(answer, regs[i]);
            return answer;
        }

        case kBootErase: {
            if (request.size() != 5 || request[2] > 1)
                return Exception(function, 3, true);
            *delay = config_.eraseTime;
            if (request[2] == 0) {
                std::fill(flash_.begin(), flash_.end(), 0xFF);
                flashWritten_ = 0;
                appIntact_ = false;
            }
            return {address_, kBootErase, request[2], 1};
        }

        case kBootWrite: {
            if (request.size() < 9 || request.size() != 9u + request[6])
                return Exception(function, 3);
            const std::uint32_t address = (std::uint32_t{request[2]} << 24) |
                                          (std::uint32_t{request[3]} << 16) |
                                          (std::uint32_t{request[4]} << 8) | request[5];
            const std::size_t length = request[6];
            if (address < kAppFlashBase || address - kAppFlashBase + length > flash_.size())
                return Exception(function, 2);
            const std::size_t offset = address - kAppFlashBase;
            // Flash is written only where it was erased.
            for (std::size_t i = 0; i < length; ++i)
                if (flash_[offset + i] != 0xFF)
                    return Exception(function, 4);
            std::copy(request.begin() + 7,
                      request.begin() + 7 + static_cast<std::ptrdiff_t>(length),
                      flash_.begin() + static_cast<std::ptrdiff_t>(offset));
            flashWritten_ = std::max(flashWritten_, offset + length);
            return {address_, kBootWrite, static_cast<std::uint8_t>(length)};
        }

        case kBootRestart: {
            if (request.size() != 5 || request[2] != 0x01)
                return Exception(function, 2, true);
            // A good image ends with its own STM32 CRC-32, so the CRC over all
            // of it is zero.
            if (flashWritten_ < 4 || Stm32Crc32(flash_.data(), flashWritten_) != 0)
                return Exception(function, 3, true);
            appIntact_ = true;
            bootloader_ = false;
            return {address_, kBootRestart, 0x01, 1};
        }

        default:
            return Exception(function, 1);
    }
}

}  // namespace kelvra::sim
