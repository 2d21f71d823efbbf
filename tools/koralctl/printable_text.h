// What koralctl prints of text that came from the unit or the network: anyone
// who can send a datagram chooses those bytes, so none of them may reach the
// terminal as a control character or split a line.
#pragma once

#include <string>
#include <string_view>

namespace koralctl {

// `bytes` with every byte visible: 0x20..0x7E as themselves except the
// backslash, which becomes "\\", and every other byte as "\xHH" (upper-case hex).
std::string PrintableText(std::string_view bytes);

}  // namespace koralctl
