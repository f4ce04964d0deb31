#include "window/html_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <optional>
#include <utility>

#include "runtime/number_text.h"

namespace window {
namespace {

using namespace std::string_view_literals;

// The fragment of Windows' "HTML Format", or all of other HTML.
std::string_view Fragment(std::string_view data) {
    if (!data.starts_with("Version:")) return data;
    const std::string_view header = data.substr(0, data.find('<'));
    const auto offset = [&](std::string_view name) -> std::optional<size_t> {
        const size_t at = header.find(name);
        size_t value = 0;
        if (at == header.npos ||
            std::from_chars(header.data() + at + name.size(), header.data() + header.size(), value)
                    .ec != std::errc()) {
            return std::nullopt;
        }
        return value;
    };
    const auto start = offset("StartFragment:"), end = offset("EndFragment:");
    if (start && end && *start <= *end && *end <= data.size()) {
        return data.substr(*start, *end - *start);
    }
    return data.substr(header.size());
}

// The character an entity after '&' stands for, and the entity's length up to its ';'.
std::pair<std::string, size_t> Entity(std::string_view html) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kNamed{{
        {"amp;", "&"},
        {"lt;", "<"},
        {"gt;", ">"},
        {"quot;", "\""},
        {"apos;", "'"},
        {"nbsp;", "\u00A0"},
        {"thinsp;", "\u2009"},
        {"minus;", "\u2212"},  // the true minus sign that web pages write numbers with
        {"ndash;", "\u2013"},
    }};
    for (const auto& [name, character] : kNamed) {
        if (html.starts_with(name)) return {std::string(character), name.size()};
    }
    if (!html.starts_with('#')) return {"&", 0};  // no entity: the ampersand stands for itself
    const bool hex = html.starts_with("#x") || html.starts_with("#X");
    std::uint32_t code = 0;
    const auto [end, error] = std::from_chars(html.data() + (hex ? 2 : 1),
                                              html.data() + html.size(), code, hex ? 16 : 10);
    if (error == std::errc::invalid_argument || end == html.data() + html.size() || *end != ';') {
        return {"&", 0};
    }
    // As browsers read them: no character, a surrogate or beyond Unicode is U+FFFD.
    if (error != std::errc() || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
        code = 0xFFFD;
    }
    std::string character;
    runtime::AppendCodePoint(character, static_cast<char32_t>(code));
    return {character, static_cast<size_t>(end - html.data()) + 1};
}

// Where the tag that starts at the '<' at ends: its '>', or the end of the text.
size_t TagEnd(std::string_view html, size_t at) {
    char quote = 0;
    for (; at < html.size(); ++at) {
        const char c = html[at];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return at;
        }
    }
    return html.size();
}

}  // namespace

std::string HtmlText(std::string_view html) {
    html = Fragment(html);
    std::string text;
    bool space = false;  // a run of spaces waits for the next character of the same line
    const auto end_line = [&](std::string_view with) {
        space = false;
        if (!text.empty() && !text.ends_with('\n')) text += with;
    };
    for (size_t at = 0; at < html.size();) {
        const char c = html[at];
        const bool tag = c == '<' && at + 1 < html.size() &&
                         (std::isalpha(static_cast<unsigned char>(html[at + 1])) ||
                          html[at + 1] == '/' || html[at + 1] == '!');
        if (tag && html.substr(at, 4) == "<!--") {
            const size_t close = html.find("-->", at);
            at = close == html.npos ? html.size() : close + 3;
        } else if (tag) {
            const size_t close = TagEnd(html, at);
            std::string name;
            for (size_t i = at + 1; i < close; ++i) {
                const auto letter = static_cast<unsigned char>(html[i]);
                if (!std::isalnum(letter) && !(i == at + 1 && letter == '/')) break;
                name += static_cast<char>(std::tolower(letter));
            }
            at = close + 1;
            // A paragraph, block, row, list item or heading begins and ends a line, whether
            // its end tag is written or implied by the next one.
            static constexpr std::array kLineTags{"br"sv, "p"sv,  "div"sv, "tr"sv, "li"sv, "h1"sv,
                                                  "h2"sv, "h3"sv, "h4"sv,  "h5"sv, "h6"sv};
            const std::string_view bare = std::string_view(name).substr(name.starts_with('/'));
            if (std::find(kLineTags.begin(), kLineTags.end(), bare) != kLineTags.end()) {
                end_line("\n");
            } else if (name == "/td" || name == "/th") {
                space = !text.empty() && !text.ends_with('\n');
            } else if (name == "head" || name == "style" || name == "script" || name == "title") {
                // Content no one sees, up to its end tag if there is one as it was begun.
                const size_t skipped = html.find("</" + name, at);
                if (skipped != html.npos) at = TagEnd(html, skipped) + 1;
            }
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') {
            space = !text.empty() && !text.ends_with('\n');
            ++at;
        } else {
            if (std::exchange(space, false)) text += ' ';
            if (c == '&') {
                const auto [character, length] = Entity(html.substr(at + 1));
                text += character;
                at += 1 + length;
            } else {
                text += c;
                ++at;
            }
        }
    }
    return text;
}

}  // namespace window
