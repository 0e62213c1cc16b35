#include "app/Resources.h"

#include <QtGlobal>

// Resources compiled into a static library must be registered explicitly.
static void registerAssets() { Q_INIT_RESOURCE(assets); }

namespace tarvix {
void initResources() { registerAssets(); }
}  // namespace tarvix
