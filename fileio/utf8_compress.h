// Decoding the usual run of UTF-8 sixty-four bytes a step with the
// compressing stores of AVX-512, where the processor has them.
#pragma once

#include "fileio/utf8_run.h"

// Whether DecodeCompressedRun can run here; tests can turn it off, so that
// they also check the decoding that does without it.
bool Utf8CompressUsable();
void UseUtf8Compress(bool use);

// Decodes from run.at on, while 66 bytes and 64 units of room are left:
// ASCII, well-formed sequences of two to four bytes and line breaks, each
// lone CR or LF written as CR LF, adding the breaks to counts. A step never
// ends inside a sequence or a CR LF pair, so the run can stop after any
// step. A byte that cannot start a sequence, and a lead whose second byte
// is out of range, are handed over to the caller; a sequence cut short is
// refused here.
Utf8RunEnd DecodeCompressedRun(Utf8Run& run, LineBreakCounts& counts);
