// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where Quelvo keeps its files: the folder of the running executable, or
// $XDG_CONFIG_HOME/quelvo when that folder is not writable or is the folder the
// programs are installed into; QUELVO_HOME overrides both. The base name is the executable's file name without extension
// (quelvo -> quelvo.INI, quelvo_S.log, quelvo_R.log, quelvo.tmp).
#include <string>

namespace quelvo {

// Absolute path of the running program, read once when the program starts,
// so a program file replaced or deleted meanwhile changes no name.
std::string ExecutablePath();
std::string ProgramBaseName();         // file name without directory and extension
std::string ProgramFolder();           // no trailing "/"
std::string ProgramFilePath(const std::string& suffix);  // folder + "/" + base + suffix
std::string ProgramFolderFile(const std::string& name);  // folder + "/" + name
std::string HomeFolder();              // $HOME, or the password entry's home

// The program file named by a link text of /proc/self/exe: the kernel marks a
// deleted or replaced file with " (deleted)", which is not part of its name.
std::string ExecutablePathFromLink(const std::string& linkText);
// The base name of a program file: its name without folder and extension.
std::string BaseNameOfExecutable(const std::string& executablePath);

// A second program that works on another program's files (quelvo-cli on
// quelvo's): from now on the base name is `baseName`, and the executable's folder
// is the program folder only when a file of that name stands in it (the
// installed or built program beside this one); otherwise the XDG rule applies.
// QUELVO_HOME overrides as always. An empty name returns to the program's own files.
void UseFilesOfProgram(const std::string& baseName);

// The folder an installed Quelvo's programs live in (the build's install bindir).
std::string InstalledProgramsFolder();

// The folder choice itself, given its inputs (empty texts = not set): QUELVO_HOME
// if set (created when missing), else the executable's folder when writable and
// not the same folder as installedFolder, else $XDG_CONFIG_HOME/quelvo or
// <home>/.config/quelvo (created when missing). An installed program must not
// write beside itself even when it can, as root can write /usr/bin.
std::string ResolveProgramFolder(const std::string& executableFolder, const std::string& quelvoHome,
                                 const std::string& xdgConfigHome, const std::string& home,
                                 const std::string& installedFolder = std::string());

}  // namespace quelvo
