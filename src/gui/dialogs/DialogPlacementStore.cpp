// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/DialogPlacementStore.h"

#include <QRect>
#include <QWidget>

#include "core/settings/IniFile.h"
#include "core/settings/ProgramSettings.h"
#include "gui/dialogs/DialogPrompts.h"

namespace quelvo {

namespace {

std::string SubIniIn(const std::string& programFolder) { return programFolder + "/Sub.ini"; }

}  // namespace

// Left and Top are the position of the dialog's inside, without the window
// manager's frame: the frame's size is known only some time after the window
// is mapped, so a frame position read back at the close would differ from the
// one set at the opening and the dialog would creep a little with each showing.
void PlaceDialogFromSubIni(QWidget& dialog, const std::string& programFolder) {
  const DialogPlacement placement = LoadDialogPlacement(IniFile(SubIniIn(programFolder)));
  dialog.setGeometry(QRect(QPoint(placement.left, placement.top), dialog.size()));
}

bool StoreDialogPlacement(QWidget& dialog, const std::string& programFolder,
                          const DialogPrompts& prompts) {
  IniFile subIni(SubIniIn(programFolder));
  DialogPlacement placement;
  placement.left = dialog.geometry().x();
  placement.top = dialog.geometry().y();
  if (SaveDialogPlacement(subIni, placement)) return true;
  prompts.warn(&dialog, dialog.windowTitle(), QString::fromStdString(subIni.WriteError()));
  return false;
}

}  // namespace quelvo
