#include "runtime/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <system_error>

namespace runtime {
namespace {

constexpr std::string_view kSpaces = " \t";
constexpr std::string_view kDigits = "0123456789";

std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kSpaces);
    return text.substr(first, last - first + 1);
}

std::string_view TakeDigits(std::string_view& text) {
    const auto count = std::min(text.find_first_not_of(kDigits), text.size());
    const auto digits = text.substr(0, count);
    text.remove_prefix(count);
    return digits;
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
    if (prefix.empty() || !text.starts_with(prefix)) return false;
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
    const auto integerDigits = TakeDigits(text);
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

    // from_chars is exact and ignores the locale, but only knows '.', '-' and 'e'.
    std::string plain;
    plain.reserve(integerDigits.size() + fractionDigits.size() + exponentDigits.size() + 4);
    if (negative) plain += '-';
    plain += integerDigits;
    plain += '.';
    plain += fractionDigits;
    plain += 'e';
    if (negativeExponent) plain += '-';
    plain += exponentDigits.empty() ? "0" : exponentDigits;

    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range &&
        DecimalMagnitude(integerDigits, fractionDigits, negativeExponent, exponentDigits) < 0) {
        return negative ? -0.0 : 0.0;
    }
    if (error != std::errc{} || end != plain.data() + plain.size()) return notANumber;
    return value;
}

std::string FormatNumber(float value, std::string_view pattern, const RegionalSettings& settings) {
    const auto point = pattern.find('.');
    const auto integerPattern = pattern.substr(0, point);
    const auto decimals = point == std::string_view::npos ? 0 : pattern.size() - point - 1;
    const auto minimumIntegerDigits =
        static_cast<std::size_t>(std::count(integerPattern.begin(), integerPattern.end(), '0'));

    // Enough for the largest float written out in full with its decimals.
    std::array<char, 64 + 40> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, static_cast<int>(decimals));
    std::string_view written(buffer.data(), error == std::errc{} ? end : buffer.data());

    const bool negative = written.starts_with('-');
    if (negative) written.remove_prefix(1);
    auto integerDigits = written.substr(0, written.find('.'));
    const auto fractionDigits =
        integerDigits.size() < written.size() ? written.substr(integerDigits.size() + 1) : "";
    while (integerDigits.size() > minimumIntegerDigits && integerDigits.starts_with('0')) {
        integerDigits.remove_prefix(1);
    }
    const bool writtenAsZero = written.find_first_not_of("0.") == std::string_view::npos;

    std::string text;
    if (negative && !writtenAsZero) text += settings.minusSign;
    text.append(minimumIntegerDigits > integerDigits.size()
                    ? minimumIntegerDigits - integerDigits.size()
                    : 0,
                '0');
    text += integerDigits;
    if (!fractionDigits.empty()) {
        text += settings.decimalSeparator;
        text += fractionDigits;
    }
    return text;
}

}  // namespace runtime
