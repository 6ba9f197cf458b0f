// Where a vector decoder of UTF-8 stands in its bytes and its room, and
// how its run ends.
#pragma once

#include "fileio/text_format.h"

#include <cstddef>

// Bytes[at, size) are left to decode into out[written, room).
struct Utf8Run {
    const unsigned char* bytes;
    size_t size;
    size_t at;
    char16_t* out;
    size_t room;
    size_t written;
};

enum class Utf8RunEnd {
    Ended,      // too few bytes or too little room are left for a step
    HandedOver, // the byte at run.at is one for the caller
    Refused,    // the bytes are ill-formed, or need more room
};

// Writes the lone CR or LF at run.at as CR LF and moves past it; false when
// the byte there is something else, or no room is left.
inline bool PutLoneBreak(Utf8Run& run, LineBreakCounts& counts) {
    const unsigned char byte = run.bytes[run.at];
    if ((byte != '\r' && byte != '\n') || run.room - run.written < 2)
        return false;
    run.out[run.written++] = u'\r';
    run.out[run.written++] = u'\n';
    ++(byte == '\n' ? counts.lf : counts.cr);
    ++run.at;
    return true;
}
