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

// The zero of each digit set read besides the settings' own: ASCII, Arabic-Indic, Persian, NKo,
// Devanagari, Bengali, Gurmukhi, Gujarati, Oriya, Tamil, Telugu, Kannada, Malayalam, Thai, Lao,
// Tibetan, Myanmar, Khmer, Mongolian, Ol Chiki, Meetei Mayek and fullwidth (East Asian input).
constexpr std::array<char32_t, 22> kZeroDigits{
    U'0',      U'\u0660', U'\u06F0', U'\u07C0', U'\u0966', U'\u09E6', U'\u0A66', U'\u0AE6',
    U'\u0B66', U'\u0BE6', U'\u0C66', U'\u0CE6', U'\u0D66', U'\u0E50', U'\u0ED0', U'\u0F20',
    U'\u1040', U'\u17E0', U'\u1810', U'\u1C50', U'\uABF0', U'\uFF10'};

constexpr char32_t kNoCodePoint = 0xFFFFFFFF;

struct CodePoint {
    char32_t value;  // kNoCodePoint where the text is no well-formed UTF-8
    std::size_t length;
};

// The code point at the start of UTF-8 text, which is not empty.
CodePoint DecodeFirst(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    constexpr std::array<char32_t, 5> kShortest{0, 0, 0x80, 0x800, 0x10000};
    if (lead < 0xC0 || lead > 0xF4 || text.size() < length) return {kNoCodePoint, 1};
    char32_t value = lead & (0x7FU >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return {kNoCodePoint, 1};
        value = (value << 6) | (next & 0x3FU);
    }
    if (value < kShortest[length] || value > 0x10FFFF) return {kNoCodePoint, 1};  // overlong
    return {value, length};
}

}  // namespace

