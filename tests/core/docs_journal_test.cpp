// The recovery journal against the edit control's own text: whatever the
// edits (undo, redo and Replace All included) and however they interleave
// with the copy of a large text made in steps, the journal on the disk
// leads to the control's text; a journal cut or damaged anywhere gives the
// text as of its last whole record; and no failure leaves a journal behind
// that leads anywhere else.
#include "allocation_failure.h"
#include "docs/document.h"
#include "edit_fixture.h"
#include "editctl/editing.h"
#include "memory_journals.h"
#include "tests/core/fileio_temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

const std::u16string kBase = u"first line\r\nsecond \xD83D\xDE00 line\r\nthird";

// A control whose changes go to an Untitled document's journal, which
// applies to the empty text.
struct Session {
    MemoryJournals folder;
    Document document;
    JournalLog log{42};
    EditState s = MakeEdit(u"");
    std::mt19937 rng{7};
    JournalProgress progress;
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnding lineEnding = LineEnding::Crlf;

    Session() {
        s.history.observer = &log;
        ReplaceRange(s, 0, 0, kBase);
    }
    std::u16string Text() const { return s.model.text.substr(0); }
    void Write(size_t budget = 1 << 20) {
        const auto [front, back] = s.model.text.halves();
        const std::array<std::u16string_view, 2> pieces{front, back};
        progress = log.Write(folder, document, pieces, budget);
        JournalWriter_WaitAll();
    }
    void Form(TextEncoding e, LineEnding l) { log.FormChanged(encoding = e, lineEnding = l); }
    int32_t Pick() {
        return static_cast<int32_t>(rng() % (static_cast<uint32_t>(s.model.text.size()) + 1));
    }
    // One step; with `oneRecord`, only edits that make one record each.
    void Step(bool oneRecord) {
        const unsigned choice = rng() % 8;
        s.model.anchor = s.model.caret = Pick();
        if (!oneRecord && choice == 0)
            s.model.anchor = Pick(); // a selection replaced by what comes next
        if (choice <= 1)
            TypeCharacter(s, static_cast<char16_t>(u'a' + rng() % 26));
        else if (choice == 2)
            DeleteAtCaret(s, rng() % 2 == 0);
        else if (choice == 3)
            Undo(s);
        else if (choice == 4)
            Redo(s);
        else if (choice == 5)
            ReplaceMatches(s, {Pick() / 2, Pick()}, 1, std::u16string(rng() % 3, u'#'));
        else if (choice == 6)
            Form(static_cast<TextEncoding>(rng() % 4), static_cast<LineEnding>(rng() % 4));
        else if (oneRecord)
            TypeCharacter(s, u'\r');
        else
            ReplaceRange(s, Pick(), Pick(), std::u16string(rng() % 4, u'\n'));
    }
};

TEST(Journal, LeadsToTheControlsTextAndFormAfterAnyEdits) {
    Session session;
    for (int i = 0; i < 400; ++i) {
        session.Step(false);
        if (i % 7 == 0) {
            session.Write();
            JournalReplay replay;
            ASSERT_EQ(ReplayText(session.folder.Newest(), {}, &replay), session.Text()) << i;
            EXPECT_TRUE(replay.whole);
            EXPECT_EQ(replay.encoding, session.encoding);
            EXPECT_EQ(replay.lineEnding, session.lineEnding);
        }
    }
    EXPECT_EQ(session.folder.Files().size(), 1u);
    session.log.Discard();
    EXPECT_TRUE(session.folder.Files().empty());
}

// Each step of these edits is one record, so every cut falls inside the
// record of exactly one step.
TEST(Journal, CutAnywhereGivesTheTextOfTheLastWholeRecord) {
    Session session;
    session.Write();
    std::vector<size_t> ends{session.folder.Newest().size()};
    std::vector<std::u16string> texts{session.Text()};
    for (int i = 0; i < 60; ++i) {
        session.Step(true);
        session.Write();
        if (session.folder.Newest().size() > ends.back()) {
            ends.push_back(session.folder.Newest().size());
            texts.push_back(session.Text());
        }
    }
    const std::string bytes = session.folder.Newest();
    size_t step = 0;
    for (size_t cut = ends.front(); cut <= bytes.size(); ++cut) {
        while (step + 1 < ends.size() && ends[step + 1] <= cut)
            ++step;
        JournalReplay replay;
        ASSERT_EQ(ReplayText(std::string_view(bytes).substr(0, cut), {}, &replay), texts[step])
            << "cut at " << cut;
        EXPECT_EQ(replay.whole, cut == ends[step]);
        EXPECT_EQ(replay.soundBytes, ends[step]);
    }
    for (size_t at : {ends[1] + 5, (ends[30] + ends[31]) / 2, bytes.size() - 1}) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
        JournalReplay replay;
        const std::u16string text = ReplayText(damaged, {}, &replay);
        EXPECT_FALSE(replay.whole);
        EXPECT_EQ(text, texts[static_cast<size_t>(std::upper_bound(ends.begin(), ends.end(), at) -
                                                  ends.begin() - 1)]);
    }
    std::string badHeader = bytes;
    badHeader[20] = static_cast<char>(badHeader[20] ^ 1);
    JournalHeader header;
    EXPECT_FALSE(ReadJournalHeader(badHeader, header));
    EXPECT_EQ(ReplayText(badHeader, u"base"), u"base");
}

