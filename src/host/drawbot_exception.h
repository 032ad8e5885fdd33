// The exception by which a failed drawing-suite call to make or give back a
// pen or path is reported.
#pragma once

#include <exception>

#include "pf_sdk.h"

namespace zonara {

// Carries the drawing suite's own result code and nothing else: what() is the
// base class's, so the entry point can tell it from a plain std::exception
// only by type.
class DRAWBOT_Exception : public std::exception {
public:
    explicit DRAWBOT_Exception(SPErr error_code) noexcept : std::exception(), error_code_(error_code) {}

    SPErr ErrorCode() const noexcept { return error_code_; }

private:
    SPErr error_code_;
};

// Returns when code is 0; otherwise throws DRAWBOT_Exception carrying it.
void ThrowOnDrawbotError(SPErr code);

}  // namespace zonara
