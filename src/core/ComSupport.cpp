#include "core/ComSupport.h"

namespace core {

EOleSysError::EOleSysError(HRESULT code) : EOleError(base::SysErrorMessage(static_cast<DWORD>(code))), code_(code) {
    if (Message().empty()) SetMessage(base::Format("OLE error %.8x", static_cast<unsigned>(code)));
}

}  // namespace core
