// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed character sequences a send frames its data with, by the values of
// the send half of the active setting: the line end, the tape feed, the start
// sequence before the first line and the end sequence after the last. The
// engine writes them one character at a time through the byte writer, which
// encodes them (CR, for one, is not sent in EIA).
#include <cstdint>
#include <string>

namespace quelvo {

// The line end by CRLF_Type: 0 LF, 1 CR LF, 2 CR LF LF, 3 CR; any other value
// sends nothing.
std::string LineEndSequence(int CRLF_Type);

// Tape feed: 20, 40 or 60 spaces for Feed 1 to 3, only to a tape punch
// (Speed 5); otherwise none.
std::string FeedSpaces(int Speed, int Feed);

// What goes out before the first data line: an optional pause, then the
// characters. StartChar 0 nothing; 1 "%"; 2 "%%"; 3 "% *"; 4 200 spaces and the
// line end; 5 a pause of 1000 ms and the line end; 6 200 spaces and "%"; 7 a
// pause of 1000 ms and "%"; 8 "12345", LF, "%". No line end follows 1, 2, 3, 6,
// 7 and 8: the first line follows at once.
struct StartSequence {
  int pauseMs = 0;
  std::string text;
};
StartSequence StartSequenceFor(int StartChar, int CRLF_Type);

// What goes out after the last data line. EndChar 0: line end and "%"; 1: a
// tape punch (Speed 5) gets the line end and "%", a control DC4 alone; 2: line
// end and "%%"; any other value nothing.
std::string EndSequenceFor(int EndChar, int Speed, int CRLF_Type);

// Characters between handshake checks for the Chk Count index: 0-8 give 10 to
// 50 in steps of 5, 9-13 60 to 100, 14-18 120 to 200, 19-24 250 to 500, 25-29
// 600 to 1000. Any other index keeps `current`.
int32_t CheckIntervalFor(int ChkCount, int32_t current);

}  // namespace quelvo
