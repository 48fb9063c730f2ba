#include "tools/ReckonCommand.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Args = std::vector<std::string>;

struct BadArgs {
    Args args;
    std::string named; // how the error must name the bad argument
    std::string field;
};

TEST(ParseReckonArgs, ReadsDatesInTripletsInOrder) {
    const ReckonRequest request = ParseReckonArgs({"8", "12", "2026", "31", "2", "2026", "1", "1", "65535"});
    ASSERT_EQ(request.kind, ReckonRequest::Kind::Dates);
    EXPECT_EQ(request.dates, (std::vector<GregorianDate>{{8, 12, 2026}, {31, 2, 2026}, {1, 1, 65535}}));
    EXPECT_EQ(ParseReckonArgs({"08", "012", "0001"}).dates, (std::vector<GregorianDate>{{8, 12, 1}}));
}

TEST(ParseReckonArgs, NothingMeansTodayAndHelpAloneMeansHelp) {
    EXPECT_EQ(ParseReckonArgs({}).kind, ReckonRequest::Kind::Today);
    EXPECT_EQ(ParseReckonArgs({"--help"}).kind, ReckonRequest::Kind::Help);
    EXPECT_EQ(ParseReckonArgs({"8", "12", "2026", "--help"}).kind, ReckonRequest::Kind::Error);
}

TEST(ParseReckonArgs, NamesTheFirstBadArgumentAndItsPosition) {
    const BadArgs cases[] = {
        {{"0", "1", "2000"}, "argument 1 (\"0\")", "day"},
        {{"32", "1", "2000"}, "argument 1 (\"32\")", "day"},
        {{"1", "0", "2000"}, "argument 2 (\"0\")", "month"},
        {{"1", "13", "2000"}, "argument 2 (\"13\")", "month"},
        {{"1", "1", "0"}, "argument 3 (\"0\")", "year"},
        {{"1", "1", "65536"}, "argument 3 (\"65536\")", "year"},
        // Values that wrap to a valid one in 16 or 32 bits.
        {{"1", "1", "65544"}, "argument 3 (\"65544\")", "year"},
        {{"4294967304", "1", "2000"}, "argument 1 (\"4294967304\")", "day"},
        {{"1", "1", "99999999999999999999999999"}, "argument 3 (\"99999999999999999999999999\")", "year"},
        // Signs, blanks, fractions, other bases, words, nothing at all.
        {{"+8", "12", "2026"}, "argument 1 (\"+8\")", "day"},
        {{"8", "-12", "2026"}, "argument 2 (\"-12\")", "month"},
        {{" 8", "12", "2026"}, "argument 1 (\" 8\")", "day"},
        {{"8", "12", "2026 "}, "argument 3 (\"2026 \")", "year"},
        {{"8.0", "12", "2026"}, "argument 1 (\"8.0\")", "day"},
        {{"8", "0x0c", "2026"}, "argument 2 (\"0x0c\")", "month"},
        {{"8", "12", "2026", "eight", "12", "2026"}, "argument 4 (\"eight\")", "day"},
        {{"8", "", "2026"}, "argument 2 (\"\")", "month"},
        // The first bad one wins, even before an incomplete date.
        {{"8", "x", "2026", "y"}, "argument 2 (\"x\")", "month"},
    };
    for (const BadArgs& c : cases) {
        const ReckonRequest request = ParseReckonArgs(c.args);
        EXPECT_EQ(request.kind, ReckonRequest::Kind::Error) << c.named;
        EXPECT_NE(request.error.find(c.named + ": " + c.field), std::string::npos)
            << request.error << " does not name " << c.named << " as " << c.field;
    }
}

TEST(ParseReckonArgs, ATrailingIncompleteDateIsAnError) {
    const ReckonRequest dayOnly = ParseReckonArgs({"8", "12", "2026", "9"});
    EXPECT_EQ(dayOnly.kind, ReckonRequest::Kind::Error);
    EXPECT_NE(dayOnly.error.find("argument 4 (\"9\")"), std::string::npos) << dayOnly.error;
    EXPECT_NE(dayOnly.error.find("month and year missing"), std::string::npos) << dayOnly.error;

    const ReckonRequest noYear = ParseReckonArgs({"8", "12"});
    EXPECT_EQ(noYear.kind, ReckonRequest::Kind::Error);
    EXPECT_NE(noYear.error.find("argument 2 (\"12\")"), std::string::npos) << noYear.error;
    EXPECT_NE(noYear.error.find("year missing"), std::string::npos) << noYear.error;
}

TEST(ParseReckonArgs, ErrorStaysOneShortLineWhateverTheArgument) {
    const ReckonRequest withNewline = ParseReckonArgs({"8\nfake line", "12", "2026"});
    EXPECT_EQ(withNewline.kind, ReckonRequest::Kind::Error);
    EXPECT_EQ(withNewline.error.find_first_of("\r\n"), std::string::npos) << withNewline.error;
    EXPECT_NE(withNewline.error.find("argument 1 (\"8?fake line\")"), std::string::npos) << withNewline.error;

    const ReckonRequest huge = ParseReckonArgs({std::string(100000, '7'), "12", "2026"});
    EXPECT_EQ(huge.kind, ReckonRequest::Kind::Error);
    EXPECT_LT(huge.error.size(), 200u);
}

struct Outcome {
    int status;
    std::string out, err;
};

Outcome RunWith(const Args& args, GregorianDate today = {8, 12, 2026}) {
    std::ostringstream out, err;
    const int status = RunReckon(args, today, out, err);
    return {status, out.str(), err.str()};
}

TEST(RunReckon, PrintsOneLinePerDateInOrder) {
    const Outcome run = RunWith({"8", "12", "2026", "31", "12", "2100", "1", "1", "1"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "16 day of Hriive, loa 10, yeen 15\n"
                       "36 day of Hriive, loa 84, yeen 15\n"
                       "1 day of Yestare, loa 1, yeen 1\n");
    EXPECT_EQ(run.err, "");
}

TEST(RunReckon, WithoutArgumentsPrintsToday) {
    const Outcome run = RunWith({}, {1, 1, 2000});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "39 day of Hriive, loa 127, yeen 14\n");
}

TEST(RunReckon, BadArgumentsPrintNothingButOneErrorLine) {
    const Outcome run = RunWith({"8", "12", "2026", "1", "13", "2000"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "reckon: argument 5 (\"13\"): month must be a whole number from 1 to 12\n");

    const Outcome incomplete = RunWith({"8", "12", "2026", "1"});
    EXPECT_EQ(incomplete.status, 2);
    EXPECT_EQ(incomplete.out, "");
    EXPECT_EQ(incomplete.err, "reckon: argument 4 (\"1\"): incomplete date: month and year missing\n");
}

TEST(RunReckon, HelpPrintsUsage) {
    const Outcome run = RunWith({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: reckon", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
}

} // namespace
