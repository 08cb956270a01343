// The command line and the automatic transfers it can request.
#include "app/Mainform.h"

namespace quelvo {

// Not done yet: reading the arguments waits for the command-line work.
void TForm1::ProcessCommandLine() {}
// Not done yet: set by the command-line work when the arguments ask for a transfer.
bool TForm1::AutomaticTransferRequested() const { return false; }
// Not done yet: the automatic send or receive waits for the command-line work.
void TForm1::Timer3Timer() {}

}  // namespace quelvo
