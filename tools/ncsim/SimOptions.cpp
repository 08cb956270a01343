// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace quelvo::ncsim {

namespace {

bool ParseLong(const std::string& text, long min, long max, long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < min || v > max) return false;
    value = v;
    return true;
}

// Seconds, possibly with a fraction ("2", "0.5"), into milliseconds.
bool ParseSeconds(const std::string& text, int& ms) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < 0 || v > 86400) return false;
    ms = static_cast<int>(std::lround(v * 1000));
    return true;
}

bool ParseCode(const std::string& text, TapeCode& code) {
    if (text == "iso") code = TapeCode::Iso;
    else if (text == "eia") code = TapeCode::Eia;
    else if (text == "ascii") code = TapeCode::Ascii;
    else if (text == "auto") code = TapeCode::Auto;
    else return false;
    return true;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--once") {
            options.once = true;
            continue;
        }
        if (name == "--cycle") {
            options.cycle = true;
            continue;
        }
        if (name == "--report-line") {
            options.reportLine = true;
            continue;
        }
        if (name == "--garble") {
            options.garble = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unknown argument " + name;
            return false;
        }
        const std::string& value = args[++i];
        long number = 0;
        bool ok = true;
        if (name == "--link") {
            options.linkPath = value;
        } else if (name == "--code") {
            ok = ParseCode(value, options.code);
        } else if (name == "--punch-code") {
            ok = ParseCode(value, options.punchCode);
            options.punchCodeSet = true;
        } else if (name == "--buffer") {
            ok = ParseLong(value, 1, 1L << 24, number);
            options.bufferSize = static_cast<int>(number);
        } else if (name == "--pause") {
            ok = ParseLong(value, 0, 255, number) && (number == 0x93 || number == 0x13);
            options.pauseCode = static_cast<std::uint8_t>(number);
        } else if (name == "--baud") {
            ok = ParseLong(value, 0, 4000000, number) && (number == 0 || number >= 50);
            options.baud = static_cast<int>(number);
        } else if (name == "--process-ms") {
            ok = ParseLong(value, 0, 600000, number);
            options.processMs = static_cast<int>(number);
        } else if (name == "--invite-ms") {
            ok = ParseLong(value, 10, 600000, number);
            options.inviteMs = static_cast<int>(number);
        } else if (name == "--punch") {
            if (options.punchFile.empty()) options.punchFile = value;
            options.punchFiles.push_back(value);
        } else if (name == "--punch-after") {
            ok = ParseSeconds(value, options.punchAfterMs);
        } else if (name == "--drop-after") {
            ok = ParseLong(value, 1, 0x7FFFFFFFL, number);
            options.dropAfter = number;
        } else if (name == "--stop") {
            ok = ParseLong(value, 1, 2, number);
            options.stopBits = static_cast<int>(number);
        } else if (name == "--out") {
            options.outFile = value;
        } else if (name == "--report") {
            options.reportFile = value;
        } else if (name == "--lines") {
            options.linesFile = value;
        } else {
            error = "unknown option " + name;
            return false;
        }
        if (!ok) {
            error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    if (!options.help && options.linkPath.empty() && options.linesFile.empty()) {
        error = "--link PATH is required";
        return false;
    }
    return true;
}

