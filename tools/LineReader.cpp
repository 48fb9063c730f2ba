#include "tools/LineReader.h"

#include <algorithm>
#include <cstring>

LineReader::LineReader(std::streambuf& source, std::size_t blockSize)
    : source_(source), buffer_(std::max(blockSize, 2 * (MaxLength + 2))) {}

LineReader::Result LineReader::Next(std::string_view& line) {
    if (stopped_ != Result::Line) {
        return stopped_;
    }
    std::size_t searched = begin_;
    for (;;) {
        const void* found = std::memchr(buffer_.data() + searched, '\n', end_ - searched);
        if (found != nullptr) {
            const std::size_t newline =
                static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
            std::size_t length = newline - begin_;
            if (length > 0 && buffer_[newline - 1] == '\r') {
                --length;
            }
            ++lineNumber_;
            if (length > MaxLength) {
                return stopped_ = Result::TooLong;
            }
            line = std::string_view(buffer_.data() + begin_, length);
            begin_ = newline + 1;
            return Result::Line;
        }
        // No end yet: a line already past its limit (and room for "\r\n") is refused unread.
        if (end_ - begin_ > MaxLength + 1) {
            ++lineNumber_;
            return stopped_ = Result::TooLong;
        }
        const std::size_t pending = end_ - begin_;
        if (!Refill()) {
            if (begin_ == end_) {
                return stopped_ = Result::End;
            }
            // The last line, without an end.
            std::size_t length = end_ - begin_;
            if (buffer_[end_ - 1] == '\r') {
                --length;
            }
            ++lineNumber_;
            if (length > MaxLength) {
                return stopped_ = Result::TooLong;
            }
            line = std::string_view(buffer_.data() + begin_, length);
            begin_ = end_;
            return Result::Line;
        }
        searched = begin_ + pending; // Refill may have moved the line to the front
    }
}

bool LineReader::Refill() {
    if (sourceEnded_) {
        return false;
    }
    // Move the unfinished line to the front; it is at most MaxLength + 1 bytes, so the rest has room.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const std::streamsize got =
        source_.sgetn(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
    if (got <= 0) {
        sourceEnded_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}
