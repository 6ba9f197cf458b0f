#include "editctl/edit_record.h"

namespace {

ATOM recordClass = 0;

} // namespace

EditState* EditCtl_State(HWND window) {
    if (!recordClass || !window || GetClassWord(window, GCW_ATOM) != recordClass)
        return nullptr;
    return reinterpret_cast<EditState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void EditCtl_SetRecordClass(ATOM atom) {
    recordClass = atom;
}