std::string SimUsageText(const std::string& program) {
    return
        "usage: " + program + " --link PATH [options]\n"
        "       " + program + " --lines FILE [options]\n"
        "\n"
        "Plays an NC control on a pseudo-terminal. The slave side is published as the\n"
        "symlink PATH; open it as the serial port. Each time the port is opened the\n"
        "control invites a send with DC1, takes the program paced by DC3/DC1, and\n"
        "stores it as text. With --punch it sends a program instead when nothing\n"
        "arrives in time.\n"
        "\n"
        "  --link PATH          symlink to create for the slave device (required)\n"
        "  --code CODE          iso, eia, ascii, or auto (ISO/EIA by parity of the\n"
        "                       first data byte; punches in ISO)      [iso]\n"
        "  --punch-code CODE    punch in another code than --code takes in, as a\n"
        "                       control whose two directions differ     [--code]\n"
        "  --buffer N           bytes taken before the control sends DC3  [256]\n"
        "  --pause CODE         DC3 byte to send: 0x93 or 0x13          [0x93]\n"
        "  --baud N             line speed to emulate, 10 bits per character (data\n"
        "                       waits in the pseudo-terminal meanwhile);\n"
        "                       0 for no limit                          [9600]\n"
        "  --process-ms N       time to process a full buffer before DC1 [200]\n"
        "  --invite-ms N        interval between DC1 invitations         [1000]\n"
        "  --punch FILE         program text to punch back (framed by \"%\" lines);\n"
        "                       repeat it for several programs (with --cycle)\n"
        "  --punch-after SECS   punch when no data came this long after open [5]\n"
        "  --drop-after BYTES   hang up the line after this many bytes of a transfer\n"
        "  --out FILE           write each received program, decoded, to FILE\n"
        "                       (replaced by every transfer)\n"
        "  --report FILE        append the report lines to FILE as well as stdout\n"
        "  --once               exit after one transfer\n"
        "  --cycle              keep the port open for many transfers, as a shop\n"
        "                       service does: punch each --punch FILE in turn (the\n"
        "                       first --punch-after SECS after the open, each next\n"
        "                       that long after the receiver's DC4; no invitations\n"
        "                       meanwhile), then invite with DC1 every --invite-ms;\n"
        "                       each program received (from its first \"%\", or the\n"
        "                       \"$\" of a file-name header, to the next \"%\") goes\n"
        "                       to --out with \".N\" appended, N from 1\n"
        "  --report-line        report the line settings the opener set (speed, data\n"
        "                       bits, parity, stop bits) at open and on every change\n"
        "  --garble             behave as a real line when the opener's settings\n"
        "                       differ from the control's (--baud, 8 data bits for\n"
        "                       iso/eia or 7 for ascii, no parity, --stop): what it\n"
        "                       sends arrives as the opener's UART would sample it\n"
        "                       (a pseudo-terminal keeps 8 data bits and no parity\n"
        "                       whatever the opener asks, so only speed and stop\n"
        "                       bits of the opener are seen)\n"
        "  --stop N             the control's stop bits, 1 or 2 (with --garble) [2]\n"
        "  --lines FILE         play many controls in one process, one per line of\n"
        "                       FILE: each line holds that control's options (words\n"
        "                       split at spaces, no quoting; empty lines and lines\n"
        "                       starting with # are skipped), after the options of\n"
        "                       the command line, which all controls share. Each\n"
        "                       control reports only to its own --report FILE;\n"
        "                       stdout says \"ready lines=N\" once all are published.\n"
        "                       One poll loop serves them all and looks at each line\n"
        "                       at most every 5 ms (characters pass in bursts of\n"
        "                       10 ms of line time, as from a UART's FIFO)\n"
        "  --help               show this text\n"
        "\n"
        "Report lines (stdout), one event per line, words KEY=VALUE:\n"
        "  ready link=PATH slave=DEVICE     the port is published (again after\n"
        "                                   every close: each opening gets a fresh pair)\n"
        "  open                             someone opened the port\n"
        "  invite n=K                       DC1 invitation number K sent\n"
        "  data code=CODE                   first data byte; the code in use\n"
        "  dc3 n=K received=B queued=Q      buffer full, pause code sent; Q bytes\n"
        "                                   were waiting in the line at that moment\n"
        "  dc1 n=K after=A                  the sender wrote A bytes after DC3\n"
        "                                   number K; DC1 sent\n"
        "  punch start bytes=B / punch done bytes=B\n"
        "  program n=N chars=C file=PATH    with --cycle: program N received and saved\n"
        "  hold punched=B / resume punched=B  the other side paused / resumed the\n"
        "                                   punch after B bytes\n"
        "  dc4                              the other side sent DC4\n"
        "  drop bytes=B                     the line was hung up on purpose\n"
        "  end received=B chars=C lines=L parity_errors=P undecoded=U unpaced=N code=CODE\n"
        "      reason=R                     N of the B bytes were left in the line at\n"
        "                                   a hang-up and taken without pauses\n"
        "  end punched=B reason=R           a transfer is over; R is hangup, dc4,\n"
        "                                   drop or stopped\n"
        "  close                            the port was closed\n";
}

}  // namespace quelvo::ncsim
