#include <gtest/gtest.h>

#include "display/LineSplitter.h"

namespace {

struct SplitCase {
    const char* name;
    QString text;
    QStringList lines;
};

class LineSplitting : public testing::TestWithParam<SplitCase> { };

TEST_P(LineSplitting, GivesTheLinesBetweenBreaks)
{
    EXPECT_EQ(splitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LineSplitting,
    testing::Values(SplitCase {"EmptyTextHasNoLines", "", {}},
                    SplitCase {"OneLine", "abc", {"abc"}},
                    SplitCase {"TwoLines", "ab\r\ncd", {"ab", "cd"}},
                    SplitCase {"FinalBreakMakesNoExtraLine", "ab\r\ncd\r\n", {"ab", "cd"}},
                    SplitCase {"OnlyABreakIsOneEmptyLine", "\r\n", {""}},
                    SplitCase {"EmptyLineInTheMiddleCounts", "ab\r\n\r\ncd", {"ab", "", "cd"}},
                    SplitCase {"LeadingEmptyLineCounts", "\r\nab", {"", "ab"}},
                    SplitCase {"TwoFinalBreaksLeaveOneEmptyLine", "ab\r\n\r\n", {"ab", ""}},
                    SplitCase {"LoneLineFeedBreaks", "ab\ncd", {"ab", "cd"}},
                    SplitCase {"LoneCarriageReturnBreaks", "ab\rcd", {"ab", "cd"}},
                    SplitCase {"BlanksStayInTheLine", "  a b \t", {"  a b \t"}}),
    [](const testing::TestParamInfo<SplitCase>& test) { return std::string(test.param.name); });

struct BlankCase {
    const char* name;
    QString line;
    bool blank;
};

class BlankLines : public testing::TestWithParam<BlankCase> { };

TEST_P(BlankLines, OnlySpacesAndControlCharactersAreBlank)
{
    EXPECT_EQ(isBlankLine(GetParam().line), GetParam().blank);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BlankLines,
    testing::Values(BlankCase {"Empty", "", true}, BlankCase {"Spaces", "   ", true},
                    BlankCase {"TabsAndControls", QString("\t\x01\x1f "), true},
                    BlankCase {"Letter", " a ", false}, BlankCase {"Exclamation", "!", false},
                    BlankCase {"NoBreakSpaceIsText", QString(QChar(0xA0)), false}),
    [](const testing::TestParamInfo<BlankCase>& test) { return std::string(test.param.name); });

} // namespace
