#pragma once

#include <cstddef>
#include <streambuf>
#include <string_view>
#include <vector>

// Reads lines from a stream in large blocks. A line may hold at most MaxLength bytes before its end: a
// longer one is refused as soon as that many bytes have come without an end, never read whole.
class LineReader {
public:
    static constexpr std::size_t MaxLength = 256;

    enum class Result { Line, End, TooLong };

    explicit LineReader(std::streambuf& source, std::size_t blockSize = 1 << 16);

    // The next line, without its "\n" or "\r\n", in line (valid until the next call). The last line needs
    // no end. After TooLong or End, every further call gives the same.
    Result Next(std::string_view& line);

    // Lines given so far, counting the one refused.
    std::size_t LineNumber() const { return lineNumber_; }

private:
    bool Refill();

    std::streambuf& source_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0; // first byte not yet given out
    std::size_t end_ = 0;   // one past the last byte read
    std::size_t lineNumber_ = 0;
    bool sourceEnded_ = false;
    Result stopped_ = Result::Line; // End or TooLong once reached
};
