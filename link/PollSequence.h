#pragma once

#include <QDateTime>
#include <atomic>
#include <cstdint>

#include "link/LinkEvents.h"
#include "link/ModbusFrame.h"
#include "link/RegisterImages.h"

namespace kelvra {

// The switches the poll reads while it runs. The window keeps them in step
// with its controls; the poll reads them at the moment of each decision.
struct PollOptions {
    std::atomic<bool> readSettings{false};  // "Читать настройки"
    std::atomic<bool> readJournal{false};   // "Читать журнал"
    // Communication errors go into the data log: the data log is on and the
    // option "Сохранять информацию о ошибках связи" is set.
    std::atomic<bool> logErrors{false};
    std::atomic<int> address{238};  // the unit address, 0..255
};

// The monitoring poll cycle as a state machine without I/O: it says which
// request to send, checks each answer, stores its words into the register
// images and reports every outcome. The link's I/O thread drives it.
//
// Schedule: blocks 1..6 read the monitoring area 0..649; with "Читать
// настройки" blocks 7..9 read the three settings areas; with "Читать журнал"
// block 10 reads the journal 125 registers at a time and block 11 its last 72.
class PollSequence {
public:
    struct Block {
        int step;
        std::uint16_t start;
        std::uint16_t count;
        RegisterImages::Area area;
        std::size_t firstWord;
    };

    struct StepResult {
        bool cycleEnded = false;
        ModbusFrame next;  // the request to send; empty at the end of a cycle
    };

    PollSequence(RegisterImages& images, PollOptions& options, LinkReporter& reporter);

    // Starts a cycle at block 1 and returns its request.
    ModbusFrame StartCycle();

    // An answer of `count` bytes arrived (at most 255 are looked at).
    // `bytesReceived` is the run's total for the status bar; `stamp` the time
    // for a data-log error line.
    StepResult OnAnswer(const std::uint8_t* answer, std::size_t count, std::uint32_t bytesReceived,
                        const QDateTime& stamp);

    // The line stayed silent for the whole wait.
    void OnSilence(const QDateTime& stamp);

    const Block& current() const { return block_; }

private:
    ModbusFrame Send();
    void Receive(const std::uint8_t* answer, std::size_t count, const QDateTime& stamp);
    bool Advance();  // false at the end of the cycle

    RegisterImages& images_;
    PollOptions& options_;
    LinkReporter& reporter_;
    Block block_;
};

}  // namespace kelvra
