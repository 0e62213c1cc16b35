#pragma once
// The answer a GameSpy master expects to its challenge: the challenge bytes
// run through an RC4-like cipher keyed with the game's secret key, then base64.
#include <string>
#include <string_view>

namespace tarvix {

// The secret key of a game name ("mohaa", "mohaas", "mohaab"); empty for
// any other name.
std::string_view gameSecretKey(std::string_view gameName);

// The validate text for `challenge` under `secretKey`: base64 of as many
// bytes as the challenge has (8 characters for a 6-byte challenge).
std::string gameSpyValidate(std::string_view secretKey, std::string_view challenge);

}  // namespace tarvix
