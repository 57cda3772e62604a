#include "link/LinkEvents.h"

#include "registers/FormatGeneral.h"

namespace kelvra {

QString ErrorPercentText(std::uint32_t ok, std::uint32_t crcErrors, std::uint32_t noAnswers,
                         QChar decimalSeparator) {
    if (ok == 0)
        return QStringLiteral("100");
    const float percent =
        static_cast<float>((static_cast<double>(crcErrors) + noAnswers) / ok * 100.0);
    return FormatGeneral(percent, 4, decimalSeparator);
}

void LinkReporter::Count(Counter which) {
    if (!diagnostic_)
        return;
    switch (which) {
        case Counter::Ok:
            ++counters_.ok;
            break;
        case Counter::CrcError:
            ++counters_.crcErrors;
            break;
        case Counter::NoAnswer:
            ++counters_.noAnswers;
            break;
    }
    events_.CountersChanged(counters_.ok, counters_.crcErrors, counters_.noAnswers);
}

void LinkReporter::ShowErrorPercent() {
    events_.ErrorPercentChanged(
        ErrorPercentText(counters_.ok, counters_.crcErrors, counters_.noAnswers, separator_));
}

}  // namespace kelvra
