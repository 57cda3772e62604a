#pragma once

#include "registers/RegisterValue.h"

namespace kelvra {

// The three options of the options dialog, program-wide, read by every fill.
struct DisplayOptions {
    NameMode names = NameMode::Russian;
    ValueMode values = ValueMode::Converted;
    // "Сохранять информацию о ошибках связи": communication errors of the
    // poll also go into the data log.
    bool logErrors = true;
};

}  // namespace kelvra
