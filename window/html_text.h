#pragma once

#include <string>
#include <string_view>

namespace window {

// The text of HTML that a clipboard or a drop offers without plain text, as a browser shows it:
// tags left out, with the contents of head, style, script and title; the common entities decoded;
// runs of spaces and line breaks as one space, none at a line's ends; <br> and the start and end
// of a paragraph, block, table row, list item or heading as a line end, "\n"; table cells apart
// by a space.
// Windows' "HTML Format" begins with a header of byte offsets: then only the fragment it marks
// counts, or all after the header where the offsets are no good. UTF-8 in and out.
std::string HtmlText(std::string_view html);

}  // namespace window
