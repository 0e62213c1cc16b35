#pragma once
// Reads one line (a password) from a descriptor such as standard input,
// without echo when it is a terminal, and gives up at once on a stop request.
#include <string>

namespace tarvix {

class StopSignal;

enum class SecretLineRead { Line, End, Stopped };

// Reads up to the first line break, which it drops with a CR before it. End: the
// input ended, or could not be read, before a line break; `line` holds what
// came. The terminal's echo comes back as it was, however the read ends.
SecretLineRead readSecretLine(int fd, const StopSignal& stop, std::string& line);

}  // namespace tarvix
