#pragma once

namespace tarvix {

// Registers the compiled-in pictures and icons; the composition root calls it
// before the first window is built, tests that load pictures call it first.
void initResources();

}  // namespace tarvix
