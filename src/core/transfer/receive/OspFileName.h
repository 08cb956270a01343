// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file name an OSP control receives in the header of a send: the
// document's file name without its folder, in upper case, with the extension
// .MIN unless it already has one the control knows (.MIN, .SUB, .SDF, .RBT,
// .SSB, .RPD). part1.nc gives PART1.MIN; sub1.ssb gives SUB1.SSB.
#include <string>

namespace quelvo {

std::string OspFileName(const std::string& fileName);

}  // namespace quelvo
