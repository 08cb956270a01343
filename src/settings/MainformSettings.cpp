// Communication setting selection and the settings and options dialogs, as the
// main window reaches them.
#include <QAction>

#include "app/Mainform.h"

namespace quelvo {

// The "通信設定" items are captioned with the names of the settings their tags number.
void TForm1::UpdateSettingCaptions() {
  for (QAction* item : Menus.SetItems) {
    const int setNo = item->data().toInt();
    item->setText(QString::fromStdString(Settings.setNames.at(static_cast<size_t>(setNo))));
  }
}

// Not done yet: switching the active setting waits for the communication settings work.
void TForm1::Set1Click(int /*tag*/) {}
// Not done yet: loading setting SetNo waits for the communication settings work.
void TForm1::LoadActiveCommSetting() {}
// Not done yet: the options dialog waits for the dialogs work; afterwards the size
// panel is refreshed through FormatFileSize(Document.LastFileSize) when it is above 0.
void TForm1::setting_opClick() {}
// Not done yet: the communication settings dialog waits for the dialogs work.
void TForm1::SpeedButton11Click() {}

}  // namespace quelvo
