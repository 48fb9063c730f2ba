// Reads every input as spin field text and compares with a second, independently written reading; every
// number read must also survive writing and reading back.
#include "window/IntegerText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

// Same syntax, another way: strip the text down to bare digits, then 64-bit arithmetic.
std::optional<std::int32_t> ReferenceRead(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    int base = 10;
    bool negative = false;
    if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) {
        base = 16;
        text.erase(0, 2);
    } else if (!text.empty() && std::string_view("$xX").find(text[0]) != std::string_view::npos) {
        base = 16;
        text.erase(0, 1);
    } else if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.erase(0, 1);
    }
    const std::string_view digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (text.empty() || text.find_first_not_of(digits) != std::string::npos) {
        return std::nullopt;
    }
    text.erase(0, std::min(text.find_first_not_of('0'), text.size()));
    if (text.size() > (base == 16 ? 8u : 10u)) {
        return std::nullopt;
    }
    std::int64_t value = text.empty() ? 0 : std::stoll(text, nullptr, base);
    if (base == 16) {
        return static_cast<std::int32_t>(value >= 0x80000000 ? value - 0x100000000 : value);
    }
    if (negative) {
        value = -value;
    }
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::string Show(std::optional<std::int32_t> value) {
    return value ? std::to_string(*value) : "no number";
}

[[noreturn]] void Fail(std::string_view what, std::string_view text, const std::string& got,
                       const std::string& expected) {
    std::fprintf(stderr, "%.*s: text of %zu bytes gave %s, expected %s\n", static_cast<int>(what.size()),
                 what.data(), text.size(), got.c_str(), expected.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The view points into the fuzzer's own buffer, so any read past its end is caught.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto value = ReadIntegerText(text);
    const auto expected = ReferenceRead(std::string(text));
    if (value != expected) {
        Fail("ReadIntegerText", text, Show(value), Show(expected));
    }
    if (value && ReadIntegerText(IntegerToText(*value)) != value) {
        Fail("read back", text, Show(ReadIntegerText(IntegerToText(*value))), Show(value));
    }
    if (size >= sizeof(std::int32_t)) {
        std::int32_t number;
        std::memcpy(&number, data, sizeof number);
        const std::string written = IntegerToText(number);
        if (written != std::to_string(number)) {
            Fail("IntegerToText", text, written, std::to_string(number));
        }
        if (ReadIntegerText(written) != number) {
            Fail("read back", written, Show(ReadIntegerText(written)), std::to_string(number));
        }
    }
    return 0;
}
