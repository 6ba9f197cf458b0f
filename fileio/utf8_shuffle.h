// Decoding the usual run of UTF-8 sixteen bytes a step with the byte
// shuffles of SSSE3, where the processor has them.
#pragma once

#include "fileio/utf8_run.h"

// Whether DecodeShuffledRun can run here; tests can turn it off, so that
// they also check the decoding that does without it.
bool Utf8ShufflesUsable();
void UseUtf8Shuffles(bool use);

// Decodes from run.at on, sixteen bytes a step, while 32 bytes are left to
// look ahead in: ASCII, well-formed sequences of two to four bytes and
// line breaks, each lone CR or LF written as CR LF, adding the breaks to
// counts. A byte that cannot start a sequence, and a lead whose second byte
// is out of range, are handed over to the caller; a sequence cut short is
// refused here.
Utf8RunEnd DecodeShuffledRun(Utf8Run& run, LineBreakCounts& counts);
