#include "sim/SimTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/Crc16.h"

namespace kelvra::sim {

namespace {

speed_t BaudConstant(int baud) {
    switch (baud) {
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        default:
            return B115200;
    }
}

bool MakeRaw(int fd, int baud, char parity) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    cfsetispeed(&t, BaudConstant(baud));
    cfsetospeed(&t, BaudConstant(baud));
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(PARENB | PARODD | CSTOPB);
    if (parity == 'E')
        t.c_cflag |= PARENB;
    if (parity == 'O')
        t.c_cflag |= PARENB | PARODD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

// More than any request can hold: what piles up beyond this is garbage.
constexpr std::size_t kMaxPending = 1024;

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

int ExpectedRequestLength(const std::uint8_t* b, std::size_t size) {
    if (size < 2)
        return 0;
    switch (b[1]) {
        case 0x03:  // read holding registers
            return 8;
        case 0x10:  // write multiple registers: byte count at offset 6
        case 0x21:  // bootloader packet: data length at offset 6
            return size < 7 ? 0 : 9 + b[6];
        case 0x20:  // bootloader erase
        case 0x30:  // bootloader init
        case 0x31:  // bootloader restart
            return 5;
        default:
            return -1;
    }
}

SimTransport::SimTransport(const UnitConfig& unit, const Options& options)
    : options_(options), unit_(unit) {}

SimTransport::~SimTransport() {
    Stop();
}

bool SimTransport::Start() {
    if (running_)
        return true;
    if (pipe(wakePipe_) != 0) {
        error_ = SystemError("pipe");
        return false;
    }
    if (options_.device.empty()) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            error_ = SystemError("posix_openpt");
            Stop();
            return false;
        }
        const char* name = ptsname(master_);
        slavePath_ = name ? name : "";
        slaveKeeper_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
        if (slaveKeeper_ < 0 || !MakeRaw(slaveKeeper_, options_.baud, 'N')) {
            error_ = SystemError(slavePath_.c_str());
            Stop();
            return false;
        }
    } else {
        slavePath_ = options_.device;
        master_ = open(options_.device.c_str(), O_RDWR | O_NOCTTY);
        if (master_ < 0 || !MakeRaw(master_, options_.baud, options_.parity)) {
            error_ = SystemError(options_.device.c_str());
            Stop();
            return false;
        }
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    started_ = std::chrono::steady_clock::now();
    stopping_ = false;
    running_ = true;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void SimTransport::Stop() {
    stopping_ = true;
    if (wakePipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = write(wakePipe_[1], &byte, 1);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        changed_.notify_all();
    }
    if (thread_.joinable())
        thread_.join();
    running_ = false;
    for (int* fd : {&master_, &slaveKeeper_, &wakePipe_[0], &wakePipe_[1]}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

milliseconds SimTransport::Now() const {
    return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - started_);
}

bool SimTransport::Sleep(milliseconds duration) {
    if (duration.count() <= 0)
        return !stopping_;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, duration, [this] { return stopping_.load(); });
    return !stopping_;
}

std::vector<SimTransport::Received> SimTransport::received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void SimTransport::ClearReceived() {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.clear();
}

bool SimTransport::WaitForReceived(std::size_t count, milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return received_.size() >= count; });
}

void SimTransport::SetTrace(std::function<void(const Bytes&, const Reply&)> trace) {
    std::lock_guard<std::mutex> lock(mutex_);
    trace_ = std::move(trace);
}

void SimTransport::Process(const Bytes& frame) {
    Reply reply;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const milliseconds now = Now();
        received_.push_back({now, frame});
        reply = unit_.handle(frame, now);
        if (trace_)
            trace_(frame, reply);
        changed_.notify_all();
    }
    milliseconds wait = options_.turnaround;
    for (const ReplyPiece& piece : reply.pieces) {
        if (!Sleep(wait + piece.delay))
            return;
        wait = milliseconds{0};
        std::size_t done = 0;
        while (done < piece.bytes.size()) {
            const ssize_t n = write(master_, piece.bytes.data() + done, piece.bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EAGAIN) {
                pollfd p{master_, POLLOUT, 0};
                poll(&p, 1, 50);
                if (stopping_)
                    return;
            } else {
                return;  // the line is gone; the next read finds out
            }
        }
    }
}

void SimTransport::Run() {
    Bytes buffer;
    auto lastByte = std::chrono::steady_clock::now();
    while (!stopping_) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        const int timeoutMs =
            buffer.empty() ? 1000 : static_cast<int>(options_.interCharTimeout.count());
        const int ready = poll(fds, 2, timeoutMs);
        if (stopping_)
            break;
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            std::uint8_t chunk[512];
            const ssize_t n = read(master_, chunk, sizeof chunk);
            if (n > 0) {
                buffer.insert(buffer.end(), chunk, chunk + n);
                lastByte = std::chrono::steady_clock::now();
            }
        } else if (ready > 0 && (fds[0].revents & (POLLHUP | POLLERR))) {
            // No host has the line open; wait without spinning.
            Sleep(milliseconds{50});
            continue;
        }

        // Take every complete request with a good CRC off the buffer, sliding
        // over whatever garbage stands in front of it.
        bool found = true;
        while (found && !buffer.empty()) {
            found = false;
            for (std::size_t at = 0; at < buffer.size(); ++at) {
                const int expected = ExpectedRequestLength(buffer.data() + at, buffer.size() - at);
                if (expected > 0 && buffer.size() - at >= static_cast<std::size_t>(expected) &&
                    CheckCrc16(buffer.data() + at, static_cast<std::size_t>(expected))) {
                    const auto first = buffer.begin() + static_cast<std::ptrdiff_t>(at);
                    const Bytes frame(first, first + expected);
                    buffer.erase(buffer.begin(), first + expected);
                    Process(frame);
                    found = true;
                    break;
                }
            }
        }
        if (buffer.size() > kMaxPending)
            buffer.erase(buffer.begin(), buffer.end() - static_cast<std::ptrdiff_t>(kMaxPending));
        const bool quiet = std::chrono::steady_clock::now() - lastByte >= options_.interCharTimeout;
        if (!buffer.empty() && quiet) {
            // The silence ends whatever is left: a request of a function we
            // cannot measure, a damaged request or garbage. The unit answers
            // it only if it makes sense to it.
            Process(buffer);
            buffer.clear();
        }
    }
}

}  // namespace kelvra::sim
