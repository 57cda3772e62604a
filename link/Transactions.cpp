#include "link/Transactions.h"

#include <QThread>
#include <algorithm>

#include "link/ExceptionTexts.h"
#include "link/ModbusFrame.h"

namespace kelvra {

namespace {
using std::chrono::milliseconds;
const QString kError = QStringLiteral("Error");
constexpr std::size_t kOutputQueueBytes = 2048;
constexpr std::size_t kClearedByExchange = 255;
constexpr std::size_t kClearedByLongExchange = 100;

void Sleep(milliseconds duration) {
    if (duration.count() > 0)
        QThread::msleep(static_cast<unsigned long>(duration.count()));
}
}  // namespace

// --- ComPort -------------------------------------------------------------------------

bool ComPort::Open(const PortSettings& settings) {
    port_ = factory_();
    switch (port_->Open(settings)) {
        case SerialPort::OpenResult::Opened:
            return true;
        case SerialPort::OpenResult::CannotOpen:
            dialogs_.Message(QStringLiteral("Ошибка открытия порта"), kError, DialogIcon::None);
            break;
        case SerialPort::OpenResult::CannotConfigure:
            dialogs_.Message(QStringLiteral("Ошибка записи настроек порта"), kError,
                             DialogIcon::None);
            break;
    }
    port_.reset();
    return false;
}

void ComPort::Close() {
    if (port_)
        port_->Close();
    port_.reset();
}

std::size_t ComPort::Read(std::uint8_t* buffer, std::size_t length) {
    if (!port_)
        return 0;
    if (port_->LineError()) {
        dialogs_.Message(QStringLiteral("Ошибка сброса ошибок порта перед чтением"), kError,
                         DialogIcon::None);
        return 0;
    }
    const std::size_t n = port_->Read(buffer, length);
    if (n == 0 && length > 0)
        dialogs_.Message(QStringLiteral("Ошибка чтения из порта в буфер"), kError,
                         DialogIcon::None);
    return n;
}

std::size_t ComPort::Write(const std::uint8_t* buffer, std::size_t length) {
    if (!port_ || length == 0)
        return 0;
    if (length >= kOutputQueueBytes) {
        dialogs_.Message(QStringLiteral("Невозможно поместить в выходной буфер "), QString(),
                         DialogIcon::None);
        return 0;
    }
    const std::int64_t n = port_->Write(buffer, length, milliseconds{1000});
    if (n < 0) {
        dialogs_.Message(QStringLiteral("Ошибка записи в порт"), kError, DialogIcon::None);
        return 0;
    }
    return static_cast<std::size_t>(n);
}

void ComPort::PurgeRx() {
    if (port_)
        port_->PurgeInput();
}
void ComPort::PurgeTx() {
    if (port_)
        port_->PurgeOutput();
}
std::size_t ComPort::InQueue() {
    return port_ ? port_->InQueue() : 0;
}
bool ComPort::WaitForInput(milliseconds timeout) {
    if (!port_) {
        Sleep(timeout);
        return false;
    }
    return port_->WaitForInput(timeout);
}

// --- Transactions ----------------------------------------------------------------------

int ExtraWaitMs(int baudIndex) {
    switch (baudIndex) {
        case 0:
            return 276;  // 0.1042 ms a bit * 2560 + 10
        case 1:
            return 143;
        case 2:
            return 76;
        case 3:
            return 54;
        default:
            return 32;
    }
}

Transactions::Transactions(const ConnectionSettings& settings, PortFactory factory,
                           UserDialogs& dialogs, LinkReporter& reporter, TransactionTimings timings)
    : settings_(settings),
      port_(std::move(factory), dialogs),
      dialogs_(dialogs),
      reporter_(reporter),
      timings_(timings) {}

PortSettings Transactions::PortOf() const {
    PortSettings p;
    p.name = settings_.PortName();
    p.baud = BaudRateOfIndex(settings_.BaudIndex());
    p.parity = ParityOfIndex(settings_.FormatIndex());
    p.dtr = true;  // the blocking port holds DTR on, RTS off
    p.rts = false;
    return p;
}

std::optional<std::uint8_t> Transactions::Address() {
    const QString text = settings_.AddressText();
    const std::optional<int> address = ParseDecimalInt(text);
    if (!address) {
        dialogs_.ConversionError(text);
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*address & 0xFF);
}

bool Transactions::SendRequest(std::size_t length, std::size_t cleared) {
    LastRxCount = 0;
    if (!port_.Open(PortOf()))
        return false;
    port_.PurgeRx();
    std::fill(RxFrame.begin(), RxFrame.begin() + static_cast<std::ptrdiff_t>(cleared), 0);
    port_.Write(TxFrame.data(), std::min(length, TxFrame.size()));
    return true;
}

std::uint32_t Transactions::TakeAnswer() {
    // Bytes beyond RxFrame are not read; the purge drops them.
    LastRxCount = static_cast<std::uint32_t>(port_.InQueue());
    if (LastRxCount > 0)
        port_.Read(RxFrame.data(), std::min<std::size_t>(LastRxCount, RxFrame.size()));
    port_.PurgeRx();
    port_.PurgeTx();
    port_.Close();
    return LastRxCount;
}

std::uint32_t Transactions::ExchangeFrame(std::size_t length) {
    if (!SendRequest(length, kClearedByExchange))
        return 0;
    Sleep(timings_.afterWrite);
    bool arrived = false;
    for (int i = 0; i < timings_.polls && !arrived; ++i)
        arrived = port_.WaitForInput(timings_.pollInterval);
    if (arrived)
        Sleep(timings_.extraWaitOverride.count() >= 0
                  ? timings_.extraWaitOverride
                  : milliseconds{ExtraWaitMs(settings_.BaudIndex())});
    return TakeAnswer();
}

std::uint32_t Transactions::ExchangeFrameLong(std::size_t length,
                                              const std::function<void()>& pump) {
    if (!SendRequest(length, kClearedByLongExchange))
        return 0;
    for (int i = 0; i < timings_.longPolls && port_.InQueue() == 0; ++i) {
        if (pump)
            pump();
        port_.WaitForInput(timings_.longPollInterval);
    }
    return TakeAnswer();
}

std::optional<std::vector<std::uint16_t>> Transactions::ReadRegisters(std::uint16_t start,
                                                                      std::uint16_t count) {
    const std::optional<std::uint8_t> address = Address();
    if (!address)
        return std::nullopt;
    const ModbusFrame request = BuildReadRequest(*address, start, count);
    std::copy(request.begin(), request.end(), TxFrame.begin());
    ExchangeFrame(request.size());

    const QString at = QString::number(start);
    if (LastRxCount == 0) {
        reporter_.Trace({QStringLiteral("Нет ответа: ") + at});
        reporter_.Count(LinkReporter::Counter::NoAnswer);
        reporter_.ShowErrorPercent();
        return std::nullopt;
    }
    const ReadAnswer r = ValidateReadAnswer(
        RxFrame.data(), std::min<std::size_t>(LastRxCount, RxFrame.size()), count);
    switch (r.outcome) {
        case ReadAnswerOutcome::Accepted:
            reporter_.Status(1, QStringLiteral("Ответ принят корректно"));
            reporter_.Trace({QStringLiteral("Ответ получен по: ") + at});
            reporter_.ShowErrorPercent();
            return r.words;
        case ReadAnswerOutcome::Exception: {
            reporter_.Status(1,
                             QStringLiteral("Ответ с ошибкой: ") + ExceptionText(r.exceptionCode));
            reporter_.Trace({ExceptionDescription(r.exceptionCode)});
            return std::nullopt;
        }
        case ReadAnswerOutcome::TooLong:
        case ReadAnswerOutcome::Short:
            return std::nullopt;
        case ReadAnswerOutcome::CrcError:
            reporter_.Status(1, QStringLiteral("Ошибка CRC ответа!"));
            reporter_.Trace({QStringLiteral("Ошибка CRC ответа: ") + at});
            reporter_.Count(LinkReporter::Counter::CrcError);
            reporter_.ShowErrorPercent();
            return std::nullopt;
    }
    return std::nullopt;
}

void Transactions::WriteRegisters(std::uint16_t start, const std::vector<std::uint16_t>& values) {
    const std::optional<std::uint8_t> address = Address();
    if (!address)
        return;
    const ModbusFrame request = BuildWriteRequest(*address, start, values);
    std::copy(request.begin(), request.end(), TxFrame.begin());
    ExchangeFrame(request.size());

    const WriteAnswer w =
        ValidateWriteAnswer(RxFrame.data(), std::min<std::size_t>(LastRxCount, RxFrame.size()));
    const QString at = QString::number(start);
    const QString failed = QStringLiteral("Ошибка");
    switch (w.outcome) {
        case WriteAnswerOutcome::Accepted:
            dialogs_.Message(QStringLiteral("Настройки изменены"),
                             QStringLiteral("Успешная запись"), DialogIcon::None);
            break;
        case WriteAnswerOutcome::Exception: {
            const QString description = ExceptionDescription(w.exceptionCode);
            reporter_.Trace({description});
            dialogs_.Message(description, QStringLiteral("Ответ с ошибкой"), DialogIcon::None);
            return;  // no new percentage after an exception
        }
        case WriteAnswerOutcome::UnexpectedFunction:
            dialogs_.Message(QStringLiteral("Что-то пошло не так"), failed, DialogIcon::None);
            break;
        case WriteAnswerOutcome::CrcError:
            reporter_.Trace({QStringLiteral("Ошибка CRC ответа: ") + at});
            reporter_.Count(LinkReporter::Counter::CrcError);
            dialogs_.Message(QStringLiteral("Ошибка CRC ответа"), failed, DialogIcon::None);
            break;
        case WriteAnswerOutcome::NoAnswer:
            reporter_.Trace({QStringLiteral("Нет ответа: ") + at});
            reporter_.Count(LinkReporter::Counter::NoAnswer);
            dialogs_.Message(QStringLiteral("Нет ответа"), failed, DialogIcon::None);
            break;
    }
    reporter_.ShowErrorPercent();
}

}  // namespace kelvra
