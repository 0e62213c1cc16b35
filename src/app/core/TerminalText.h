#pragma once
// Bytes in the data's code page (server text, file lines, messages quoting
// them) as a terminal should receive them: UTF-8, with every control
// character written \xHH so that nothing in the text can move the cursor,
// start an escape sequence or split a line.
#include <string>
#include <string_view>

namespace tarvix {

// C0 controls, DEL and the C1 controls (the code page's five undefined bytes,
// which stand for U+0081, U+008D, ...) become \xHH of their byte; every other
// byte becomes its code page character in UTF-8.
std::string terminalText(std::string_view codePageBytes);

}  // namespace tarvix
