#include "support/Reader.h"

namespace testing_support {

ReadElement ReadAccessible(HWND window, long child) {
    ReadElement read;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_PPV_ARGS(&object)))) return read;
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*)) {
        BSTR wide = nullptr;
        char narrow[1024] = {};
        if (SUCCEEDED((object->*property)(id, &wide)) && wide != nullptr)
            WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
        SysFreeString(wide);
        return std::string(narrow);
    };
    const auto number = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*)) {
        VARIANT answer{};
        return SUCCEEDED((object->*property)(id, &answer)) && answer.vt == VT_I4 ? answer.lVal : -1;
    };
    read.role = number(&IAccessible::get_accRole);
    read.state = number(&IAccessible::get_accState);
    read.name = text(&IAccessible::get_accName);
    read.value = text(&IAccessible::get_accValue);
    read.action = text(&IAccessible::get_accDefaultAction);
    if (child == CHILDID_SELF) object->get_accChildCount(&read.children);
    object->Release();
    return read;
}

}  // namespace testing_support
