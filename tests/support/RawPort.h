#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// The host's end of a pseudo-terminal opened with plain POSIX calls, for tests
// that need to put exact bytes on the line.
class RawPort {
public:
    explicit RawPort(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) {
            termios t{};
            tcgetattr(fd_, &t);
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~RawPort() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }

    void Write(const std::vector<std::uint8_t>& bytes) {
        [[maybe_unused]] ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    }

    // Collects bytes until `quiet` passes without one, or `limit` in all.
    std::vector<std::uint8_t> Read(std::chrono::milliseconds quiet = std::chrono::milliseconds{150},
                                   std::chrono::milliseconds limit = std::chrono::milliseconds{
                                       3000}) {
        std::vector<std::uint8_t> got;
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(quiet.count())) <= 0)
                break;
            std::uint8_t chunk[512];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n <= 0) {
                hungUp_ = true;
                break;
            }
            got.insert(got.end(), chunk, chunk + n);
        }
        return got;
    }
    bool hungUp() const { return hungUp_; }

private:
    int fd_ = -1;
    bool hungUp_ = false;
};
