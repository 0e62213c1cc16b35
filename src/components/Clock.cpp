#include "components/Clock.h"

namespace tarvix {

namespace {
Clock realClock;
Clock* current = nullptr;
}  // namespace

Clock& clock() { return current ? *current : realClock; }

void setClock(Clock* c) { current = c; }

}  // namespace tarvix
