// File commands of the main window: new, open, save, recent files, split save,
// user-defined file types.
#include <QAction>

#include "app/Mainform.h"

namespace quelvo {

// Not done yet: clearing the document waits for the file work (new document).
void TForm1::open1Click() {}
// Not done yet: the preview open dialog and loading wait for the file work.
void TForm1::FileOpenClick() {}
// Not done yet: saving waits for the file work.
void TForm1::FileSaveClick() {}
// Not done yet: saving under a new name waits for the file work.
void TForm1::FileSaveAsClick() {}
// Not done yet: split save by program number waits for the split-save work.
void TForm1::opSaveClick() {}
// Not done yet: opening a recent file waits for the file work.
void TForm1::MenuFile0Click(int /*index*/) {}
// Not done yet: the user-defined file types dialog waits for the file-type work.
void TForm1::User_opClick() {}
// Not done yet: the preview switch of the open dialog waits for the file work.
void TForm1::view_opClick() {}

// Closing goes through FormCloseQuery, which protects unsaved changes.
void TForm1::FileExit1Click() { close(); }

void TForm1::ShowRecentFiles() {
  for (size_t i = 0; i < Menus.MenuFile.size(); ++i) {
    const std::string& path = Settings.recentFiles[i];
    QAction* item = Menus.MenuFile[i];
    item->setText(QString("&%1 ").arg(i + 1) + QString::fromStdString(path));
    item->setVisible(!path.empty());
  }
  Menus.RecentSeparator->setVisible(!Settings.recentFiles[0].empty());
}

}  // namespace quelvo
