// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mail notice: an RFC 5322 message (UTF-8, MIME-encoded headers, From
// display name "testです", a read-receipt request, one recipient) piped to the
// sendmail interface, "sendmail -t -i", or to the command named by the
// environment variable QUELVO_SENDMAIL (run through /bin/sh). Failures stay
// silent: the notice is a courtesy and must never disturb the transfer.
#include <ctime>
#include <string>

namespace quelvo {

// The whole message, headers and body, with LF line ends (as sendmail expects
// on its standard input). `sender` is the originator's address.
std::string BuildMailMessage(const std::string& address, const std::string& subject,
                             const std::string& body, const std::string& sender,
                             std::time_t date);

// Sends the notice; always returns 1. An address holding a line break, a blank
// or no "@" is not handed on (it could smuggle in header lines).
int MailSend(const std::string& address, const std::string& subject, const std::string& body);

}  // namespace quelvo
