#include "text.h"

#include <windows.h>

#include <climits>
#include <optional>

namespace win32 {

namespace {

// Texts beyond INT_MAX units cannot be passed to the conversion functions; no field gets there.
int Length(size_t size) {
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

std::optional<std::wstring> UserLocaleText(LCTYPE item) {
    wchar_t buffer[LOCALE_NAME_MAX_LENGTH];
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer,
                                       static_cast<int>(std::size(buffer)));
    if (length <= 1) return std::nullopt;  // failed, or only the terminating zero
    return std::wstring(buffer, static_cast<size_t>(length - 1));
}

// The digits the user's numbers are shown with: the locale's own, unless the user has told
// Windows never to substitute them for 0-9.
std::optional<std::wstring> UserZeroDigit() {
    constexpr DWORD kNeverSubstitute = 1;
    DWORD substitution = 0;
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_IDIGITSUBSTITUTION | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&substitution),
                        sizeof substitution / sizeof(wchar_t)) > 0 &&
        substitution == kNeverSubstitute) {
        return std::nullopt;
    }
    auto digits = UserLocaleText(LOCALE_SNATIVEDIGITS);
    if (digits) digits->resize(1);  // each digit is one UTF-16 unit; the rest follow zero
    return digits;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), Length(utf8.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), Length(utf8.size()), result.data(), length);
    return result;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), Length(utf16.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), Length(utf16.size()), result.data(), length,
                        nullptr, nullptr);
    return result;
}

runtime::RegionalSettings UserRegionalSettings() {
    runtime::RegionalSettings settings;
    if (auto separator = UserLocaleText(LOCALE_SDECIMAL)) {
        settings.decimalSeparator = Narrow(*separator);
    }
    if (auto minus = UserLocaleText(LOCALE_SNEGATIVESIGN)) settings.minusSign = Narrow(*minus);
    if (auto zero = UserZeroDigit()) settings.zeroDigit = Narrow(*zero);
    return settings;
}

}  // namespace win32
