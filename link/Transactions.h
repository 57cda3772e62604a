#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "app/UserDialogs.h"
#include "link/ConnectionSettings.h"
#include "link/LinkEvents.h"
#include "link/SerialLink.h"

namespace kelvra {

// The port of a blocking transaction: opened, used for one exchange and
// closed again, on the window's thread. Every failure is shown to the user.
class ComPort {
public:
    ComPort(PortFactory factory, UserDialogs& dialogs)
        : factory_(std::move(factory)), dialogs_(dialogs) {}

    bool Open(const PortSettings& settings);
    void Close();
    std::size_t Read(std::uint8_t* buffer, std::size_t length);
    std::size_t Write(const std::uint8_t* buffer, std::size_t length);
    void PurgeRx();
    void PurgeTx();
    std::size_t InQueue();
    bool WaitForInput(std::chrono::milliseconds timeout);

private:
    PortFactory factory_;
    UserDialogs& dialogs_;
    std::unique_ptr<SerialPort> port_;
};

// The waits of a blocking exchange; production values by default.
struct TransactionTimings {
    std::chrono::milliseconds afterWrite{10};
    std::chrono::milliseconds pollInterval{10};  // first byte: looked for this often
    int polls = 100;                             // ... this many times (about 1 s)
    // When set, used instead of the baud rate's wait for the rest of the answer.
    std::chrono::milliseconds extraWaitOverride{-1};
    std::chrono::milliseconds longPollInterval{500};  // the long exchange (erase)
    int longPolls = 100;                              // about 50 s
};

// The time 256 ten-bit characters take plus 10 ms: 276, 143, 76, 54, 32 ms.
int ExtraWaitMs(int baudIndex);

// Everything sent to the unit outside the monitoring poll: one frame out, one
// answer in, on a port opened for just that exchange.
class Transactions {
public:
    static constexpr std::size_t kFrameBytes = 528;

    Transactions(const ConnectionSettings& settings, PortFactory factory, UserDialogs& dialogs,
                 LinkReporter& reporter, TransactionTimings timings = {});

    // Exchange buffers, shared with the bootloader client.
    std::array<std::uint8_t, kFrameBytes> TxFrame{};
    std::array<std::uint8_t, kFrameBytes> RxFrame{};
    std::uint32_t LastRxCount = 0;

    // Sends TxFrame[0..length) and collects the answer into RxFrame; returns
    // the number of bytes received (0: nothing, or the port would not open).
    std::uint32_t ExchangeFrame(std::size_t length);
    // The same with a long wait for the first byte during which `pump` (the
    // window's event processing) runs between polls.
    std::uint32_t ExchangeFrameLong(std::size_t length, const std::function<void()>& pump);

    // Reads `count` registers from `start`. The words when the answer was
    // good; nothing otherwise. Outcomes are reported in the status bar.
    std::optional<std::vector<std::uint16_t>> ReadRegisters(std::uint16_t start,
                                                            std::uint16_t count);
    // Writes the registers from `start` on and tells the user the outcome in
    // a message box.
    void WriteRegisters(std::uint16_t start, const std::vector<std::uint16_t>& values);

    // The unit address from the settings, or nothing after showing the
    // conversion error for a text that is not a number.
    std::optional<std::uint8_t> Address();

private:
    PortSettings PortOf() const;
    // Opens the port, clears the first `cleared` bytes of RxFrame and sends
    // TxFrame; false when the port would not open.
    bool SendRequest(std::size_t length, std::size_t cleared);
    // Reads what is queued into RxFrame and closes the port.
    std::uint32_t TakeAnswer();

    const ConnectionSettings& settings_;
    ComPort port_;
    UserDialogs& dialogs_;
    LinkReporter& reporter_;
    TransactionTimings timings_;
};

}  // namespace kelvra
