#pragma once
// The history recorder of a headless run: none with --no-history or when
// tarvix.ini turns recording off. A file that cannot be used is reported
// once on `err`; the run goes on without it.
#include <memory>
#include <ostream>

#include "store/HistoryRecorder.h"

namespace tarvix {

std::unique_ptr<HistoryRecorder> headlessHistory(bool wanted, std::ostream& err);

}  // namespace tarvix
