#include "link/PollSequence.h"

#include "link/ExceptionTexts.h"
#include "registers/SettingsTables.h"

namespace kelvra {

namespace {

using Area = RegisterImages::Area;

constexpr std::uint16_t kJournalStart = 0x7400;
constexpr std::uint16_t kJournalBlock = 125;
constexpr std::uint16_t kLastFullJournalStart = 0x7F83;  // 0x7F83 + 125 = 0x8000
constexpr std::uint32_t kJournalEnd = 0x8000;

PollSequence::Block BlockOfStep(int step) {
    switch (step) {
        case 1:
            return {1, 0, 50, Area::Monitor, 0};
        case 2:
            return {2, 50, 125, Area::Monitor, 50};
        case 3:
            return {3, 175, 125, Area::Monitor, 175};
        case 4:
            return {4, 300, 125, Area::Monitor, 300};
        case 5:
            return {5, 425, 125, Area::Monitor, 425};
        case 6:
            return {6, 550, 100, Area::Monitor, 550};
        case 7:
            return {7, settings::RsStart, settings::RsCount, Area::RsSettings, 0};
        case 8:
            return {8, settings::ChargeStart, settings::ChargeCount, Area::ChargeSettings, 0};
        case 9:
            return {9, settings::AlarmStart, settings::AlarmCount, Area::AlarmSettings, 0};
        default:
            return {10, kJournalStart, kJournalBlock, Area::Journal, 0};
    }
}

QString Where(const PollSequence::Block& b) {
    return QStringLiteral(" Адрес=%1 Кол-во=%2").arg(b.start).arg(b.count);
}

}  // namespace

PollSequence::PollSequence(RegisterImages& images, PollOptions& options, LinkReporter& reporter)
    : images_(images), options_(options), reporter_(reporter), block_(BlockOfStep(1)) {}

ModbusFrame PollSequence::StartCycle() {
    block_ = BlockOfStep(1);
    return Send();
}

ModbusFrame PollSequence::Send() {
    const auto address = static_cast<std::uint8_t>(options_.address.load() & 0xFF);
    return BuildReadRequest(address, block_.start, block_.count);
}

PollSequence::StepResult PollSequence::OnAnswer(const std::uint8_t* answer, std::size_t count,
                                                std::uint32_t bytesReceived,
                                                const QDateTime& stamp) {
    StepResult result;
    Receive(answer, count, stamp);
    if (Advance()) {
        result.next = Send();
    } else {
        block_ = BlockOfStep(1);
        result.cycleEnded = true;
    }
    reporter_.Status(2, QStringLiteral("Всего принято %1 байт").arg(bytesReceived));
    return result;
}

bool PollSequence::Advance() {
    switch (block_.step) {
        case 6:
            if (options_.readSettings) {
                block_ = BlockOfStep(7);
                return true;
            }
            if (options_.readJournal) {
                block_ = BlockOfStep(10);
                return true;
            }
            return false;
        case 9:
            if (options_.readJournal) {
                block_ = BlockOfStep(10);
                return true;
            }
            return false;
        case 10:
            block_.start = static_cast<std::uint16_t>(block_.start + kJournalBlock);
            block_.firstWord += kJournalBlock;
            if (block_.start > kLastFullJournalStart) {
                block_.step = 11;
                block_.count = static_cast<std::uint16_t>(kJournalEnd - block_.start);
            }
            return true;
        case 11:
            return false;
        default:
            block_ = BlockOfStep(block_.step + 1);
            return true;
    }
}

void PollSequence::Receive(const std::uint8_t* answer, std::size_t count, const QDateTime& stamp) {
    const std::size_t looked = count < kMaxAnswerBytes ? count : kMaxAnswerBytes;
    const ReadAnswer r = ValidateReadAnswer(answer, looked, block_.count);
    const QString where = Where(block_);
    switch (r.outcome) {
        case ReadAnswerOutcome::Accepted:
            images_.Store(block_.area, block_.firstWord, r.words);
            reporter_.Status(1, QStringLiteral("Ответ принят корректно"));
            reporter_.Trace({QStringLiteral(" "), QStringLiteral("Ответ получен.") + where});
            reporter_.Count(LinkReporter::Counter::Ok);
            reporter_.ShowErrorPercent();
            break;
        case ReadAnswerOutcome::Exception: {
            reporter_.Status(1,
                             QStringLiteral("Ответ с ошибкой: ") + ExceptionText(r.exceptionCode));
            reporter_.Trace({QStringLiteral(" "), ExceptionDescription(r.exceptionCode) + where});
            reporter_.Count(LinkReporter::Counter::Ok);
            break;
        }
        case ReadAnswerOutcome::TooLong:
            reporter_.Trace({QStringLiteral(" "),
                             QStringLiteral("Данные полученные не влазят в массив.") + where});
            break;
        case ReadAnswerOutcome::Short:
            reporter_.Trace({QStringLiteral(" "),
                             QStringLiteral("Получено меньше данных, чем запрошено.") + where});
            break;
        case ReadAnswerOutcome::CrcError:
            reporter_.Status(1, QStringLiteral("Ошибка CRC ответа!"));
            reporter_.Trace({QStringLiteral(" "), QStringLiteral("Ошибка CRC ответа!") + where,
                             QStringLiteral("rxcnt=%1 ByteRx=%2 crc=%3 crcRx=%4")
                                 .arg(looked)
                                 .arg(r.statedByteCount)
                                 .arg(r.computedCrc)
                                 .arg(r.receivedCrc)});
            reporter_.Count(LinkReporter::Counter::CrcError);
            reporter_.ShowErrorPercent();
            if (options_.logErrors)
                reporter_.events().DataLogError(stamp, QStringLiteral(" Ошибка CRC ответа"));
            break;
    }
}

void PollSequence::OnSilence(const QDateTime& stamp) {
    reporter_.Trace({QStringLiteral(" "), QStringLiteral("Нет ответа!") + Where(block_)});
    reporter_.Count(LinkReporter::Counter::NoAnswer);
    reporter_.Status(1, QStringLiteral("Нет ответа!"));
    if (options_.logErrors)
        reporter_.events().DataLogError(stamp, QStringLiteral(" Нет ответа"));
}

}  // namespace kelvra
