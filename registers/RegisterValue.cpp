#include "registers/RegisterValue.h"

namespace kelvra {

std::int64_t TypedValue(Words image, std::size_t word, RegType type) {
    switch (type) {
        case RegType::U16:
            return image.at(word);
        case RegType::S16:
            return static_cast<std::int16_t>(image.at(word));
        case RegType::U32:
            return image.pair(word);
        case RegType::S32:
            return static_cast<std::int32_t>(image.pair(word));
    }
    return 0;
}

std::int64_t RawValue(Words image, std::size_t word, RegType type) {
    return IsPair(type) ? static_cast<std::int32_t>(image.pair(word))
                        : TypedValue(image, word, type);
}

QString IntegerText(std::int64_t value) {
    return QString::number(value);
}

}  // namespace kelvra
