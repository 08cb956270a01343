// Find, printing, desktop integration and help commands of the main window.
#include "app/Mainform.h"

namespace quelvo {

// Not done yet: the find dialog waits for the find work.
void TForm1::FindDoClick() {}
// Not done yet: finding the next match waits for the find work.
void TForm1::FindNextClick() {}
// Not done yet: printer set-up waits for the printing work.
void TForm1::FilePageClick() {}
// Not done yet: printing waits for the printing work.
void TForm1::FilePrintClick() {}
// Not done yet: the desktop shortcut waits for the shell integration work.
void TForm1::DeskTop_setClick() {}
// Not done yet: the "Open With" entry waits for the shell integration work.
void TForm1::SendTo_setClick() {}
// Not done yet: the home page address waits for the help work.
void TForm1::Menu_hpClick() {}
// Not done yet: the mail address waits for the help work.
void TForm1::Menu_addClick() {}
// Not done yet: the version box waits for the help work.
void TForm1::Menu_verClick() {}

}  // namespace quelvo
