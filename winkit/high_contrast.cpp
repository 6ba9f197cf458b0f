#include "winkit/high_contrast.h"

namespace {

bool SystemOn() {
    HIGHCONTRASTW setting = {};
    setting.cbSize = sizeof setting;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF SystemColor(int index) {
    return GetSysColor(index);
}

const HighContrastSource kSystem = {SystemOn, SystemColor};
const HighContrastSource* source = &kSystem;
int known = -1; // the setting as last read; -1 before the first reading

} // namespace

bool HighContrast_On() {
    if (known < 0)
        known = source->on() ? 1 : 0;
    return known == 1;
}

COLORREF HighContrast_Color(int index) {
    return source->color(index);
}

void HighContrast_Refresh() {
    known = -1;
}

void HighContrast_Override(const HighContrastSource* replacement) {
    source = replacement ? replacement : &kSystem;
    known = -1;
}
