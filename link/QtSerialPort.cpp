#include <QSerialPort>
#include <QThread>

#include "link/SerialPort.h"

namespace kelvra {

std::int32_t BaudRateOfIndex(int baudIndex) {
    switch (baudIndex) {
        case 0:
            return 9600;
        case 1:
            return 19200;
        case 2:
            return 38400;
        case 3:
            return 57600;
        default:
            return 115200;
    }
}

Parity ParityOfIndex(int formatIndex) {
    switch (formatIndex) {
        case 1:
            return Parity::Even;
        case 2:
            return Parity::Odd;
        default:
            return Parity::None;
    }
}

namespace {

class QtSerialPort final : public SerialPort {
public:
    OpenResult Open(const PortSettings& s) override {
        port_.close();
        gone_ = false;
        port_.setPortName(s.name);
        if (!port_.open(QIODevice::ReadWrite)) {
            error_ = port_.errorString();
            return OpenResult::CannotOpen;
        }
        const QSerialPort::Parity parity = s.parity == Parity::Even  ? QSerialPort::EvenParity
                                           : s.parity == Parity::Odd ? QSerialPort::OddParity
                                                                     : QSerialPort::NoParity;
        const bool ok =
            port_.setBaudRate(s.baud) &&
            port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) &&
            port_.setParity(parity) &&
            port_.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
            port_.setFlowControl(QSerialPort::NoFlowControl);
        if (!ok) {
            error_ = port_.errorString();
            port_.close();
            return OpenResult::CannotConfigure;
        }
        // A pseudo-terminal or a converter without modem lines refuses these;
        // that is not a reason to give up the port.
        port_.setDataTerminalReady(s.dtr);
        port_.setRequestToSend(s.rts);
        port_.clearError();
        port_.clear();
        error_.clear();
        return OpenResult::Opened;
    }

    void Close() override { port_.close(); }
    bool IsOpen() const override { return port_.isOpen(); }
    QString ErrorText() const override { return error_.isEmpty() ? port_.errorString() : error_; }

    std::int64_t Write(const std::uint8_t* data, std::size_t length,
                       std::chrono::milliseconds timeout) override {
        if (!port_.isOpen())
            return -1;
        const qint64 n =
            port_.write(reinterpret_cast<const char*>(data), static_cast<qint64>(length));
        if (n < 0)
            return -1;
        // Hand everything to the driver before returning.
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (port_.bytesToWrite() > 0) {
            if (std::chrono::steady_clock::now() >= end)
                return -1;
            port_.waitForBytesWritten(10);
            Check();
            if (gone_)
                return -1;
        }
        return n;
    }

    std::size_t InQueue() override {
        if (!port_.isOpen())
            return 0;
        // Pull whatever the driver holds into the port's buffer, not waiting.
        port_.waitForReadyRead(0);
        Check();
        return static_cast<std::size_t>(port_.bytesAvailable());
    }

    std::size_t Read(std::uint8_t* buffer, std::size_t length) override {
        if (!port_.isOpen())
            return 0;
        const qint64 n = port_.read(reinterpret_cast<char*>(buffer), static_cast<qint64>(length));
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }

    void PurgeInput() override {
        if (port_.isOpen()) {
            port_.waitForReadyRead(0);
            port_.clear(QSerialPort::Input);
            port_.readAll();
        }
    }
    void PurgeOutput() override {
        if (port_.isOpen())
            port_.clear(QSerialPort::Output);
    }

    bool WaitForInput(std::chrono::milliseconds timeout) override {
        if (!port_.isOpen() || gone_) {
            // Nothing to wait on: let the time pass so callers do not spin.
            QThread::msleep(static_cast<unsigned long>(timeout.count()));
            return false;
        }
        if (port_.bytesAvailable() > 0)
            return true;
        const bool ready = port_.waitForReadyRead(static_cast<int>(timeout.count()));
        Check();
        if (gone_) {
            QThread::msleep(static_cast<unsigned long>(timeout.count()));
            return false;
        }
        return ready || port_.bytesAvailable() > 0;
    }

    bool Gone() const override { return gone_; }

private:
    void Check() {
        const QSerialPort::SerialPortError e = port_.error();
        if (e == QSerialPort::ResourceError || e == QSerialPort::DeviceNotFoundError) {
            gone_ = true;
            error_ = port_.errorString();
        } else if (e == QSerialPort::TimeoutError) {
            port_.clearError();
        }
    }

    QSerialPort port_;
    QString error_;
    bool gone_ = false;
};

}  // namespace

std::unique_ptr<SerialPort> MakeSystemSerialPort() {
    return std::make_unique<QtSerialPort>();
}

}  // namespace kelvra
