#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "registers/ClockValue.h"
#include "registers/RegisterValue.h"
#include "sim/BatteryModel.h"

namespace kelvra::sim {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

// Start-up settings of a simulated unit.
struct UnitConfig {
    std::uint8_t address = 238;
    int cells = 16;
    std::uint32_t seed = 1;
    int journalFill = 0;  // records written into the journal before start
    bool startInBootloader = false;
    std::uint16_t flashFreeKiB = 120;
    milliseconds eraseTime{2000};       // how long the bootloader takes to erase
    ClockValue clockStart = 820540800;  // 2026-01-01 00:00:00
    // The operator password the unit accepts; four Windows-1251 characters.
    std::string password = "0000";
};

// Faults injected into the answers. A fault with period k applies to every
// k-th request the unit would answer (k = 1: every one, 0: never). With
// onlyRegister set, faults apply only to requests for that first register.
struct Faults {
    int silentEvery = 0;
    int corruptCrcEvery = 0;
    int exceptionEvery = 0;
    std::uint8_t exceptionCode = 4;
    int lateEvery = 0;
    milliseconds lateBy{0};
    int splitEvery = 0;
    int splitPieces = 3;
    milliseconds splitGap{5};
    int garbageEvery = 0;
    int garbageBytes = 3;
    int wrongByteCountEvery = 0;
    int onlyRegister = -1;
};

// An answer as it is to be put on the line: pieces, each sent after a delay
// (measured from the end of the request, then from the previous piece).
struct ReplyPiece {
    milliseconds delay{0};
    Bytes bytes;
};
struct Reply {
    std::vector<ReplyPiece> pieces;
    bool silent() const { return pieces.empty(); }
    Bytes bytes() const;  // all pieces joined
};

// Command codes of the mailbox at registers 45..47.
enum class CommandCode : std::uint16_t {
    CalibrateCurrent = 1,
    SetClock = 2,
    ClearJournal = 3,
    Login = 4,
    Logout = 5,
    SetPassword = 6,
    SetRemainingCharge = 7,
    SetFullCharge = 8,
    SetCycleCount = 9,
    SetMode = 10,
};

// Packs four Windows-1251 characters the way the host sends a password: each
// character sign-extended from 8 bits, c0 in the lowest byte.
std::uint32_t PackPassword(const std::string& fourBytes);

// The battery controller as seen from the RS-485 line: a Modbus RTU slave
// with the monitoring area, three settings areas, the event journal, the
// command mailbox and a resident bootloader. handle() is a function of the
// unit's state and the time only; there is no I/O in here.
class SimulatedUnit {
public:
    static constexpr int kJournalRecords = 768;
    static constexpr int kJournalPage = 256;
    static constexpr std::uint32_t kAppFlashBase = 0x08002000;

    explicit SimulatedUnit(const UnitConfig& config = {});

    // Answers one complete request received at time `now` (since the unit
    // started). A silent reply means no answer at all.
    Reply handle(const Bytes& request, milliseconds now);

    // Runs the battery model and the clock up to `now`.
    void AdvanceTo(milliseconds now);

    void SetFaults(const Faults& faults) { faults_ = faults; }
    // Stops the battery model (the clock still runs), so that what a host
    // reads block by block can be compared with the registers afterwards.
    void Freeze(bool frozen) { frozen_ = frozen; }
    const Faults& faults() const { return faults_; }

    // The unit's registers, for tests and the demo.
    std::uint8_t address() const { return address_; }
    bool inBootloader() const { return bootloader_; }
    const MonitorImage& monitor() const { return monitor_; }
    const RsSettingsImage& rsSettings() const { return rs_; }
    const ChargeSettingsImage& chargeSettings() const { return charge_; }
    const AlarmSettingsImage& alarmSettings() const { return alarm_; }
    const JournalImage& journal() const { return journal_; }
    AlarmSettingsImage& alarmSettingsForTest() { return alarm_; }
    ClockValue clock() const;
    std::uint32_t packedPassword() const { return password_; }
    int journalNext() const { return journalNext_; }
    // Each executed calibration: its parameter (0 = zero calibration).
    const std::vector<std::int32_t>& calibrations() const { return calibrations_; }
    // The flash as the bootloader wrote it, from kAppFlashBase; its length is
    // the end of the highest packet written since the last erase.
    const Bytes& flash() const { return flash_; }
    std::size_t flashWritten() const { return flashWritten_; }

    // Adds a journal record as the unit does when an alarm starts. Records
    // are written in ascending order, wrapping after 767; when a 256-record
    // page is full, the next page is emptied before writing enters it.
    void AddJournalRecord(ClockValue time, std::uint16_t code, std::uint16_t cell);

private:
    Reply Answer(const Bytes& request);
    Bytes ReadHolding(const Bytes& request);
    Bytes WriteMultiple(const Bytes& request);
    Bytes Bootloader(const Bytes& request, milliseconds* delay);
    std::uint16_t* Area(std::uint16_t start, std::uint16_t count, bool forWrite,
                        std::uint8_t* error);
    std::uint8_t ValidateSettings(std::uint16_t start,
                                  const std::vector<std::uint16_t>& values) const;
    void ExecuteCommand(std::uint16_t code, std::uint32_t parameter);
    void ApplyBaseBlockWrite(std::uint16_t start, const std::vector<std::uint16_t>& values);
    void RefreshUnitRegisters();
    void PublishCounters();  // the counters the host may set, into the registers
    Bytes Exception(std::uint8_t function, std::uint8_t code, bool sixBytes = false) const;
    Reply Deliver(Bytes answer, int requestNumber, int firstRegister, milliseconds delay);

    UnitConfig config_;
    std::uint8_t address_;
    BatteryModel model_;
    Faults faults_;
    int answered_ = 0;

    MonitorImage monitor_{};
    RsSettingsImage rs_{};
    ChargeSettingsImage charge_{};
    AlarmSettingsImage alarm_{};
    JournalImage journal_{};
    int journalNext_ = 0;

    milliseconds modelTime_{0};
    bool frozen_ = false;
    std::int64_t clockOffsetS_ = 0;  // clock = clockStart + offset + model seconds
    std::uint16_t batteryMode_ = 0;
    std::uint32_t password_ = 0;
    std::vector<std::int32_t> calibrations_;

    bool bootloader_ = false;
    Bytes flash_;
    std::size_t flashWritten_ = 0;
    bool appIntact_ = true;
};

}  // namespace kelvra::sim
