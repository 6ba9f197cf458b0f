// Recovery journals, random and made by random editing sessions. Reading a
// journal of random records never crashes and never reads past what is
// sound. A session's journal, once complete, leads to the session's text;
// cut anywhere it leads to a text the session had (or, in a copy not yet
// complete, says so), and a damaged one says it is not whole, which is
// what sets it aside at the next start.
#include "docs/document.h"
#include "edit_fixture.h"
#include "editctl/editing.h"
#include "memory_journals.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

template <typename Number> void Put(std::string& out, Number value) {
    for (size_t i = 0; i < sizeof(Number); ++i)
        out += static_cast<char>(static_cast<uint64_t>(value) >> (8 * i) & 0xFF);
}

// A record's payload with its fields from the input, each of a size that
// fits its kind, so that their values meet the reader's checks.
std::string Payload(FuzzedDataProvider& data) {
    std::string payload;
    const auto kind = data.ConsumeIntegralInRange<uint8_t>(0, 7);
    Put<uint8_t>(payload, kind);
    const auto number = [&] { return data.ConsumeIntegralInRange<uint32_t>(0, 24); };
    if (kind == 1) { // a change: position, removed, inserted units
        Put(payload, number());
        Put(payload, number());
    } else if (kind == 3) { // a form: encoding, line ending
        Put<uint8_t>(payload, data.ConsumeIntegral<uint8_t>() % 6);
        Put<uint8_t>(payload, data.ConsumeIntegral<uint8_t>() % 6);
        return payload;
    } else if (kind == 4) { // Replace All: count, old and new length, alike, places, units
        const uint32_t count = data.ConsumeIntegralInRange<uint32_t>(0, 6);
        const uint32_t newLength = number() % 4;
        const bool alike = data.ConsumeBool();
        Put(payload, count);
        Put(payload, number() % 4);
        Put(payload, newLength);
        Put<uint8_t>(payload, alike);
        for (uint32_t i = 0; i < count; ++i)
            Put(payload, number());
        payload.append(2 * newLength * (alike ? 1 : count), '#');
        return payload;
    }
    return payload + data.ConsumeRandomLengthString(16);
}

// A sound header, then records framed whole from the input, so that what
// they hold, not their hash, decides how far the replay goes.
void ReplayRandom(FuzzedDataProvider& data) {
    std::string bytes;
    AppendJournalHeader(bytes, {});
    const size_t header = bytes.size();
    while (data.remaining_bytes() > 0) {
        const std::string payload = Payload(data);
        Put<uint32_t>(bytes, static_cast<uint32_t>(payload.size()));
        Put<uint64_t>(bytes, HashBytes(payload));
        bytes += payload;
    }
    JournalReplay replay;
    ReplayText(bytes, u"base\r\ntext", &replay);
    Require(replay.header, "a sound header is read");
    Require(replay.soundBytes >= header && replay.soundBytes <= bytes.size(),
            "the sound part lies in the journal");
    Require(replay.whole == (replay.soundBytes == bytes.size()), "whole means all of it is sound");
}

struct Session {
    MemoryJournals folder;
    Document document;
    JournalLog log{7};
    EditState s = MakeEdit(u"");
    // Every text the session had, as its records leave it.
    std::set<std::u16string> texts{u""};

    Session() { s.history.observer = &log; }
    std::u16string Text() const { return s.model.text.substr(0); }
    JournalProgress Write(size_t budget) {
        const auto [front, back] = s.model.text.halves();
        const std::array<std::u16string_view, 2> pieces{front, back};
        return log.Write(folder, document, pieces, budget);
    }
    int32_t Pick(FuzzedDataProvider& data) const {
        return data.ConsumeIntegralInRange<int32_t>(0, static_cast<int32_t>(s.model.text.size()));
    }
    // Each step makes one record at most, so that every cut falls between
    // the records of two steps.
    void Step(FuzzedDataProvider& data) {
        s.model.anchor = s.model.caret = Pick(data);
        switch (data.ConsumeIntegralInRange(0, 8)) {
        case 0:
        case 1:
            TypeCharacter(s, data.PickValueInArray<char16_t>({u'a', u'\r', u'\t', 0xE9, 0xD83D}));
            break;
        case 2:
            DeleteAtCaret(s, data.ConsumeBool());
            break;
        case 3:
            Undo(s);
            break;
        case 4:
            Redo(s);
            break;
        case 5:
            ReplaceMatches(s, {Pick(data), Pick(data), Pick(data)},
                           data.ConsumeIntegralInRange(1, 3),
                           std::u16string(data.ConsumeIntegralInRange(0, 3), u'#'));
            break;
        case 6:
            log.FormChanged(static_cast<TextEncoding>(data.ConsumeIntegralInRange(0, 3)),
                            static_cast<LineEnding>(data.ConsumeIntegralInRange(0, 3)));
            break;
        case 7:
            log.BaseLost();
            break;
        default:
            Write(data.ConsumeIntegralInRange<size_t>(1, 64));
            break;
        }
        texts.insert(Text());
    }
    void Finish() {
        while (Write(1 << 20).more || log.Due())
            JournalWriter_WaitAll();
    }
};

void ReplaySession(FuzzedDataProvider& data) {
    Session session;
    for (int steps = 0; steps < 200 && data.remaining_bytes() > 0; ++steps)
        session.Step(data);
    session.Finish();
    if (session.folder.Files().empty()) {
        Require(session.Text().empty(), "an edited text has a journal");
        return;
    }
    const std::string bytes = session.folder.Newest();
    JournalReplay replay;
    Require(ReplayText(bytes, {}, &replay) == session.Text(), "the journal leads to the text");
    Require(replay.whole, "a complete journal is whole");

    std::string cut = bytes.substr(0, data.ConsumeIntegralInRange<size_t>(0, bytes.size()));
    const bool damaged = !cut.empty() && data.ConsumeBool();
    if (damaged)
        cut[data.ConsumeIntegralInRange<size_t>(0, cut.size() - 1)] ^= 0x10;
    JournalHeader header;
    const std::u16string text = ReplayText(cut, {}, &replay);
    Require(!damaged || !replay.whole, "a damaged journal is not whole");
    const bool readable = ReadJournalHeader(cut, header);
    if (readable && (!header.snapshot || replay.marked))
        Require(session.texts.count(text) == 1, "a cut journal leads to a text the session had");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    if (data.ConsumeBool())
        ReplayRandom(data);
    else
        ReplaySession(data);
    return 0;
}
