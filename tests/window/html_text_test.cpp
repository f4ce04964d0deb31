#include "window/html_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "window/converter_logic.h"

namespace {

// Windows' "HTML Format": the header's byte offsets point at the document and at the fragment.
std::string WindowsHtml(std::string_view before, std::string_view fragment,
                        std::string_view after) {
    const auto number = [](size_t value) {
        std::string digits = std::to_string(value);
        return std::string(10 - digits.size(), '0') + digits;
    };
    const size_t header = std::string_view(
                              "Version:0.9\r\nStartHTML:\r\nEndHTML:\r\n"
                              "StartFragment:\r\nEndFragment:\r\n")
                              .size() +
                          4 * 10;
    const size_t start = header + before.size(), end = start + fragment.size();
    return "Version:0.9\r\nStartHTML:" + number(header) +
           "\r\nEndHTML:" + number(end + after.size()) + "\r\nStartFragment:" + number(start) +
           "\r\nEndFragment:" + number(end) + "\r\n" + std::string(before) + std::string(fragment) +
           std::string(after);
}

// What a paste or a drop of HTML alone puts into a field: the first line of its text.
TEST(HtmlText, GivesTheFirstLineAsABrowserShowsIt) {
    const std::pair<std::string, std::string_view> cases[] = {
        {WindowsHtml("<html><body><p>x</p><!--StartFragment-->", "<b>8</b>,65",
                     "<!--EndFragment--></body></html>"),
         "8,65"},
        {"Version:0.9\r\nStartFragment:999\r\nEndFragment:1000\r\n<b>7</b>", "7"},  // bad offsets
        {"&minus;10&nbsp;&#8722;1&#x2212;2&ndash;5&thinsp;3",
         "\u221210\u00A0\u22121\u22122\u20135\u20093"},
        {"a &lt;b&gt; &amp; &quot;c&quot; &#39;d&apos; 2 < 3", "a <b> & \"c\" 'd' 2 < 3"},
        {"&bogus; &#0; &#xD800; &#99999999; &#; & 5 &", "&bogus; \uFFFD \uFFFD \uFFFD &#; & 5 &"},
        {"\r\n <DIV>\r\n  9,1 <span>x</span></div>\n<div>2</div>", "9,1 x"},
        {"<p><b>8,6<i>5</i></b><br>x</p>", "8,65"},
        {"<br/>12<BR>", "12"},
        {"<p>5<p>X", "5"},  // the second paragraph ends the first
        {"<table><tr><td>12</td><td>5</td></tr><tr><td>3", "12 5"},
        {"<head><title>T</title><style>p{}</style></head><!-- 4 -->3<script>5</script>", "3"},
        {"<a title=\"x>y\">4</a>", "4"},
        {"<img src=x.png>", ""},
    };
    for (const auto& [html, line] : cases) {
        EXPECT_EQ(window::FirstLine(window::HtmlText(html)), line) << html;
    }
}

}  // namespace