TEST(Journal, HeaderCarriesTheDocumentAndAStaleMarkEndsTheReplay) {
    Session session;
    session.document.displayName = u"\x4E2D.txt";
    session.document.encoding = TextEncoding::Utf16Be;
    session.document.lineEnding = LineEnding::Mixed;
    session.document.replacedBytes = true;
    session.Write();
    JournalHeader header;
    ASSERT_TRUE(ReadJournalHeader(session.folder.Newest(), header));
    EXPECT_EQ(header.documentId, 42u);
    EXPECT_EQ(header.displayName, u"\x4E2D.txt");
    EXPECT_EQ(header.encoding, TextEncoding::Utf16Be);
    EXPECT_EQ(header.lineEnding, LineEnding::Mixed);
    EXPECT_TRUE(header.replacedBytes);
    EXPECT_FALSE(header.snapshot);

    // A replaced text leaves the old journal behind with a word, until a
    // copy of the new text takes its place.
    const std::u16string before = session.Text();
    SetText(session.s, u"new");
    session.Write(4);
    ASSERT_EQ(session.folder.Files().size(), 2u);
    JournalReplay replay;
    EXPECT_EQ(ReplayText(session.folder.Files().begin()->second, {}, &replay), before);
    EXPECT_TRUE(replay.stale);
    EXPECT_FALSE(replay.whole);
    while (session.progress.more)
        session.Write(4);
    ASSERT_EQ(session.folder.Files().size(), 1u);
    EXPECT_EQ(ReplayText(session.folder.Newest(), {}, &replay), u"new");
    EXPECT_TRUE(replay.marked);
}

// The copy is taken a few units a step while the text changes under it,
// before, across and after the point it has reached; the old journal keeps
// taking the records until the copy is complete.
TEST(Journal, ACopyTakenInStepsWhileTypingGoesOnLeadsToTheText) {
    TempFolder disk;
    TempFolder::WriteBytes(disk.Path("a.txt"), "on the disk");
    for (const bool declined : {false, true}) {
        Session session;
        session.document.path = disk.U16("a.txt");
        ASSERT_TRUE(ReadFileIdentity(session.document.path, session.document.disk));
        session.Write();
        JournalHeader header;
        ASSERT_TRUE(ReadJournalHeader(session.folder.Newest(), header));
        EXPECT_FALSE(header.snapshot);
        // The file changes, or a change of it is declined: the records lean on nothing.
        if (declined)
            session.document.declined = {true, {1, 2}, 3};
        else
            TempFolder::WriteBytes(disk.Path("a.txt"), "changed by another program");
        int steps = 0;
        do {
            const int32_t a = session.Pick();
            const int32_t b = session.Pick();
            const auto length = session.rng() % static_cast<uint32_t>(std::abs(a - b) + 3);
            ReplaceRange(session.s, std::min(a, b), std::max(a, b), std::u16string(length, u'~'));
            session.Write(7);
            ASSERT_EQ(ReplayText(session.folder.Files().begin()->second), session.Text());
            ++steps;
        } while (session.progress.more);
        EXPECT_GT(steps, 5);
        ASSERT_EQ(session.folder.Files().size(), 1u);
        JournalReplay replay;
        EXPECT_EQ(ReplayText(session.folder.Newest(), {}, &replay), session.Text());
        EXPECT_TRUE(replay.marked);
        ASSERT_TRUE(ReadJournalHeader(session.folder.Newest(), header));
        EXPECT_TRUE(header.snapshot);
    }
}

// A journal that cannot be made or written is told of, and the next write
// starts again from a copy; memory running out anywhere in a write leaves
// no file without its header, and the writes after it lead to the text.
TEST(Journal, FailuresAreToldAndLeaveNoJournalThatMisleads) {
    Session session;
    session.folder.refuse = true;
    session.Write();
    EXPECT_TRUE(session.progress.failed);
    EXPECT_TRUE(session.folder.Files().empty());
    session.folder.refuse = false;
    session.Write();
    session.folder.room = 10; // the disk fills up in the next record
    session.Step(true);
    TypeCharacter(session.s, u'x');
    session.Write();
    session.Write();
    EXPECT_TRUE(session.progress.failed);
    session.folder.room = std::numeric_limits<size_t>::max();
    while (session.progress.more || session.log.Due())
        session.Write();
    JournalReplay replay;
    EXPECT_EQ(ReplayText(session.folder.Newest(), {}, &replay), session.Text());
    EXPECT_TRUE(replay.marked);
    EXPECT_EQ(session.folder.Files().size(), 1u);

    // A new journal of records, and a copy replacing a text: memory runs
    // out at each allocation of the write in turn.
    for (const bool copy : {false, true}) {
        size_t nth = 1;
        for (bool struck = true; struck; ++nth) {
            // A fresh Untitled document typed in, or one whose text is replaced.
            SetText(session.s, copy ? u"replaced" : u"");
            if (!copy) {
                session.log.Discard();
                TypeCharacter(session.s, u'y');
            }
            {
                const AllocationFailure failure(nth);
                session.Write(8);
                struck = failure.struck();
            }
            session.Write(0); // takes in what failed on the writing thread
            EXPECT_LE(session.folder.Files().size(), 2u);
            for (const auto& [generation, bytes] : session.folder.Files()) {
                JournalReplay left;
                ReplayText(bytes, {}, &left);
                EXPECT_TRUE(left.header) << "allocation " << nth;
            }
            while (session.progress.more || session.log.Due())
                session.Write();
            EXPECT_EQ(ReplayText(session.folder.Newest()), session.Text()) << "allocation " << nth;
        }
        EXPECT_GT(nth, 3u);
    }
}

} // namespace
