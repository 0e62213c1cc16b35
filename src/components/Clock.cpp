#include "components/Clock.h"

namespace tarvix {

namespace {
TClock realClock;
TClock* current = nullptr;
}  // namespace

TClock& clock() { return current ? *current : realClock; }

void setClock(TClock* c) { current = c; }

}  // namespace tarvix
