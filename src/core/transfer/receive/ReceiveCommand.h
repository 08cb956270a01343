// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the receive command puts the data, and the lines it starts the
// communication log with. Standard mode: the user names the target file.
// OSP mode (settings 6 and 12): the user picks a folder, the data is received
// into "osp_data.tmp" there, and the control supplies the file name.
#include <string>

#include "core/transfer/CommLog.h"

namespace quelvo {

inline constexpr const char* kOspTempFileName = "osp_data.tmp";
// Title of the save dialog that asks for the target file (the one that asks to
// save the document first is kSaveDialogTitle of document/FileTexts.h).
inline constexpr const char* kReceiveDataDialogTitle = "受信データ名";

struct ReceiveTarget {
  std::string TransferFileName;  // the file the engine fills
  std::string DirPath;           // the folder for a file named by the control
};

// OSP mode: "osp_data.tmp" in `folder`; DirPath is `folder` without a
// trailing "/" (the root stays "/").
ReceiveTarget OspReceiveTarget(const std::string& folder);

// Caption of the OSP folder dialog: "現ﾃﾞｨﾚｸﾄﾘ " + DirPath.
std::string OspFolderCaption(const std::string& dirPath);

// Starts the log anew for a reception into the chosen file.
void StartStandardReceiveLog(CommLog& log, const std::string& fileName);
// Starts the log anew for an OSP reception into `dirPath`.
void StartOspReceiveLog(CommLog& log, const std::string& dirPath);

}  // namespace quelvo
