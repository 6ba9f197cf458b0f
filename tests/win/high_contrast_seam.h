// High contrast as a test sets it: on or off at will, with a colour of its
// own for every system colour index, unlike any the program draws with.
#pragma once

#include "winkit/high_contrast.h"

inline bool highContrastWanted = true;

inline COLORREF FakeSystemColor(int index) {
    return RGB(7 * index + 1, 200 - 5 * index, 3 * index + 60);
}

class HighContrastSeam {
  public:
    explicit HighContrastSeam(bool on) {
        highContrastWanted = on;
        HighContrast_Override(&source_);
    }
    ~HighContrastSeam() { HighContrast_Override(nullptr); }
    HighContrastSeam(const HighContrastSeam&) = delete;
    HighContrastSeam& operator=(const HighContrastSeam&) = delete;

  private:
    static bool On() { return highContrastWanted; }
    const HighContrastSource source_ = {On, FakeSystemColor};
};
