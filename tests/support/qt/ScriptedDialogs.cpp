#include "support/qt/ScriptedDialogs.h"
