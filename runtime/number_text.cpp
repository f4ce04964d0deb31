#include "runtime/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace runtime {
namespace {

constexpr auto IsSpace = [](char c) { return c == ' ' || c == '\t'; };
constexpr auto IsDigit = [](char c) { return c >= '0' && c <= '9'; };

std::string_view TrimSpaces(std::string_view text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsSpace);
    const auto last = std::find_if_not(text.rbegin(), std::make_reverse_iterator(first), IsSpace);
    return {first, last.base()};
}

// Copies a few bytes. Typed numbers are a handful of characters, where a call to memmove costs
// more than the copy itself.
char* CopyShort(std::string_view from, char* to) {
    for (const char c : from) *to++ = c;
    return to;
}

std::string_view TakeDigits(std::string_view& text) {
    const auto end = std::find_if_not(text.begin(), text.end(), IsDigit);
    const std::string_view digits(text.begin(), end);
    text.remove_prefix(digits.size());
    return digits;
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
    // mismatch rather than starts_with: these prefixes are a byte or three, too short to be worth
    // a call to memcmp, and this runs on every key press.
    if (prefix.empty() || prefix.size() > text.size() ||
        std::mismatch(prefix.begin(), prefix.end(), text.begin()).first != prefix.end()) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

// True when a sign was taken and it was a minus.
bool TakeNegativeSign(std::string_view& text, const RegionalSettings& settings) {
    if (TakePrefix(text, "+")) return false;
    return TakePrefix(text, "-") || TakePrefix(text, settings.minusSign);
}

// The decimal power of the first significant digit, e.g. 2 for "123.4" and -3 for "0.0012",
// with the exponent's digits saturated far beyond any double. Only its sign matters: it tells
// an overflow from an underflow.
std::int64_t DecimalMagnitude(std::string_view integerDigits, std::string_view fractionDigits,
                              bool negativeExponent, std::string_view exponentDigits) {
    std::int64_t magnitude = 0;
    if (const auto first = integerDigits.find_first_not_of('0'); first != std::string_view::npos) {
        magnitude = static_cast<std::int64_t>(integerDigits.size() - first) - 1;
    } else {
        const auto firstFraction = fractionDigits.find_first_not_of('0');
        magnitude = -static_cast<std::int64_t>(firstFraction) - 1;
    }
    std::int64_t exponent = 0;
    for (const char digit : exponentDigits) {
        exponent = std::min<std::int64_t>(exponent * 10 + (digit - '0'), 1'000'000'000);
    }
    return negativeExponent ? magnitude - exponent : magnitude + exponent;
}

}  // namespace

Result<double> ReadNumber(std::string_view text, const RegionalSettings& settings) {
    const RunTimeError notANumber(ErrorKind::NotANumber);
    text = TrimSpaces(text);

    const bool negative = TakeNegativeSign(text, settings);
    auto integerDigits = TakeDigits(text);
    std::string_view fractionDigits;
    if (TakePrefix(text, settings.decimalSeparator)) fractionDigits = TakeDigits(text);
    if (integerDigits.empty() && fractionDigits.empty()) return notANumber;

    bool negativeExponent = false;
    std::string_view exponentDigits;
    if (TakePrefix(text, "e") || TakePrefix(text, "E")) {
        negativeExponent = TakeNegativeSign(text, settings);
        exponentDigits = TakeDigits(text);
        if (exponentDigits.empty()) return notANumber;
    }
    if (!text.empty()) return notANumber;

    // Leading zeros of the whole part and trailing zeros of the fraction never change the value;
    // dropping them keeps a pasted run of zeros away from from_chars, which would read them all.
    constexpr auto kNone = std::string_view::npos;
    const auto firstSignificant = integerDigits.find_first_not_of('0');
    integerDigits = firstSignificant == kNone ? "" : integerDigits.substr(firstSignificant);
    const auto lastSignificant = fractionDigits.find_last_not_of('0');
    fractionDigits = lastSignificant == kNone ? "" : fractionDigits.substr(0, lastSignificant + 1);
    if (integerDigits.empty() && fractionDigits.empty()) integerDigits = "0";

    // from_chars is exact and ignores the locale, but only knows '.', '-' and 'e'. Typed numbers
    // are rewritten on the stack; only a long pasted one needs the heap.
    const std::size_t length =
        integerDigits.size() + fractionDigits.size() + exponentDigits.size() + 4;
    std::array<char, 64> local;
    std::string spill;
    char* const plain =
        length <= local.size() ? local.data() : (spill.resize(length), spill.data());
    char* end = plain;
    if (negative) *end++ = '-';
    end = CopyShort(integerDigits, end);
    *end++ = '.';
    end = CopyShort(fractionDigits, end);
    if (!exponentDigits.empty()) {
        *end++ = 'e';
        if (negativeExponent) *end++ = '-';
        end = CopyShort(exponentDigits, end);
    }

    double value = 0.0;
    const auto [parsed, error] = std::from_chars(plain, end, value);
    if (error == std::errc::result_out_of_range &&
        DecimalMagnitude(integerDigits, fractionDigits, negativeExponent, exponentDigits) < 0) {
        return negative ? -0.0 : 0.0;
    }
    if (error != std::errc{} || parsed != end) return notANumber;
    return value;
}

namespace {

// Writes value rounded to `decimals` places, halves to even, as "-123.45" into buffer and returns
// the end of the text.
char* WriteFixed(float value, int decimals, std::array<char, 128>& buffer) {
    // A float times a power of ten up to 10^8 is exact in a double (24 + 19 significant bits), so
    // rounding that product to a whole number gives the very digits to_chars would, for a
    // fraction of its cost; this runs on every key press.
    constexpr std::array<double, 9> kPowersOfTen{1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    if (decimals >= 0 && decimals < std::ssize(kPowersOfTen)) {
        const double scaled = std::nearbyint(static_cast<double>(value) *
                                             kPowersOfTen[static_cast<std::size_t>(decimals)]);
        if (std::abs(scaled) < 1e18) {  // NaN and infinities fail this too
            char* out = buffer.data();
            if (std::signbit(value)) *out++ = '-';
            std::array<char, 24> whole;
            const auto count =
                static_cast<int>(std::to_chars(whole.begin(), whole.end(),
                                               static_cast<std::int64_t>(std::abs(scaled)))
                                     .ptr -
                                 whole.begin());
            // At least one digit before the point: 5 with two decimals is "0.05".
            const int width = std::max(count, decimals + 1);
            const int zeros = width - count;
            for (int i = 0; i < width; ++i) {
                if (i == width - decimals) *out++ = '.';
                *out++ = i < zeros ? '0' : whole[static_cast<std::size_t>(i - zeros)];
            }
            return out;
        }
    }
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    return error == std::errc{} ? end : buffer.data();
}

}  // namespace

std::string FormatNumber(float value, std::string_view pattern, const RegionalSettings& settings) {
    const auto point = std::find(pattern.begin(), pattern.end(), '.');
    const auto decimals = point == pattern.end() ? 0 : pattern.end() - point - 1;
    const auto minimumIntegerDigits = std::count(pattern.begin(), point, '0');

    std::array<char, 128> written;
    const char* digits = written.data();
    const char* const digitsEnd = WriteFixed(value, static_cast<int>(decimals), written);
    const bool negative = digits != digitsEnd && *digits == '-';
    if (negative) ++digits;
    const auto writtenPoint = std::find(digits, digitsEnd, '.');
    while (writtenPoint - digits > minimumIntegerDigits && *digits == '0') ++digits;
    const bool writtenAsZero =
        std::all_of(digits, digitsEnd, [](char c) { return c == '0' || c == '.'; });

    const bool writeMinus = negative && !writtenAsZero;
    const auto padding =
        std::max<std::ptrdiff_t>(minimumIntegerDigits - (writtenPoint - digits), 0);
    const bool writePoint = writtenPoint != digitsEnd;
    const auto length = static_cast<std::size_t>(
        (writeMinus ? std::ssize(settings.minusSign) : 0) + padding + (digitsEnd - digits) +
        (writePoint ? std::ssize(settings.decimalSeparator) - 1 : 0));

    std::string text(length, '0');
    char* out = text.data();
    if (writeMinus) out = CopyShort(settings.minusSign, out);
    out += padding;
    out = CopyShort({digits, writtenPoint}, out);
    if (writePoint) {
        out = CopyShort(settings.decimalSeparator, out);
        CopyShort({writtenPoint + 1, digitsEnd}, out);
    }
    return text;
}

}  // namespace runtime
