// Owning holders for the host's drawing objects (pens and paths): each
// wrapper gives its object back to the supplier that made it when it ends,
// on a normal return and while an exception leaves the drawing alike.
#pragma once

#include <exception>

#include "host/drawbot_exception.h"
#include "pf_sdk.h"

namespace zonara {

// Holds at most one host object of reference type T. Wrappers own their
// object alone, so they are neither copied nor moved, and an object is never
// retained a second time.
template <typename T>
class SharedRefImpl {
public:
    SharedRefImpl(const SharedRefImpl &) = delete;
    SharedRefImpl &operator=(const SharedRefImpl &) = delete;

    // Gives the held object back. A refusal by the host is thrown as
    // DRAWBOT_Exception, except while another exception is already leaving
    // the scope: throwing then would end the process, so the refusal is
    // dropped and the exception in flight, which reports the first failure,
    // carries on.
    virtual ~SharedRefImpl() noexcept(false) {
        if (reference_ == nullptr) {
            return;
        }
        const T held = reference_;
        reference_ = nullptr;
        const SPErr err = supplier_suite_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(held));
        if (err != kSPNoError && std::uncaught_exceptions() > uncaught_at_creation_) {
            return;
        }
        ThrowOnDrawbotError(err);
    }

    // The object held, or null.
    T Held() const noexcept { return reference_; }

    // Holds new_reference in place of the object held so far and gives that
    // one back. The new object is taken over before the old one is given
    // back, so that a refused give-back cannot leave the new object without
    // an owner.
    void Replace(T new_reference) {
        if (new_reference == reference_) {
            return;
        }
        const T old = reference_;
        reference_ = new_reference;
        if (old != nullptr) {
            ThrowOnDrawbotError(supplier_suite_->ReleaseObject(reinterpret_cast<DRAWBOT_ObjectRef>(old)));
        }
    }

protected:
    // Bound to the supplier suite with nothing held. A suite that cannot
    // give objects back is refused here, before any object is made.
    explicit SharedRefImpl(const DRAWBOT_SupplierSuite1 *supplier_suite)
        : supplier_suite_(supplier_suite), uncaught_at_creation_(std::uncaught_exceptions()) {
        if (supplier_suite_ == nullptr || supplier_suite_->ReleaseObject == nullptr) {
            throw DRAWBOT_Exception(PF_Err_BAD_CALLBACK_PARAM);
        }
    }

    const DRAWBOT_SupplierSuite1 *SupplierSuite() const noexcept { return supplier_suite_; }

private:
    T reference_ = nullptr;
    const DRAWBOT_SupplierSuite1 *supplier_suite_;
    // How many exceptions were in flight when the wrapper was made: more at
    // its end means it ends during unwinding.
    int uncaught_at_creation_;
};

// A new empty path from the supplier; a refusal throws DRAWBOT_Exception.
DRAWBOT_PathRef NewDrawbotPath(const DRAWBOT_SupplierSuite1 *supplier_suite, DRAWBOT_SupplierRef supplier);

class DRAWBOT_PathP : public SharedRefImpl<DRAWBOT_PathRef> {
public:
    DRAWBOT_PathP(const DRAWBOT_SupplierSuite1 *supplier_suite, DRAWBOT_SupplierRef supplier)
        : SharedRefImpl<DRAWBOT_PathRef>(supplier_suite) {
        Replace(NewDrawbotPath(supplier_suite, supplier));
    }

    // Makes a fresh path for the next shape and gives the current one back,
    // so that each stroke draws only what was added since.
    void Remake(DRAWBOT_SupplierRef supplier) { Replace(NewDrawbotPath(SupplierSuite(), supplier)); }
};

class DRAWBOT_PenP : public SharedRefImpl<DRAWBOT_PenRef> {
public:
    DRAWBOT_PenP(const DRAWBOT_SupplierSuite1 *supplier_suite, DRAWBOT_SupplierRef supplier,
                 const DRAWBOT_ColorRGBA &colour, float width);
};

}  // namespace zonara
