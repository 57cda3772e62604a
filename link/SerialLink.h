#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "link/ConnectionSettings.h"
#include "link/LinkEvents.h"
#include "link/PollSequence.h"
#include "link/SerialPort.h"

namespace kelvra {

using PortFactory = std::function<std::unique_ptr<SerialPort>()>;

// The waits of the monitoring link. Production values by default; tests
// shorten them.
struct LinkTimings {
    // Silence after which the awaited answer counts as missing; reported again
    // every such period while the line stays silent.
    std::chrono::milliseconds silence{3000};
    // Added to the frame delay before the answer is read in one piece.
    std::chrono::milliseconds extraWait{250};
    // When set, used instead of the baud rate's frame delay.
    std::chrono::milliseconds frameDelayOverride{-1};
    // How often a wait looks for a close or a release.
    std::chrono::milliseconds slice{10};
};

// The time 255 ten-bit characters take on the line, to the nearest
// millisecond: 266, 133, 66, 44 and 22 ms for 9600 .. 115200 baud.
int FrameDelayMs(int baudIndex);

// The serial link of a monitoring run: one port held for the whole run and
// one I/O thread in the roles of reader and writer. The thread is a QThread
// from a pool kept for the links (QSerialPort needs a thread with Qt's event
// dispatcher); the link waits for its own loop to end, so closing never
// depends on when Qt tears a thread down. The thread sends each
// request of the poll sequence, waits for the first character of the answer
// (or for the silence limit), waits the fixed frame delay, reads the whole
// answer in one piece and hands it to the sequence, which names the next
// request. At the end of a cycle it sets CycleDone and waits to be released
// by the next tick; after a silence it sets NoAnswer and CycleDone and goes
// on waiting, reporting the silence again each period.
class SerialLink {
public:
    SerialLink(PollSequence& sequence, LinkReporter& reporter, PortFactory factory,
               LinkTimings timings = {});
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens the port named in the settings and starts the I/O thread, which
    // waits for the first release. Reports the outcome in status panel 0.
    bool OpenLink(const ConnectionSettings& settings);
    // Stops the thread and closes the port; harmless when closed. Sets
    // CycleDone so that no tick waits for a cycle of a closed link.
    void CloseLink();
    bool IsOpen() const { return ioRunning_; }

    // The tick's start of a cycle: clears CycleDone and has the thread send
    // the request of block 1.
    void StartCycle();

    std::atomic<bool> CycleDone{true};
    std::atomic<bool> NoAnswer{false};
    // Bytes received since the start of the run; the connect handler resets it.
    std::atomic<std::uint32_t> BytesReceived{0};

private:
    void Run(PortSettings settings, std::chrono::milliseconds frameDelay);
    bool Pause(std::chrono::milliseconds duration);  // false when closing
    void Transmit(SerialPort& port, const ModbusFrame& frame);
    void MarkCycleDone(bool silent);

    PollSequence& sequence_;
    LinkReporter& reporter_;
    PortFactory factory_;
    LinkTimings timings_;

    std::atomic<bool> ioRunning_{false};  // the I/O thread runs this link
    std::mutex mutex_;
    std::condition_variable wake_;
    bool startRequested_ = false;
    bool closing_ = false;
    // Set by the thread once it knows whether the port opened.
    int openState_ = 0;  // 0 pending, 1 opened, -1 failed
    SerialPort::OpenResult openResult_ = SerialPort::OpenResult::CannotOpen;
};

}  // namespace kelvra
