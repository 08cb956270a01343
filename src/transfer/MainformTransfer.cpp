// Send, receive, stop and the communication log as the main window reaches them.
#include <QApplication>
#include <QKeyEvent>

#include "app/Mainform.h"
#include "app/ScreenSaver.h"

namespace quelvo {

// Not done yet: receiving waits for the receive work.
void TForm1::SpeedButton9Click() {}
// Not done yet: sending (tag 1) and repeat sending (tag 2) wait for the send work.
void TForm1::SpeedButton10Click(int /*tag*/) {}
// Not done yet: viewing the send (1) or receive (2) log and ending the view (3)
// wait for the transfer log work.
void TForm1::Menu_sendClick(int /*tag*/) {}
// Not done yet: restoring the editing state after a transfer waits for the transfer log work.
void TForm1::Timer1Timer() {}
// Not done yet: the remaining-time display waits for the send work.
void TForm1::Timer2Timer() {}

// "中止": an Esc press, which the running transfer takes as the user's stop,
// and the screen saver back on (a transfer switches it off).
void TForm1::SpeedButton13Click() {
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) target = this;
  QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  ScreenSaverOn();
}

}  // namespace quelvo
