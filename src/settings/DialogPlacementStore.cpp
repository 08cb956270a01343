#include "settings/DialogPlacementStore.h"

#include <QWidget>

#include "settings/DialogPrompts.h"
#include "settings/IniFile.h"
#include "settings/ProgramSettings.h"

namespace quelvo {

namespace {

std::string SubIniIn(const std::string& programFolder) { return programFolder + "/Sub.ini"; }

}  // namespace

void PlaceDialogFromSubIni(QWidget& dialog, const std::string& programFolder) {
  const DialogPlacement placement = LoadDialogPlacement(IniFile(SubIniIn(programFolder)));
  dialog.move(placement.left, placement.top);
}

bool StoreDialogPlacement(QWidget& dialog, const std::string& programFolder,
                          const DialogPrompts& prompts) {
  IniFile subIni(SubIniIn(programFolder));
  DialogPlacement placement;
  placement.left = dialog.x();
  placement.top = dialog.y();
  if (SaveDialogPlacement(subIni, placement)) return true;
  prompts.warn(&dialog, dialog.windowTitle(), QString::fromStdString(subIni.WriteError()));
  return false;
}

}  // namespace quelvo
