#include "host/drawbot_refs.h"

namespace zonara {

DRAWBOT_PathRef NewDrawbotPath(const DRAWBOT_SupplierSuite1 *supplier_suite, DRAWBOT_SupplierRef supplier) {
    if (supplier_suite == nullptr || supplier_suite->NewPath == nullptr) {
        throw DRAWBOT_Exception(PF_Err_BAD_CALLBACK_PARAM);
    }
    DRAWBOT_PathRef path = nullptr;
    ThrowOnDrawbotError(supplier_suite->NewPath(supplier, &path));
    return path;
}

DRAWBOT_PenP::DRAWBOT_PenP(const DRAWBOT_SupplierSuite1 *supplier_suite, DRAWBOT_SupplierRef supplier,
                           const DRAWBOT_ColorRGBA &colour, float width)
    : SharedRefImpl<DRAWBOT_PenRef>(supplier_suite) {
    if (supplier_suite->NewPen == nullptr) {
        throw DRAWBOT_Exception(PF_Err_BAD_CALLBACK_PARAM);
    }
    DRAWBOT_PenRef pen = nullptr;
    ThrowOnDrawbotError(supplier_suite->NewPen(supplier, &colour, width, &pen));
    Replace(pen);
}

}  // namespace zonara
