// The forms that go beyond DAY MONTH YEAR arguments: ISO dates, the way back from the reckoning, and
// batches read line by line from standard input.
#include "tools/LineReader.h"
#include "tools/ReckonCommand.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

namespace {

using Args = std::vector<std::string>;

struct Outcome {
    int status;
    std::string out, err;
};

Outcome Reckon(const Args& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = RunReckon(args, {8, 12, 2026}, in, out, err);
    return {status, out.str(), err.str()};
}

TEST(ReckonForms, IsoDatesStandWhereverThreeFieldsDo) {
    const Outcome run = Reckon({"2026-12-08", "1", "1", "2000", "65535-12-31", "0001-03-30", "2026-02-31"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "16 day of Hriive, loa 10, yeen 15\n"
                       "39 day of Hriive, loa 127, yeen 14\n" +
                           Reckon({"31", "12", "65535"}).out + "1 day of Tuile, loa 1, yeen 1\n" +
                           Reckon({"31", "2", "2026"}).out);

    const std::pair<Args, std::string> bad[] = {
        {{"2026-13-08"}, "argument 1 (\"2026-13-08\"): month must be a whole number from 1 to 12"},
        {{"2026-12-00"}, "argument 1 (\"2026-12-00\"): day must be a whole number from 1 to 31"},
        {{"8", "12", "2026", "65536-01-01"}, "argument 4 (\"65536-01-01\"): year must be"},
        {{"0000-01-01"}, "argument 1 (\"0000-01-01\"): year must be"},
        {{"26-12-08"}, "argument 1 (\"26-12-08\"): not a date of the form YYYY-MM-DD"},
        {{"2026-12-8"}, "not a date of the form"},
        {{"+2026-12-08"}, "not a date of the form"},
        {{"2026-+1-08"}, "not a date of the form"},
        {{"2026-12-08", "-"}, "argument 2 (\"-\"): - (standard input) must be the only date"},
        // Mid-date a dash is no ISO date but a bad field, as before.
        {{"8", "-12", "2026"}, "argument 2 (\"-12\"): month must be"},
    };
    for (const auto& [args, expected] : bad) {
        const Outcome run = Reckon(args);
        EXPECT_EQ(run.status, 2) << expected;
        EXPECT_EQ(run.out, "") << expected;
        EXPECT_NE(run.err.find(expected), std::string::npos) << run.err << " lacks " << expected;
    }
}

TEST(ReckonForms, ToGregorianReadsFieldsNamesAndTheDateText) {
    const Outcome run = Reckon({"--to-gregorian", "16", "7", "10", "15", "16 day of Hriive, loa 10, yeen 15",
                                "6", "ENDERI", "12", "15", "  1 DAY OF mettare,  loa 144,\tYEEN 14 ", "1",
                                "yestare", "1", "1", "36 day of Hriive, loa 84, yeen 15", "1 9 144 14"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "2026-12-08\n2026-12-08\n2028-10-01\n2017-03-31\n0001-03-29\n2100-12-31\n2017-03-31\n");

    // Years past four digits are not padded; the last date a year can hold converts.
    const std::string last = Reckon({"31", "12", "65535"}).out;
    const Outcome back = Reckon({"--to-gregorian", last.substr(0, last.size() - 1)});
    EXPECT_EQ(back.out, "65535-12-31\n") << back.err;
}

TEST(ReckonForms, ToGregorianRefusesWhatNoDayIsAndPrintsNothing) {
    const std::pair<Args, std::string> bad[] = {
        // Enderi has six days only in a long loa (every twelfth, but loa 144 of yen 15 is common).
        {{"7", "5", "12", "15"}, "argument 2 (\"7 5 12 15\"): day 7 is past the end of Enderi, which has 6"},
        {{"4", "5", "13", "15"}, "day 4 is past the end of Enderi, which has 3 days in loa 13 of yeen 15"},
        {{"4 day of Enderi, loa 144, yeen 15"}, "which has 3 days in loa 144 of yeen 15"},
        {{"2", "Yestare", "1", "1"}, "day 2 is past the end of Yestare, which has 1"},
        {{"73", "Laire", "1", "1"}, "argument 2 (\"73\"): day must be a whole number from 1 to 72"},
        {{"1", "10", "1", "1"}, "argument 3 (\"10\"): period must be 1 to 9 or a period's name"},
        {{"1", "Yestar", "1", "1"}, "period must be"},
        {{"1", "1", "145", "1"}, "argument 4 (\"145\"): loa must be a whole number from 1 to 144"},
        {{"1", "1", "1", "0"}, "falls before the reckoning's first day"},
        {{"1", "1", "1", "65536"}, "argument 5 (\"65536\"): yen must be"},
        {{"1", "1", "1", "65535"}, "falls after 31 December 65535"},
        {{"16 day of Hriive loa 10, yeen 15"}, "expected DAY PERIOD LOA YEN or"},
        {{"16 day of Hriive, loa 10, yen 15"}, "expected DAY PERIOD LOA YEN or"},
        {{"16 7 10"}, "expected DAY PERIOD LOA YEN or"},
        {{"16", "7", "10", "15", "1", "1"}, "argument 7 (\"1\"): incomplete date: loa and yen missing"},
        {{"16", "7", "10", "15", "-"}, "argument 6 (\"-\"): - (standard input) must be the only date"},
        {{}, "argument 1 (\"--to-gregorian\"): a date or - must follow"},
    };
    for (const auto& [dateArgs, expected] : bad) {
        Args args{"--to-gregorian"};
        args.insert(args.end(), dateArgs.begin(), dateArgs.end());
        const Outcome run = Reckon(args);
        EXPECT_EQ(run.status, 2) << expected;
        EXPECT_EQ(run.out, "") << expected;
        EXPECT_NE(run.err.find(expected), std::string::npos) << run.err << " lacks " << expected;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
}

// Every thousandth day and its neighbours, there and back through the command's own text.
TEST(ReckonForms, DatesRoundTripThroughBothDirections) {
    std::string isoDates, hints;
    for (std::uint32_t n = 88; n <= LastGregorianDayNumber; n += n % 1000 == 89 ? 998 : 1) {
        AppendIsoDate(isoDates, GregorianDateOfDayNumber(n));
        isoDates += '\n';
    }
    const Outcome there = Reckon({"-"}, isoDates);
    ASSERT_EQ(there.status, 0) << there.err;
    const Outcome back = Reckon({"--to-gregorian", "-"}, there.out);
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.out, isoDates);
}

TEST(ReckonForms, BatchStopsAtTheFirstBadLineAfterPrintingEveryOneBefore) {
    const Outcome run = Reckon({"-"}, "2026-12-08\n1 1 2000\r\n \t8\t12  2026 \n\n1 1 1\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "16 day of Hriive, loa 10, yeen 15\n39 day of Hriive, loa 127, yeen 14\n"
                       "16 day of Hriive, loa 10, yeen 15\n");
    EXPECT_EQ(run.err, "reckon: line 4 (\"\"): no date\n");

    const std::string first = "1 day of Yestare, loa 1, yeen 1\n";
    struct BadInput {
        std::string input, out, err;
    };
    const BadInput bad[] = {
        {"1 1 1\n1 13 2000\n", first,
         "reckon: line 2 (\"1 13 2000\"): month must be a whole number from 1 to 12\n"},
        {"1 1 1\n   \n", first, "reckon: line 2 (\"   \"): no date\n"},
        {"1 1\n", "", "reckon: line 1 (\"1 1\"): expected DAY MONTH YEAR or YYYY-MM-DD\n"},
        {"1 1 1 1\n", "", "reckon: line 1 (\"1 1 1 1\"): expected DAY MONTH YEAR or YYYY-MM-DD\n"},
        {"2026-12-08 x\n", "", "reckon: line 1 (\"2026-12-08 x\"): expected DAY MONTH YEAR or YYYY-MM-DD\n"},
        {"1 1 1\n1 1 1\n" + std::string(300, '1'), first + first, "reckon: line 3: longer than 256 bytes\n"},
        {"1 1 1\n" + std::string(257, ' ') + "\n", first, "reckon: line 2: longer than 256 bytes\n"},
        {"1\x1b[2J 1 1\n", "", "reckon: line 1 (\"1?[2J 1 1\"): day must be a whole number from 1 to 31\n"},
    };
    for (const BadInput& b : bad) {
        const Outcome r = Reckon({"-"}, b.input);
        EXPECT_EQ(r.status, 2) << b.err;
        EXPECT_EQ(r.out, b.out) << b.err;
        EXPECT_EQ(r.err, b.err);
    }
    // A line of 256 bytes is still read.
    EXPECT_EQ(Reckon({"-"}, "1 1 1" + std::string(251, ' ') + "\r\n").out, first);

    const Outcome reverse =
        Reckon({"--to-gregorian", "-"}, "16 7 10 15\r\n16 day of hriive, loa 10, yeen 15\n4 5 13 15");
    EXPECT_EQ(reverse.status, 2);
    EXPECT_EQ(reverse.out, "2026-12-08\n2026-12-08\n");
    EXPECT_EQ(reverse.err.rfind("reckon: line 3 (\"4 5 13 15\"): day 4 is past the end of Enderi", 0), 0u)
        << reverse.err;

    // The last line needs no end; an empty input has no lines.
    EXPECT_EQ(Reckon({"-"}, "1 1 1").out, "1 day of Yestare, loa 1, yeen 1\n");
    EXPECT_EQ(Reckon({"-"}, "").status, 0);
    EXPECT_EQ(Reckon({"-"}, "").out, "");
}

// Hands out an endless line, as a stream with no newline would, counting what is taken.
class EndlessLine : public std::streambuf {
public:
    std::size_t taken = 0;

protected:
    std::streamsize xsgetn(char* to, std::streamsize count) override {
        std::fill(to, to + count, '7');
        taken += static_cast<std::size_t>(count);
        return count;
    }
};

TEST(LineReader, RefusesAnOverLongLineWithoutReadingItWhole) {
    EndlessLine endless;
    LineReader reader(endless, 4096);
    std::string_view line;
    EXPECT_EQ(reader.Next(line), LineReader::Result::TooLong);
    EXPECT_EQ(reader.LineNumber(), 1u);
    EXPECT_LE(endless.taken, 4096u);
    EXPECT_EQ(reader.Next(line), LineReader::Result::TooLong);
    EXPECT_LE(endless.taken, 4096u);
}

TEST(LineReader, LinesThatStraddleBlocksArriveWhole) {
    // Small blocks, so that lines of every length up to the limit cross block ends at every offset.
    std::string input;
    for (std::size_t length = 0; length <= LineReader::MaxLength; ++length) {
        input += std::string(length, static_cast<char>('a' + length % 26)) + (length % 2 ? "\r\n" : "\n");
    }
    std::istringstream in(input + "end\r");
    LineReader reader(*in.rdbuf(), 600);
    std::string_view line;
    for (std::size_t length = 0; length <= LineReader::MaxLength; ++length) {
        ASSERT_EQ(reader.Next(line), LineReader::Result::Line) << length;
        ASSERT_EQ(line, std::string(length, static_cast<char>('a' + length % 26)));
    }
    ASSERT_EQ(reader.Next(line), LineReader::Result::Line);
    EXPECT_EQ(line, "end");
    EXPECT_EQ(reader.Next(line), LineReader::Result::End);
    EXPECT_EQ(reader.LineNumber(), LineReader::MaxLength + 2);
}

// Output that cannot be written must not end in success.
TEST(ReckonForms, AFailedWriteIsAnError) {
    std::istringstream in("1 1 1\n");
    std::ostream closed(nullptr);
    std::ostringstream err;
    EXPECT_EQ(RunReckon({"-"}, {8, 12, 2026}, in, closed, err), 1);
    EXPECT_EQ(RunReckon({"8", "12", "2026"}, {8, 12, 2026}, closed, err), 1);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos) << err.str();
}

} // namespace
