// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineBank.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <poll.h>
#include <sstream>
#include <sys/resource.h>

#include "NcMachine.h"
#include "PunchTape.h"
#include "Reporter.h"
#include "SimOptions.h"

namespace quelvo::ncsim {

namespace {

using Clock = std::chrono::steady_clock;

// The loop sleeps at least this long unless a descriptor is ready; each line
// then lets twice that much line time pass at once.
constexpr int kTickMs = 5;
constexpr int kBurstMs = 2 * kTickMs;

struct Line {
    SimOptions options;
    std::unique_ptr<Reporter> reporter;
    std::unique_ptr<NcMachine> machine;
    NcMachine::Wait wait;
    Clock::time_point due;
    short revents = 0;
    bool waiting = false;  // Prepare gave `wait`; Resume is owed
    bool done = false;
};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// The command line without its --lines FILE.
std::vector<std::string> SharedWords(const std::vector<std::string>& args) {
    std::vector<std::string> shared;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lines") {
            ++i;
            continue;
        }
        shared.push_back(args[i]);
    }
    return shared;
}

}  // namespace

bool ReadLineBankFile(const std::string& path, const std::vector<std::string>& shared,
                      std::vector<std::vector<std::string>>& lines, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    for (std::string text; std::getline(in, text);) {
        std::vector<std::string> words = Words(text);
        if (words.empty() || words.front()[0] == '#') continue;
        std::vector<std::string> all = shared;
        all.insert(all.end(), words.begin(), words.end());
        lines.push_back(std::move(all));
    }
    if (lines.empty()) {
        error = path + ": names no control";
        return false;
    }
    return true;
}

int RunLineBank(const std::vector<std::string>& args, const volatile std::sig_atomic_t& stop) {
    // Each control holds its line and its report file: 512 controls pass the
    // usual soft limit of 1024 open files.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    std::vector<std::vector<std::string>> words;
    std::string error;
    const std::string file = [&] {
        const auto at = std::find(args.begin(), args.end(), "--lines");
        return at != args.end() && at + 1 != args.end() ? *(at + 1) : std::string();
    }();
    if (!ReadLineBankFile(file, SharedWords(args), words, error)) {
        std::fprintf(stderr, "ncsim: %s\n", error.c_str());
        return 2;
    }
    std::vector<Line> lines(words.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Line& line = lines[i];
        if (!ParseSimOptions(words[i], line.options, error) || line.options.linkPath.empty()) {
            std::fprintf(stderr, "ncsim: %s line %zu: %s\n", file.c_str(), i + 1,
                         error.empty() ? "--link PATH is required" : error.c_str());
            return 2;
        }
        line.options.burstMs = kBurstMs;
        line.reporter = std::make_unique<Reporter>(false);
        if (!line.options.reportFile.empty() && !line.reporter->OpenFile(line.options.reportFile, error)) {
            std::fprintf(stderr, "ncsim: %s\n", error.c_str());
            return 1;
        }
        std::vector<PunchTape> punches;
        const TapeCode code = line.options.punchCodeSet ? line.options.punchCode : line.options.code;
        if (!LoadPunchTapes(line.options.punchFiles, code, punches, error)) {
            std::fprintf(stderr, "ncsim: %s\n", error.c_str());
            return 1;
        }
        line.machine = std::make_unique<NcMachine>(line.options, std::move(punches), *line.reporter);
        if (!line.machine->Start()) return 1;
    }
    std::printf("ready lines=%zu\n", lines.size());
    std::fflush(stdout);

    int exitCode = 0;
    std::vector<pollfd> polled;
    std::vector<std::size_t> owners;
    while (stop == 0) {
        Clock::time_point now = Clock::now();
        Clock::time_point next = now + std::chrono::seconds(1);
        polled.clear();
        owners.clear();
        bool any = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            Line& line = lines[i];
            if (line.done) continue;
            if (!line.waiting) {
                if (!line.machine->Prepare(line.wait)) {
                    line.done = true;
                    exitCode = std::max(exitCode, line.machine->Finish());
                    continue;
                }
                line.waiting = true;
                line.due = now + std::chrono::milliseconds(line.wait.timeoutMs);
            }
            any = true;
            next = std::min(next, line.due);
            if (line.wait.fd >= 0) {
                polled.push_back(pollfd{line.wait.fd, line.wait.events, 0});
                owners.push_back(i);
            }
        }
        if (!any) break;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
        const int r = poll(polled.data(), polled.size(), static_cast<int>(std::max<long long>(left, kTickMs)));
        if (r < 0) {
            if (errno == EINTR) continue;
            std::perror("ncsim: poll");
            exitCode = 1;
            break;
        }
        for (std::size_t k = 0; k < polled.size(); ++k) lines[owners[k]].revents = polled[k].revents;
        now = Clock::now();
        for (Line& line : lines) {
            if (!line.waiting || (line.revents == 0 && now < line.due)) continue;
            line.waiting = false;
            line.machine->Resume(line.revents);
            line.revents = 0;
        }
    }
    for (Line& line : lines) {
        if (!line.done) exitCode = std::max(exitCode, line.machine->Finish());
    }
    return exitCode;
}

}  // namespace quelvo::ncsim