void AppendCodePoint(std::string& text, char32_t c) {
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (c < 0x80) {
        text += byte(c);
    } else if (c < 0x800) {
        text += {byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
        text += {byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
    } else {
        text += {byte(0xF0 | c >> 18), byte(0x80 | (c >> 12 & 0x3F)), byte(0x80 | (c >> 6 & 0x3F)),
                 byte(0x80 | (c & 0x3F))};
    }
}

namespace {

// The settings' digit zero; ASCII '0' where they hold none that could be one.
char32_t ZeroDigit(const RegionalSettings& settings) {
    if (settings.zeroDigit.empty()) return U'0';
    const auto [zero, length] = DecodeFirst(settings.zeroDigit);
    return zero == kNoCodePoint || length != settings.zeroDigit.size() ||
                   (zero < 0x80 && zero != U'0')
               ? U'0'
               : zero;
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
    if (prefix.empty() || !text.starts_with(prefix)) return false;
    text.remove_prefix(prefix.size());
    return true;
}

// What may stand around a number: spaces, among them the no-break (U+00A0), thin (U+2009) and
// narrow no-break (U+202F) ones that texts copied from documents and web pages carry, and the
// invisible direction marks LRM, RLM and ALM.
constexpr bool IsDirectionMark(char32_t c) {
    return c == U'\u200E' || c == U'\u200F' || c == U'\u061C';
}
constexpr bool IsSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\u00A0' || c == U'\u2009' || c == U'\u202F' ||
           IsDirectionMark(c);
}

std::string_view TrimFront(std::string_view text, bool (*trimmed)(char32_t)) {
    while (!text.empty()) {
        const CodePoint c = DecodeFirst(text);
        if (!trimmed(c.value)) break;
        text.remove_prefix(c.length);
    }
    return text;
}

std::string_view TrimBack(std::string_view text, bool (*trimmed)(char32_t)) {
    while (!text.empty()) {
        // The last code point starts at the last byte that does not continue another.
        auto start = text.size() - 1;
        while (start > 0 && text.size() - start < 4 &&
               (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
            --start;
        }
        const CodePoint c = DecodeFirst(text.substr(start));
        if (c.length != text.size() - start || !trimmed(c.value)) break;
        text.remove_suffix(c.length);
    }
    return text;
}

// The zero of the digit set that c is a digit of, or kNoCodePoint.
char32_t ZeroOf(char32_t c, char32_t localZero) {
    const auto isDigitFrom = [c](char32_t zero) { return c - zero < 10; };  // wraps below zero
    if (isDigitFrom(localZero)) return localZero;
    const auto found = std::find_if(kZeroDigits.begin(), kZeroDigits.end(), isDigitFrom);
    return found == kZeroDigits.end() ? kNoCodePoint : *found;
}

// Moves the leading digits of text to the end of plain as ASCII digits and returns how many
// there were. `set` is the zero of the digit set of the number so far (0 before its first
// digit); a digit of another set ends the digits.
std::size_t TakeDigits(std::string_view& text, std::string& plain, char32_t localZero,
                       char32_t& set) {
    std::size_t count = 0;
    while (!text.empty()) {
        const CodePoint c = DecodeFirst(text);
        const char32_t zero = ZeroOf(c.value, localZero);
        // Arabic-Indic and Persian digits differ only in 4, 5 and 6, and are often mixed.
        const char32_t digitSet = zero == U'\u06F0' ? U'\u0660' : zero;
        if (zero == kNoCodePoint || (set != 0 && digitSet != set)) break;
        set = digitSet;
        plain += static_cast<char>('0' + (c.value - zero));
        text.remove_prefix(c.length);
        ++count;
    }
    return count;
}

// Takes an optional sign and the direction marks after it. True when it was a minus: '-', the
// regional minus sign, or one of those that text copied from a web page or a document begins
// with, the true minus sign U+2212 and the en dash U+2013 that German typesetting uses for it.
bool TakeNegativeSign(std::string_view& text, const RegionalSettings& settings) {
    const bool negative = !TakePrefix(text, "+") &&
                          (TakePrefix(text, "-") || TakePrefix(text, "\u2212") ||
                           TakePrefix(text, "\u2013") ||
                           TakePrefix(text, TrimBack(TrimFront(settings.minusSign, IsDirectionMark),
                                                     IsDirectionMark)));
    text = TrimFront(text, IsDirectionMark);
    return negative;
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
    // Any exponent beyond this is as far out of range as any other, and the sum cannot overflow.
    constexpr long long kFar = 1'000'000'000'000;
    long long exponent = 0;
    const auto exponentText = plain.substr(std::min(e + 1, plain.size()));
    if (std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent)
            .ec == std::errc::result_out_of_range) {
        exponent = exponentText.starts_with('-') ? -kFar : kFar;
    }
    return power + std::clamp(exponent, -kFar, kFar);
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
    text = TrimBack(TrimFront(text, IsSpace), IsSpace);
    const char32_t localZero = ZeroDigit(settings);
    char32_t digitSet = 0;

    // Rewritten as "-123.45e-6", the form the conversion knows.
    std::string plain;
    if (TakeNegativeSign(text, settings)) plain += '-';
    auto digits = TakeDigits(text, plain, localZero, digitSet);
    // The Arabic decimal separator, which Persian and Arabic keyboards type, means nothing else,
    // so it is read whatever separator the settings give (Windows gives fa_IR '.' or '/').
    if (TakePrefix(text, settings.decimalSeparator) || TakePrefix(text, "\u066B")) {
        plain += '.';
        digits += TakeDigits(text, plain, localZero, digitSet);
    }
    if (digits == 0) return notANumber;
    if (TakePrefix(text, "e") || TakePrefix(text, "E")) {
        plain += 'e';
        if (TakeNegativeSign(text, settings)) plain += '-';
        if (TakeDigits(text, plain, localZero, digitSet) == 0) return notANumber;
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

    std::string plain;
    if (negative && !zero) plain += '-';
    plain.append(minimumIntegerDigits - std::min(minimumIntegerDigits, integer.size()), '0');
    plain += integer;
    if (!fraction.empty()) {
        plain += '.';
        plain += fraction;
    }
    return WriteRegional(plain, settings);
}

std::string WriteRegional(std::string_view plain, const RegionalSettings& settings) {
    const char32_t zero = ZeroDigit(settings);
    std::string text;
    for (const char c : plain) {
        if (c == '-') {
            text += settings.minusSign;
        } else if (c == '.') {
            text += settings.decimalSeparator;
        } else if (c >= '0' && c <= '9') {
            AppendCodePoint(text, zero + static_cast<char32_t>(c - '0'));
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace runtime
