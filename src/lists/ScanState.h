#pragma once
// What the lists windows ask about the main window's scan before they change
// the server list; the main window answers.

namespace tarvix {

class ScanState {
 public:
  virtual ~ScanState() = default;
  // A scan pass is running.
  virtual bool scanRunning() const = 0;
  // The automatic scan's timer is running.
  virtual bool autoScanRunning() const = 0;
};

}  // namespace tarvix
