// The recovery journal against the edit control's own text: whatever the
// edits (undo and redo included), replaying the journal onto the text it
// started from gives the control's text, and a journal cut or damaged
// anywhere gives the text as of its last whole record.
#include "docs/journal_format.h"
#include "docs/journal_log.h"
#include "edit_fixture.h"
#include "editctl/editing.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const std::u16string kBase = u"first line\r\nsecond \xD83D\xDE00 line\r\nthird";

std::string Header() {
    JournalHeader header;
    header.path = u"C:\\notes\\\x00E9t\x00E9.txt";
    std::string bytes;
    AppendJournalHeader(bytes, header);
    return bytes;
}

std::u16string Replay(std::string_view bytes, JournalReplay* result = nullptr) {
    std::u16string text = kBase;
    const JournalReplay replay = ReplayJournal(bytes, text);
    if (result)
        *result = replay;
    return text;
}

// A control on kBase whose changes go to a journal, and the journal's bytes
// and the control's text after every step.
struct Session {
    EditState s = MakeEdit(kBase);
    JournalLog log;
    std::string bytes = Header();
    std::vector<size_t> ends{bytes.size()};
    std::vector<std::u16string> texts{kBase};
    std::mt19937 rng{7};

    Session() { s.history.observer = &log; }
    int32_t Pick() {
        return static_cast<int32_t>(rng() % (static_cast<uint32_t>(s.model.text.size()) + 1));
    }
    void Step(bool wide) {
        const unsigned choice = rng() % 6;
        s.model.anchor = s.model.caret = Pick();
        if (wide && choice == 0)
            s.model.anchor = Pick(); // a selection replaced by what comes next
        if (choice <= 1)
            TypeCharacter(s, static_cast<char16_t>(u'a' + rng() % 26));
        else if (choice == 2)
            DeleteAtCaret(s, rng() % 2 == 0);
        else if (choice == 3)
            Undo(s);
        else if (choice == 4)
            Redo(s);
        else if (wide)
            ReplaceRange(s, Pick(), Pick(), std::u16string(rng() % 4, u'\n'));
        else
            TypeCharacter(s, u'\r');
        bytes += log.pending;
        log.pending.clear();
        ends.push_back(bytes.size());
        texts.push_back(s.model.text.substr(0));
    }
};

TEST(Journal, ReplayGivesTheControlsTextAfterAnyEdits) {
    Session session;
    for (int i = 0; i < 400; ++i)
        session.Step(true);
    JournalReplay replay;
    EXPECT_EQ(Replay(session.bytes, &replay), session.s.model.text);
    EXPECT_TRUE(replay.whole);
}

// Each step of these edits is one record, so every cut falls inside the
// record of exactly one step.
TEST(Journal, CutAnywhereGivesTheTextOfTheLastWholeRecord) {
    Session session;
    for (int i = 0; i < 60; ++i)
        session.Step(false);
    size_t step = 0;
    for (size_t cut = session.ends.front(); cut <= session.bytes.size(); ++cut) {
        while (step + 1 < session.ends.size() && session.ends[step + 1] <= cut)
            ++step;
        JournalReplay replay;
        ASSERT_EQ(Replay(std::string_view(session.bytes).substr(0, cut), &replay),
                  session.texts[step])
            << "cut at " << cut;
        EXPECT_EQ(replay.whole, cut == session.ends[step]);
    }
}

TEST(Journal, DamageStopsTheReplayBeforeTheDamagedRecord) {
    Session session;
    for (int i = 0; i < 20; ++i)
        session.Step(false);
    for (size_t step : {1u, 10u, 19u}) {
        std::string damaged = session.bytes;
        const size_t middle = (session.ends[step] + session.ends[step + 1]) / 2;
        damaged[middle] = static_cast<char>(damaged[middle] ^ 0x20);
        JournalReplay replay;
        EXPECT_EQ(Replay(damaged, &replay), session.texts[step]);
        EXPECT_FALSE(replay.whole);
    }
    std::string badHeader = session.bytes;
    badHeader[20] = static_cast<char>(badHeader[20] ^ 1);
    JournalHeader header;
    EXPECT_FALSE(ReadJournalHeader(badHeader, header));
    EXPECT_EQ(Replay(badHeader), kBase);
}

TEST(Journal, HeaderReadsBackAsWritten) {
    JournalHeader written;
    written.documentId = 0x0123456789ABCDEFu;
    written.generation = 3;
    written.snapshot = true;
    written.path = u"C:\\\x4E2D\\a.txt";
    written.displayName = u"a.txt";
    written.disk = {true, {12, 0x01D9000000000001u}, 0xFEEDFACECAFEBEEFu};
    written.encoding = TextEncoding::Ansi;
    written.lineEnding = LineEnding::Lf;
    std::string bytes;
    AppendJournalHeader(bytes, written);
    AppendJournalMark(bytes);
    JournalHeader read;
    ASSERT_TRUE(ReadJournalHeader(bytes, read));
    EXPECT_EQ(read.documentId, written.documentId);
    EXPECT_EQ(read.generation, 3u);
    EXPECT_TRUE(read.snapshot);
    EXPECT_EQ(read.path, written.path);
    EXPECT_EQ(read.displayName, written.displayName);
    EXPECT_EQ(read.disk, written.disk);
    EXPECT_EQ(read.encoding, TextEncoding::Ansi);
    EXPECT_EQ(read.lineEnding, LineEnding::Lf);
    std::u16string text;
    EXPECT_TRUE(ReplayJournal(bytes, text).marked);
}

// A replaced text makes the records so far useless: nothing more is kept
// until a copy of the whole text starts the journal again.
TEST(Journal, ReplacedTextAsksForAFreshStart) {
    Session session;
    session.Step(false);
    SetText(session.s, u"new");
    EXPECT_TRUE(session.log.afresh);
    EXPECT_TRUE(session.log.due);
    TypeCharacter(session.s, u'x');
    EXPECT_TRUE(session.log.pending.empty());
    EXPECT_EQ(session.log.textUnits, 4);
}

} // namespace
