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

// An item of the user's number format: as the Control Panel keeps it in the registry under that
// name, or else as the user's locale has it. The registry comes first because wine's
// GetLocaleInfoEx keeps what a process has read once, and so would still give the old format
// after WM_SETTINGCHANGE; Windows' own reads the same values.
std::optional<std::wstring> UserLocaleText(LCTYPE item, PCWSTR registryName) {
    wchar_t buffer[LOCALE_NAME_MAX_LENGTH];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\International", registryName,
                     RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS &&
        buffer[0]) {
        return buffer;
    }
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer,
                                       static_cast<int>(std::size(buffer)));
    if (length <= 1) return std::nullopt;  // failed, or only the terminating zero
    return std::wstring(buffer, static_cast<size_t>(length - 1));
}

// The digits the user's numbers are shown with: the locale's own, unless the user has told
// Windows never to substitute them for 0-9.
std::optional<std::wstring> UserZeroDigit() {
    if (UserLocaleText(LOCALE_IDIGITSUBSTITUTION, L"NumShape") == L"1") return std::nullopt;
    auto digits = UserLocaleText(LOCALE_SNATIVEDIGITS, L"sNativeDigits");
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
    if (auto separator = UserLocaleText(LOCALE_SDECIMAL, L"sDecimal")) {
        settings.decimalSeparator = Narrow(*separator);
    }
    if (auto minus = UserLocaleText(LOCALE_SNEGATIVESIGN, L"sNegativeSign")) {
        settings.minusSign = Narrow(*minus);
    }
    if (auto zero = UserZeroDigit()) settings.zeroDigit = Narrow(*zero);
    return settings;
}

}  // namespace win32
