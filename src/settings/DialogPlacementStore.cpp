#include "settings/DialogPlacementStore.h"

#include <QWidget>

#include "settings/DialogPrompts.h"
#include "settings/IniFile.h"
#include "settings/ProgramSettings.h"

namespace quelvo {

std::string SubIniPath(const std::string& programFolder) { return programFolder + "/Sub.ini"; }

void PlaceDialogFromSubIni(QWidget& dialog, const std::string& programFolder) {
  const DialogPlacement placement = LoadDialogPlacement(IniFile(SubIniPath(programFolder)));
  dialog.move(placement.left, placement.top);
}

bool StoreDialogPlacement(QWidget& dialog, const std::string& programFolder,
                          const DialogPrompts& prompts) {
  IniFile subIni(SubIniPath(programFolder));
  DialogPlacement placement;
  placement.left = dialog.x();
  placement.top = dialog.y();
  if (SaveDialogPlacement(subIni, placement)) return true;
  prompts.warn(&dialog, dialog.windowTitle(), QString::fromStdString(subIni.WriteError()));
  return false;
}

}  // namespace quelvo
