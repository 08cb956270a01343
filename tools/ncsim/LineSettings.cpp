// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineSettings.h"

#include <termios.h>

#include "LineSpeed.h"

namespace quelvo::ncsim {

namespace {

long BaudOf(speed_t speed) {
    switch (speed) {
        case B1200: return 1200;
        case B1800: return 1800;
        case B2400: return 2400;
        case B4800: return 4800;
        case B9600: return 9600;
        case B19200: return 19200;
        case B38400: return 38400;
        case B57600: return 57600;
        case B115200: return 115200;
        default: return -1;  // a speed termios does not name
    }
}

int BitsOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5: return 5;
        case CS6: return 6;
        case CS7: return 7;
        default: return 8;
    }
}

}  // namespace

std::string LineSettingsText(int masterFd) {
    termios t {};
    if (tcgetattr(masterFd, &t) != 0) return std::string();
    const char* parity = (t.c_cflag & PARENB) == 0 ? "none" : (t.c_cflag & PARODD) != 0 ? "odd" : "even";
    return "baud=" + std::to_string(BaudOf(cfgetospeed(&t))) + " bits=" + std::to_string(BitsOf(t.c_cflag))
           + " parity=" + parity + " stop=" + ((t.c_cflag & CSTOPB) != 0 ? "2" : "1");
}

bool OpenerFormat(int masterFd, UartFormat& format) {
    termios t {};
    if (tcgetattr(masterFd, &t) != 0) return false;
    format.baud = ReadLineSpeed(masterFd);
    if (format.baud <= 0) format.baud = BaudOf(cfgetospeed(&t));
    if (format.baud <= 0) return false;
    format.dataBits = BitsOf(t.c_cflag);
    format.parity = (t.c_cflag & PARENB) == 0 ? 'N' : (t.c_cflag & PARODD) != 0 ? 'O' : 'E';
    format.stopBits = (t.c_cflag & CSTOPB) != 0 ? 2 : 1;
    return true;
}

}  // namespace quelvo::ncsim
