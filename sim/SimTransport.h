#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/SimulatedUnit.h"

namespace kelvra::sim {

// Puts a SimulatedUnit on the far end of a serial line: a pseudo-terminal pair
// (the host opens the slave side, whose path slavePath() gives) or a real
// serial device. A thread reads requests, finds where each ends from its
// function code and length, lets the unit answer and writes the answer after
// the turnaround time.
class SimTransport {
public:
    struct Options {
        std::string device;          // empty: open a pseudo-terminal pair
        int baud = 115200;           // for a real device
        char parity = 'N';           // 'N', 'E' or 'O', for a real device
        milliseconds turnaround{2};  // from the end of a request to the answer
        // Silence after which a half-received request is dropped, so the
        // reader finds the next request after garbage or a cut frame.
        milliseconds interCharTimeout{20};
    };

    struct Received {
        milliseconds at;
        Bytes frame;
    };

    SimTransport(const UnitConfig& unit, const Options& options);
    ~SimTransport();
    SimTransport(const SimTransport&) = delete;
    SimTransport& operator=(const SimTransport&) = delete;

    // Opens the line and starts answering. False with errorText() on failure.
    bool Start();
    // Stops answering and closes our side of the line; the host then sees the
    // converter vanish. Safe to call twice.
    void Stop();
    bool running() const { return running_; }

    // The path the host connects to: the slave side of the pseudo-terminal,
    // or the device given.
    const std::string& slavePath() const { return slavePath_; }
    const std::string& errorText() const { return error_; }

    // Runs f on the unit under the transport's lock.
    template <typename F>
    auto WithUnit(F&& f) {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(unit_);
    }

    // Every complete frame received so far (whatever its address or CRC).
    std::vector<Received> received() const;
    void ClearReceived();
    // Waits until at least `count` frames have arrived, up to `timeout`.
    bool WaitForReceived(std::size_t count, milliseconds timeout) const;

    // Called on the transport thread after each answered request.
    void SetTrace(std::function<void(const Bytes& request, const Reply& reply)> trace);

private:
    void Run();
    bool Sleep(milliseconds duration);  // false when stopped meanwhile
    void Process(const Bytes& frame);
    milliseconds Now() const;

    Options options_;
    SimulatedUnit unit_;
    int master_ = -1;
    int slaveKeeper_ = -1;  // keeps the line up while the host has it closed
    int wakePipe_[2] = {-1, -1};
    std::string slavePath_;
    std::string error_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stopping_{false};
    std::chrono::steady_clock::time_point started_;

    mutable std::mutex mutex_;  // guards unit_, received_ and trace_
    mutable std::condition_variable changed_;
    std::vector<Received> received_;
    std::function<void(const Bytes&, const Reply&)> trace_;
};

// The length of the request that starts `buffer`, from its function code:
// 0 while too few bytes have arrived to tell, -1 for an unknown function.
int ExpectedRequestLength(const std::uint8_t* buffer, std::size_t size);

}  // namespace kelvra::sim
