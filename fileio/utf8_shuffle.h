// Decoding the usual run of UTF-8 sixteen bytes a step with the byte
// shuffles of SSSE3, where the processor has them.
#pragma once

#include "fileio/text_format.h"

#include <cstddef>

// Where decoding stands: bytes[at, size) are left to decode into
// out[written, room).
struct Utf8Run {
    const unsigned char* bytes;
    size_t size;
    size_t at;
    char16_t* out;
    size_t room;
    size_t written;
};

// Whether DecodeShuffledRun can run here; tests can turn it off, so that
// they also check the decoding that does without it.
bool Utf8ShufflesUsable();
void UseUtf8Shuffles(bool use);

enum class Utf8Shuffled {
    Ended,      // fewer than 32 bytes or 16 units of room are left
    HandedOver, // the byte at run.at is one for the caller
    Refused,    // the bytes are ill-formed, or need more room
};

// Decodes from run.at on, sixteen bytes a step, while 32 bytes are left to
// look ahead in: ASCII, well-formed sequences of two to four bytes and
// line breaks, each lone CR or LF written as CR LF, adding the breaks to
// counts. A byte that cannot start a sequence, and a lead whose second byte
// is out of range, are handed over to the caller; a sequence cut short is
// refused here.
Utf8Shuffled DecodeShuffledRun(Utf8Run& run, LineBreakCounts& counts);
