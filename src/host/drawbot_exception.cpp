#include "host/drawbot_exception.h"

namespace zonara {

void ThrowOnDrawbotError(SPErr code) {
    if (code != kSPNoError) {
        throw DRAWBOT_Exception(code);
    }
}

}  // namespace zonara
