// SPDX-License-Identifier: GPL-3.0-or-later
// ncsim: a simulated NC control on a pseudo-terminal, for trying transfers
// without a machine. See SimUsageText() for the options and report lines.

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

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

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad();
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

    std::vector<PunchTape> punches;
    for (const std::string& file : options.punchFiles) {
        std::string text;
        if (!ReadWholeFile(file, text)) {
            std::cerr << "ncsim: cannot read " << file << "\n";
            return 1;
        }
        punches.push_back(BuildPunchTape(text, options.punchCodeSet ? options.punchCode : options.code));
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
