// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The controls of the communication settings dialog, page by page, each tied
// to its field of CommSetting: the lists (whose items come from the setting's
// field table), the two port lists, the wait time and the send option texts.
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"
#include "core/settings/InputFilter.h"
#include "core/settings/TapeDeviceRule.h"

namespace quelvo {

enum class SetdataPage { Receive = 0, Send = 1, SendOptions = 2 };

extern const char* const kSetdataPageTitles[3];

enum class SetdataRowKind {
  List,      // a list of the field's items; the selected position is the value
  PortList,  // the ports present now; the selected item's text is the value
  WaitTime,  // a whole number typed in (InvTime)
};

struct SetdataRow {
  SetdataPage page;
  const char* component;  // "receiveSpeed", "waitTime", ...
  const char* label;
  SetdataRowKind kind;
  int CommSetting::*intMember;           // List and WaitTime rows
  std::string CommSetting::*textMember;  // PortList rows
  bool editable;                         // the list also takes typed text
  bool hidden;                           // kept and stored, never shown
  TapeRole tapeRole;
};

// The rows of the receive and send pages, in the order they stand.
const std::vector<SetdataRow>& SetdataRows();

// The speed list of a page, whose choice drives the tape device rules.
int CommSetting::*SpeedMemberOf(SetdataPage page);

struct SetdataText {
  const char* component;  // "skippedText" .. "mailSubject"
  const char* label;
  std::string CommSetting::*member;
  InputFilter filter;
  bool upperCase;
  int maxLength;          // 0: no limit
  bool enterNeedsText;    // Enter is dropped while the field is empty
  bool disabledWhenEmpty; // disabled on showing when the stored text is empty
};

// The fields of the send options page, in order.
const std::vector<SetdataText>& SetdataTexts();

// The list position to show for a stored value: the value itself when it is a
// position of the list, otherwise -1 (nothing selected).
int ListPositionFor(int value, int itemCount);

// The value to store for a list showing `position`: the position, or the value
// stored before when nothing is selected (a value outside the list stays as it
// was instead of turning into -1).
int ValueForListPosition(int position, int storedValue);

// Names of setting 6 and 12 (the OSP settings) cannot be edited.
bool SettingNameLocked(int setNo);

// Test mail: the address must be non-empty and hold "@".
bool TestMailAddressUsable(const std::string& address);
// Body of the test mail sent at `dateTimeText`.
std::string TestMailBody(const std::string& dateTimeText);

}  // namespace quelvo
