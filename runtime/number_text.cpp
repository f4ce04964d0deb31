#include "runtime/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <system_error>

namespace runtime {
namespace {

constexpr std::string_view kSpaces = " \t";

std::string_view TrimSpaces(std::string_view text) {
    const auto first = std::min(text.find_first_not_of(kSpaces), text.size());
    text.remove_prefix(first);
    return text.substr(0, text.find_last_not_of(kSpaces) + 1);
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
    if (prefix.empty() || !text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

// Moves the leading digits of text to the end of plain; returns how many there were.
std::size_t TakeDigits(std::string_view& text, std::string& plain) {
    const auto count = std::min(text.find_first_not_of("0123456789"), text.size());
    plain += text.substr(0, count);
    text.remove_prefix(count);
    return count;
}

// Takes an optional sign: '+', '-' or the regional minus sign. True when it was a minus.
bool TakeNegativeSign(std::string_view& text, const RegionalSettings& settings) {
    if (TakePrefix(text, "+")) return false;
    return TakePrefix(text, "-") || TakePrefix(text, settings.minusSign);
}

#if defined(__cpp_lib_to_chars)

// The decimal power of a plain number's first significant digit: 2 for "123.4", -3 for
// "0.0012e0". A number too far out of range for a double is too small when it is negative.
long long DecimalPower(std::string_view plain) {
    const auto e = std::min(plain.find('e'), plain.size());
    const auto mantissa = plain.substr(0, e);
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    const auto first = mantissa.find_first_of("123456789");
    const auto power =
        static_cast<long long>(point) - static_cast<long long>(first) - (first < point ? 1 : 0);
    long long exponent = 0;
    const auto exponentText = plain.substr(std::min(e + 1, plain.size()));
    if (std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent)
            .ec == std::errc::result_out_of_range) {
        exponent = exponentText.starts_with('-') ? -1'000'000'000 : 1'000'000'000;
    }
    return power + exponent;
}

// Reads a number written as "-123.45e-6", or nothing when it is too large for a double. One too
// small reads as zero. from_chars is exact and ignores the process locale.
std::optional<double> ReadPlain(const std::string& plain) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range && DecimalPower(plain) < 0) {
        return plain.starts_with('-') ? -0.0 : 0.0;
    }
    if (error != std::errc{} || end != plain.data() + plain.size()) return std::nullopt;
    return value;
}

// Writes value rounded to `decimals` places, halves to even, as "-123.45".
std::string_view WriteFixed(float value, int decimals, std::array<char, 128>& buffer) {
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    if (error != std::errc{}) return {};
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

#elif defined(__EMSCRIPTEN__)

// emscripten's libc++ has no floating-point from_chars or to_chars. Its C library (musl) reads
// and writes numbers correctly rounded and always with '.', whatever the locale, so strtod and
// snprintf give exactly what from_chars and to_chars would. (glibc's would follow the locale's
// decimal point, which is why the other builds keep the standard library's conversions.)
std::optional<double> ReadPlain(const std::string& plain) {
    char* end = nullptr;
    const double value = std::strtod(plain.c_str(), &end);
    // Too small gives zero, as it should; too large gives infinity.
    if (end != plain.data() + plain.size() || std::isinf(value)) return std::nullopt;
    return value;
}

std::string_view WriteFixed(float value, int decimals, std::array<char, 128>& buffer) {
    const int length =
        std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, static_cast<double>(value));
    if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) return {};
    return {buffer.data(), static_cast<std::size_t>(length)};
}

#else
#error "Needs the floating-point std::from_chars and std::to_chars, or emscripten's C library"
#endif

}  // namespace

Result<double> ReadNumber(std::string_view text, const RegionalSettings& settings) {
    const RunTimeError notANumber(ErrorKind::NotANumber);
    text = TrimSpaces(text);

    // Rewritten as "-123.45e-6", the form the conversion knows.
    std::string plain;
    if (TakeNegativeSign(text, settings)) plain += '-';
    auto digits = TakeDigits(text, plain);
    if (TakePrefix(text, settings.decimalSeparator)) {
        plain += '.';
        digits += TakeDigits(text, plain);
    }
    if (digits == 0) return notANumber;
    if (TakePrefix(text, "e") || TakePrefix(text, "E")) {
        plain += 'e';
        if (TakeNegativeSign(text, settings)) plain += '-';
        if (TakeDigits(text, plain) == 0) return notANumber;
    }
    if (!text.empty()) return notANumber;

    const auto value = ReadPlain(plain);
    if (!value) return notANumber;
    return *value;
}

std::string FormatNumber(float value, std::string_view pattern, const RegionalSettings& settings) {
    const auto point = std::min(pattern.find('.'), pattern.size());
    const auto decimals = point < pattern.size() ? pattern.size() - point - 1 : 0;
    const auto minimumIntegerDigits =
        static_cast<std::size_t>(std::count(pattern.begin(), pattern.begin() + point, '0'));

    std::array<char, 128> buffer;
    std::string_view written = WriteFixed(value, static_cast<int>(decimals), buffer);
    const bool negative = TakePrefix(written, "-");
    // Never a minus sign before a value written as zero.
    const bool zero = written.find_first_not_of("0.") == std::string_view::npos;
    auto integer = written.substr(0, written.find('.'));
    const auto fraction = written.substr(std::min(integer.size() + 1, written.size()));
    integer.remove_prefix(std::min(integer.find_first_not_of('0'), integer.size()));

    std::string text;
    if (negative && !zero) text += settings.minusSign;
    text.append(minimumIntegerDigits - std::min(minimumIntegerDigits, integer.size()), '0');
    text += integer;
    if (!fraction.empty()) {
        text += settings.decimalSeparator;
        text += fraction;
    }
    return text;
}

}  // namespace runtime
