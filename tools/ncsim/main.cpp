// SPDX-License-Identifier: GPL-3.0-or-later
// ncsim: a simulated NC control on a pseudo-terminal, for trying transfers
// without a machine. See SimUsageText() for the options and report lines.

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "LineBank.h"
#include "NcMachine.h"
#include "PunchTape.h"
#include "Reporter.h"
#include "SimOptions.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnStopSignal(int) { g_stop = 1; }

void InstallSignals() {
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: a blocking poll returns and the loop ends
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quelvo::ncsim;
    SimOptions options;
    std::string error;
    std::string program = argc > 0 ? argv[0] : "quelvo-ncsim";
    program.erase(0, program.rfind('/') + 1);
    if (!ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << program << ": " << error << "\n\n" << SimUsageText(program);
        return 2;
    }
    if (options.help) {
        std::cout << SimUsageText(program);
        return 0;
    }

    if (!options.linesFile.empty()) {
        InstallSignals();
        return RunLineBank(std::vector<std::string>(argv + 1, argv + argc), g_stop);
    }

    std::vector<PunchTape> punches;
    if (!LoadPunchTapes(options.punchFiles, options.punchCodeSet ? options.punchCode : options.code, punches,
                        error)) {
        std::cerr << "ncsim: " << error << "\n";
        return 1;
    }

    Reporter reporter;
    if (!options.reportFile.empty() && !reporter.OpenFile(options.reportFile, error)) {
        std::cerr << "ncsim: " << error << "\n";
        return 1;
    }
    InstallSignals();
    NcMachine machine(options, std::move(punches), reporter);
    return machine.Run(g_stop);
}
