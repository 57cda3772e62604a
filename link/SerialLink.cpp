#include "link/SerialLink.h"

#include <QThreadPool>
#include <algorithm>

namespace kelvra {

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
constexpr milliseconds kWriteTimeout{1000};

// Threads for the links' I/O loops; each loop holds one for a whole run. The
// pool lives until the process ends and is never torn down: its idle threads
// simply end with the process, and no QThread is ever destroyed while Qt's
// own bookkeeping of it (invisible to ThreadSanitizer) may still be running.
QThreadPool* LinkThreads() {
    static QThreadPool* const pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(16);
        return p;
    }();
    return pool;
}
}  // namespace

int FrameDelayMs(int baudIndex) {
    switch (baudIndex) {
        case 0:
            return 266;
        case 1:
            return 133;
        case 2:
            return 66;
        case 3:
            return 44;
        default:
            return 22;
    }
}

SerialLink::SerialLink(PollSequence& sequence, LinkReporter& reporter, PortFactory factory,
                       LinkTimings timings)
    : sequence_(sequence), reporter_(reporter), factory_(std::move(factory)), timings_(timings) {}

SerialLink::~SerialLink() {
    CloseLink();
}

bool SerialLink::OpenLink(const ConnectionSettings& settings) {
    CloseLink();
    PortSettings port;
    port.name = settings.PortName();
    port.baud = BaudRateOfIndex(settings.BaudIndex());
    port.parity = ParityOfIndex(settings.FormatIndex());
    const milliseconds frameDelay = timings_.frameDelayOverride.count() >= 0
                                        ? timings_.frameDelayOverride
                                        : milliseconds{FrameDelayMs(settings.BaudIndex())};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = false;
        startRequested_ = false;
        openState_ = 0;
    }
    // The port belongs to the thread that uses it (QSerialPort is bound to
    // its thread), so the thread opens it and tells us how that went.
    ioRunning_ = true;
    LinkThreads()->start([this, port, frameDelay] {
        Run(port, frameDelay);
        std::lock_guard<std::mutex> lock(mutex_);
        ioRunning_ = false;
        // Under the lock: once CloseLink sees the loop ended, this thread no
        // longer touches the link.
        wake_.notify_all();
    });
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return openState_ != 0; });
    const bool opened = openState_ > 0;
    const SerialPort::OpenResult result = openResult_;
    lock.unlock();
    if (!opened) {
        CloseLink();
        reporter_.Status(0, result == SerialPort::OpenResult::CannotOpen
                                ? QStringLiteral("Не удалось открыть порт")
                                : QStringLiteral("Не удалось установить DCB"));
        return false;
    }
    reporter_.Status(0, QStringLiteral("Порт открыт успешно."));
    return true;
}

void SerialLink::CloseLink() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        closing_ = true;
        wake_.notify_all();
        wake_.wait(lock, [this] { return !ioRunning_; });
    }
    CycleDone = true;
}

void SerialLink::StartCycle() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        CycleDone = false;
        startRequested_ = true;
    }
    wake_.notify_all();
}

void SerialLink::MarkCycleDone(bool silent) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (silent)
        NoAnswer = true;
    // A tick may have started the next cycle while this one was being wound
    // up; its cleared CycleDone must stand.
    if (!startRequested_)
        CycleDone = true;
}

bool SerialLink::Pause(milliseconds duration) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return closing_; });
}

void SerialLink::Transmit(SerialPort& port, const ModbusFrame& frame) {
    const std::int64_t n = port.Write(frame.data(), frame.size(), kWriteTimeout);
    reporter_.Status(0, n == static_cast<std::int64_t>(frame.size())
                            ? QStringLiteral("Передача прошла успешно")
                            : QStringLiteral("Ошибка передачи"));
}

void SerialLink::Run(PortSettings settings, milliseconds frameDelay) {
    std::unique_ptr<SerialPort> port = factory_();
    const SerialPort::OpenResult result = port->Open(settings);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        openResult_ = result;
        openState_ = result == SerialPort::OpenResult::Opened ? 1 : -1;
    }
    wake_.notify_all();
    if (result != SerialPort::OpenResult::Opened)
        return;
    port->PurgeInput();

    std::array<std::uint8_t, kMaxAnswerBytes> rx{};
    bool waiting = false;  // a request is out, or the line went silent
    Clock::time_point silentSince = Clock::now();
    for (;;) {
        bool start = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!waiting)  // suspended between cycles until the tick releases us
                wake_.wait(lock, [this] { return closing_ || startRequested_; });
            if (closing_)
                break;
            start = startRequested_;
            startRequested_ = false;
        }
        if (start) {
            port->PurgeInput();
            Transmit(*port, sequence_.StartCycle());
            waiting = true;
            silentSince = Clock::now();
        }

        if (port->WaitForInput(timings_.slice)) {
            // The first character is here: give the rest of the answer time
            // to arrive, then take it in one piece.
            if (!Pause(frameDelay + timings_.extraWait))
                break;
            const std::size_t queued = port->InQueue();
            if (queued == 0)
                continue;
            rx.fill(0);
            const std::size_t got = port->Read(rx.data(), std::min(queued, rx.size()));
            BytesReceived += static_cast<std::uint32_t>(queued);
            // Whatever came beyond one answer cannot be used; dropping it
            // before the next request is sent cannot lose that request's answer.
            port->PurgeInput();
            const PollSequence::StepResult step =
                sequence_.OnAnswer(rx.data(), got, BytesReceived, QDateTime::currentDateTime());
            NoAnswer = false;
            silentSince = Clock::now();
            if (step.cycleEnded) {
                waiting = false;
                MarkCycleDone(false);
            } else {
                Transmit(*port, step.next);
            }
        } else if (waiting && Clock::now() - silentSince >= timings_.silence) {
            port->PurgeInput();
            port->PurgeOutput();
            sequence_.OnSilence(QDateTime::currentDateTime());
            MarkCycleDone(true);
            silentSince = Clock::now();
        }
    }
    port->PurgeInput();
    port->PurgeOutput();
    port->Close();
}

}  // namespace kelvra
