#pragma once

// libmodbus acting as the unit: an RTU server on one pseudo-terminal, bridged
// to a second one that the code under test opens. A second, independent
// implementation of the protocol to check ours against.

#include <fcntl.h>
#include <modbus.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ModbusServer {
public:
    explicit ModbusServer(int address) {
        // Two pty pairs; the bridge copies between their master sides, so a
        // byte written to one slave comes out of the other.
        for (Pty* p : {&server_, &client_}) {
            p->master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
            grantpt(p->master);
            unlockpt(p->master);
            p->path = ptsname(p->master);
            p->keeper = ::open(p->path.c_str(), O_RDWR | O_NOCTTY);
            termios t{};
            tcgetattr(p->keeper, &t);
            cfmakeraw(&t);
            tcsetattr(p->keeper, TCSANOW, &t);
        }
        ctx_ = modbus_new_rtu(server_.path.c_str(), 115200, 'N', 8, 1);
        modbus_set_slave(ctx_, address);
        modbus_set_indication_timeout(ctx_, 0, 100000);
        ok_ = ctx_ && modbus_connect(ctx_) == 0;
        mapping_ = modbus_mapping_new_start_address(0, 0, 0, 0, 0, 0x8000, 0, 0);
        running_ = true;
        bridge_ = std::thread([this] { Bridge(); });
        server_thread_ = std::thread([this] { Serve(); });
    }

    ~ModbusServer() {
        running_ = false;
        server_thread_.join();
        bridge_.join();
        modbus_close(ctx_);
        modbus_free(ctx_);
        modbus_mapping_free(mapping_);
        for (Pty* p : {&server_, &client_}) {
            ::close(p->keeper);
            ::close(p->master);
        }
    }

    bool ok() const { return ok_; }
    // The path the code under test opens.
    const std::string& path() const { return client_.path; }

    void Set(int reg, std::uint16_t value) {
        std::lock_guard<std::mutex> lock(mutex_);
        mapping_->tab_registers[reg] = value;
    }
    std::uint16_t Get(int reg) {
        std::lock_guard<std::mutex> lock(mutex_);
        return mapping_->tab_registers[reg];
    }

private:
    struct Pty {
        int master = -1;
        int keeper = -1;
        std::string path;
    };

    void Serve() {
        std::uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (running_) {
            const int rc = modbus_receive(ctx_, query);
            if (rc > 0) {
                std::lock_guard<std::mutex> lock(mutex_);
                modbus_reply(ctx_, query, rc, mapping_);
            }
        }
    }

    void Bridge() {
        while (running_) {
            pollfd fds[2] = {{server_.master, POLLIN, 0}, {client_.master, POLLIN, 0}};
            if (poll(fds, 2, 50) <= 0)
                continue;
            Copy(fds[0], server_.master, client_.master);
            Copy(fds[1], client_.master, server_.master);
        }
    }

    static void Copy(const pollfd& from, int in, int out) {
        if (!(from.revents & POLLIN))
            return;
        std::uint8_t buffer[512];
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n > 0) [[maybe_unused]]
            ssize_t w = ::write(out, buffer, static_cast<std::size_t>(n));
    }

    Pty server_, client_;
    modbus_t* ctx_ = nullptr;
    modbus_mapping_t* mapping_ = nullptr;
    std::mutex mutex_;
    std::atomic<bool> running_{false};
    bool ok_ = false;
    std::thread bridge_;
    std::thread server_thread_;
};
