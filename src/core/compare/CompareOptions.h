// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What two NC programs may differ in and still count as the same. Only the
// first option is on by default; each one is a check box of the compare
// window and an option of `quelvo-cli compare`.
namespace quelvo {

struct CompareOptions {
  bool ignoreBlanks = true;            // spaces and tabs inside a block, and empty lines
  bool ignoreSequenceNumbers = false;  // N words ("N100")
  bool numbersByValue = false;         // X10. = X10.0 = X10.000, X.5 = X0.5, x10 = X10
  // With numbersByValue: a number of a length or angle address written without
  // a decimal point is in the least input increment (X10 = X0.01 mm, or
  // X0.001 inch after G20), as the control reads it; off, X10 = X10.
  bool pointlessInIncrement = false;
  bool ignoreComments = false;  // "( ... )" and everything after ';'
  // Lines of only "%", blanks or tape feed at the start and the end of a program.
  bool ignoreFrame = false;
};

}  // namespace quelvo
