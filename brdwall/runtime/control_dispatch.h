// The face that a control shows the library: IDispatch answering to "Value",
// "Enabled", "ListIndex", "ListCount" and "AddItem". A property set through it
// raises the control's handler, as the user's change does.
#pragma once

#include <oaidl.h>

#include "brdwall/runtime/controls.h"
#include "shared/win/handles.h"

namespace brd {

com_ptr<IDispatch> DispatchFor(CheckBox& control);
com_ptr<IDispatch> DispatchFor(ComboBox& control);
com_ptr<IDispatch> DispatchFor(ListBox& control);

// A variant holding a reference to the control's face, for a library call.
class ControlArg {
  public:
    explicit ControlArg(com_ptr<IDispatch> face) noexcept : face_(std::move(face)) {
        VariantInit(&v_);
        v_.vt = VT_DISPATCH;
        v_.pdispVal = face_.get();
    }
    ControlArg(const ControlArg&) = delete;
    ControlArg& operator=(const ControlArg&) = delete;
    VARIANT& get() noexcept { return v_; }
    VARIANT* ptr() noexcept { return &v_; }

  private:
    com_ptr<IDispatch> face_;
    VARIANT v_;
};

} // namespace brd
