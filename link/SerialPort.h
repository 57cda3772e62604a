#pragma once

#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kelvra {

enum class Parity { None, Even, Odd };

// How a port is opened. DTR and RTS are the two modem lines the host sets
// when it opens; RS-485 converters that switch direction by themselves need
// neither, and the program never toggles them during a run.
struct PortSettings {
    QString name;
    std::int32_t baud = 115200;
    int dataBits = 8;
    Parity parity = Parity::None;
    int stopBits = 1;
    bool dtr = false;
    bool rts = false;
};

// The connection dialog's choices by list index: baud 0..4 = 9600 .. 115200
// (any other index: 115200), format 0..2 = 8N1, 8E1, 8O1 (any other: 8N1).
std::int32_t BaudRateOfIndex(int baudIndex);
Parity ParityOfIndex(int formatIndex);

// The seam between the link code and the operating system's serial port.
// One implementation wraps QSerialPort; an instance is used only from the
// thread that opened it.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    enum class OpenResult { Opened, CannotOpen, CannotConfigure };
    virtual OpenResult Open(const PortSettings& settings) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The reason of the last failure, for logs.
    virtual QString ErrorText() const = 0;

    // Queues the bytes and waits until they are handed to the driver (at most
    // `timeout`); returns the number written or -1.
    virtual std::int64_t Write(const std::uint8_t* data, std::size_t length,
                               std::chrono::milliseconds timeout) = 0;
    // Bytes waiting to be read, without waiting for more.
    virtual std::size_t InQueue() = 0;
    // Reads up to `length` bytes of what is waiting; returns the number read.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t length) = 0;
    virtual void PurgeInput() = 0;
    virtual void PurgeOutput() = 0;
    // Waits until at least one byte is waiting, at most `timeout`. Returns at
    // once (false) when the device has gone away; then Gone() is true.
    virtual bool WaitForInput(std::chrono::milliseconds timeout) = 0;
    // The device vanished while open (a USB converter unplugged).
    virtual bool Gone() const = 0;
    // A parity, framing or overrun error is pending on the line. (Qt 6 does
    // not report these any more; a port that can tell says so here.)
    virtual bool LineError() { return false; }
};

// Creates the production port (QSerialPort).
std::unique_ptr<SerialPort> MakeSystemSerialPort();

}  // namespace kelvra
