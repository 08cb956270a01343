// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transfer widgets of the main window as TransferStatusTexts drives them:
// the transfer status bar StatusBar2 with its progress bar, the program line
// Label2, the DSR/CTS indicators LabeledEdit1/2, the transfer panel Panel2 and
// the window title. The window implements it over its widgets; tests record
// the calls.
#include <cstdint>
#include <string>

namespace quelvo {

class TransferView {
 public:
  virtual ~TransferView() = default;

  // Panel `index` (1..6) of StatusBar2; panel 0 holds the progress bar.
  virtual void SetStatusPanel(int index, const std::string& text) = 0;
  // Redraws StatusBar2 at once.
  virtual void RepaintStatus() = 0;
  virtual void SetProgressRange(int64_t maximum) = 0;  // range 0..maximum
  virtual void SetProgressPosition(int64_t position) = 0;
  virtual void SetLabel2(const std::string& text) = 0;
  // DSR: font blue when on, red when off (text stays " ●").
  virtual void SetDsrIndicator(bool on) = 0;
  // CTS: text " ●" when on, " ○" when off.
  virtual void SetCtsIndicator(bool on) = 0;
  // Shows or hides LabeledEdit1, LabeledEdit2 and Panel2.
  virtual void ShowTransferPanel(bool visible) = 0;
  virtual void SetTitle(const std::string& title) = 0;
};

}  // namespace quelvo
