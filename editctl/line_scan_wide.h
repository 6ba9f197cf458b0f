// Scanning lines for their ends and for the units that may widen them,
// thirty-two units a step with AVX-512 where the processor has it.
#pragma once

#include <cstddef>
#include <cstdint>

// How far a scan of a line has come, and what it met on the way: tabs,
// units that may take two cells (from U+1100 on, outside the surrogates),
// and whether any unit lies from U+0300 on.
struct LineScan {
    int64_t at = 0;
    int64_t tabs = 0;
    int64_t wide = 0;
    bool hasComplex = false;
};

// Whether ScanLineWide can run here; tests can turn it off, so that they
// also check the scan that does without it.
bool WideLineScanUsable();
void UseWideLineScan(bool use);

// Scans from scan.at on, thirty-two units a step while that many are left
// before `length`; true when it stopped at a CR or LF, which scan.at is
// then at, false when fewer than a step's units are left.
bool ScanLineWide(const char16_t* text, int64_t length, LineScan& scan);

// Scans the lines from `start` on, each to its break, into lines[0, most),
// each scan's `at` at the line's break; returns how many. It stops before
// a line whose break lies at or beyond `length`, or is a CR there that an
// LF may follow, and returns 0 where ScanLineWide cannot run.
size_t ScanLinesWide(const char16_t* text, int64_t length, int64_t start, LineScan* lines,
                     size_t most);
