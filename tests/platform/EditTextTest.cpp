#include "platform/controls/EditText.h"

#include <gtest/gtest.h>

namespace platform::controls {
namespace {

// GBK: 中 D6 D0, 文 CE C4; 0x81 0x61 is a character whose trail byte is 'a'.
const std::string zhong = "\xD6\xD0";
const std::string wen = "\xCE\xC4";

EditText text_of(std::string_view s, bool multiline = false) {
    EditText t(multiline);
    t.set_text(s);
    return t;
}

std::vector<std::size_t> walk_forward(const EditText& t) {
    std::vector<std::size_t> stops{0};
    for (std::size_t p = 0; p < t.size();)
        stops.push_back(p = t.next(p));
    return stops;
}

TEST(EditTextPositions, StepOverWholeDoubleByteCharactersBothWays) {
    EditText t = text_of("a" + zhong + "b" + wen);
    EXPECT_EQ(walk_forward(t), (std::vector<std::size_t>{0, 1, 3, 4, 6}));
    EXPECT_EQ(t.previous(6), 4u);
    EXPECT_EQ(t.previous(4), 3u);
    EXPECT_EQ(t.previous(3), 1u);
    EXPECT_EQ(t.previous(1), 0u);
    EXPECT_EQ(t.snap(2), 1u) << "inside 中 snaps to its start";
    EXPECT_EQ(t.snap(5), 4u);
    EXPECT_EQ(t.snap(99), 6u);
}

TEST(EditTextPositions, ATrailByteThatLooksLikeALeadByteDoesNotShiftTheBoundaries) {
    // D6 D0 D6 D0: the second D6 is a lead again only because the walk starts at 0.
    EditText t = text_of("\xB0\xA1\xB0\xA1" + zhong);
    EXPECT_EQ(walk_forward(t), (std::vector<std::size_t>{0, 2, 4, 6}));
    EXPECT_EQ(t.snap(3), 2u);
}

TEST(EditTextPositions, CrLfIsOneStepOnlyInAMultiLineText) {
    EXPECT_EQ(walk_forward(text_of("a\r\nb", true)), (std::vector<std::size_t>{0, 1, 3, 4}));
    EXPECT_EQ(walk_forward(text_of("a\r\nb", false)), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EditText t = text_of("a\r\nb", true);
    t.select(2, 2);
    EXPECT_EQ(t.caret(), 1u) << "the caret never sits between CR and LF";
}

TEST(EditTextPositions, WordMovesAndDoubleClickWords) {
    EditText t = text_of("ab  " + zhong + wen + " c");
    //                    0 1 23 4    6    8 9
    EXPECT_EQ(t.word_right(0), 4u);
    EXPECT_EQ(t.word_right(4), 9u);
    EXPECT_EQ(t.word_left(9), 4u);
    EXPECT_EQ(t.word_left(4), 0u);
    EXPECT_EQ(t.word_around(5), (std::pair<std::size_t, std::size_t>{4, 9}))
        << "the word with its blank";
    EXPECT_EQ(t.word_around(2), (std::pair<std::size_t, std::size_t>{2, 4})) << "a run of blanks";
    EXPECT_EQ(t.word_around(10), (std::pair<std::size_t, std::size_t>{9, 10}))
        << "past the end: the last word";
}

TEST(EditTextLines, HardLinesEndBeforeTheirCrLf) {
    EditText t = text_of("one\r\n\r\n" + zhong, true);
    EXPECT_EQ(t.line_starts(), (std::vector<std::size_t>{0, 5, 7}));
    EXPECT_EQ(t.line_end(0), 3u);
    EXPECT_EQ(t.line_end(5), 5u);
    EXPECT_EQ(t.line_end(7), 9u);
    EXPECT_EQ(text_of("one\r\ntwo").line_starts(), (std::vector<std::size_t>{0})) << "single-line";
}

TEST(EditTextEditing, DeletingAtTheEndsChangesNothingAndALineBreakGoesWhole) {
    EditText t = text_of(zhong);
    t.move_caret(2, Extend::No);
    EXPECT_FALSE(t.erase_next().changed);
    t.move_caret(0, Extend::No);
    EXPECT_FALSE(t.erase_previous().changed);
    t = text_of("x\r\ny", true);
    t.move_caret(3, Extend::No);
    t.erase_previous();
    EXPECT_EQ(t.text(), "xy");
}

TEST(EditTextEditing, TheLimitCutsInsertedTextAtACharacterBoundary) {
    for (std::size_t limit : {4u, 5u}) {
        EditText t = text_of("ab");
        t.set_limit(limit);
        t.move_caret(2, Extend::No);
        ASSERT_TRUE(t.would_exceed_limit(zhong + wen));
        ReplaceResult r = t.replace_selection(zhong + wen, Undoable::Yes, Limit::Honor);
        EXPECT_TRUE(r.truncated);
        EXPECT_TRUE(r.changed);
        EXPECT_EQ(t.text(), "ab" + zhong) << "limit " << limit;
    }
    EditText full = text_of("abc");
    full.set_limit(3);
    full.move_caret(3, Extend::No);
    ReplaceResult r = full.replace_selection("d", Undoable::Yes, Limit::Honor);
    EXPECT_TRUE(r.truncated);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(full.text(), "abc");
    full.select(0, 1);
    EXPECT_FALSE(full.would_exceed_limit("d")) << "the selection makes room";
    full.set_limit(2);
    full.select(0, 0);
    full.replace_selection("z", Undoable::Yes, Limit::Ignore);
    EXPECT_EQ(full.text(), "zabc") << "Limit::Ignore passes the limit";
}

TEST(EditTextEditing, OutsideTextStopsAtNulAndALoneLeadByteCannotSwallowTheNextCharacter) {
    EXPECT_EQ(EditText::sanitize(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_EQ(EditText::sanitize("x\x81"), "x?");
    EXPECT_EQ(EditText::sanitize("\x81\x20z"), "\x81\x20z") << "bytes are kept; drawing marks them";
    EditText t = text_of("cd");
    t.replace_selection("\xD6", Undoable::Yes, Limit::Honor);
    EXPECT_EQ(t.text(), "?cd");
    EXPECT_EQ(walk_forward(t), (std::vector<std::size_t>{0, 1, 2, 3}));
}

TEST(EditTextEditing, LetterCaseLeavesTrailBytesAlone) {
    std::string s = "\x81\x61"
                    "aB" +
                    zhong;
    EditText::convert_case(s, LetterCase::Upper);
    EXPECT_EQ(s, "\x81\x61"
                 "AB" +
                     zhong);
    s = "\x81\x41"
        "aB";
    EditText::convert_case(s, LetterCase::Lower);
    EXPECT_EQ(s, "\x81\x41"
                 "ab");
}

TEST(EditTextUndo, ATypedRunUndoesAtOnceAndUndoingTwiceRedoes) {
    EditText t = text_of("x");
    t.move_caret(1, Extend::No);
    EXPECT_FALSE(t.can_undo()) << "set_text leaves nothing to undo";
    for (const char* c : {"a", "b", "c"})
        t.replace_selection(c, Undoable::Yes, Limit::Honor);
    ASSERT_TRUE(t.can_undo());
    EXPECT_TRUE(t.undo());
    EXPECT_EQ(t.text(), "x");
    EXPECT_TRUE(t.undo());
    EXPECT_EQ(t.text(), "xabc");
    EXPECT_EQ(t.selection_start(), 1u);
    EXPECT_EQ(t.selection_end(), 4u) << "the restored text comes back selected";
}

TEST(EditTextUndo, ConsecutiveBackspacesUndoTogetherAndReplacingRestoresTheSelection) {
    EditText t = text_of("hello" + zhong);
    t.move_caret(t.size(), Extend::No);
    t.erase_previous();
    t.erase_previous();
    t.erase_previous();
    EXPECT_EQ(t.text(), "hel");
    t.undo();
    EXPECT_EQ(t.text(), "hello" + zhong);

    t = text_of("one two");
    t.select(4, 7);
    t.replace_selection("2", Undoable::Yes, Limit::Honor);
    t.replace_selection("!", Undoable::Yes, Limit::Honor);
    EXPECT_EQ(t.text(), "one 2!");
    t.undo();
    EXPECT_EQ(t.text(), "one two");
    t.replace_selection("x", Undoable::No, Limit::Honor);
    EXPECT_FALSE(t.can_undo()) << "a change that cannot be undone empties the buffer";
}

} // namespace
} // namespace platform::controls
