// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shop service: one worker thread per configured machine, until the
// shutdown flag is set (SIGTERM, SIGINT). Journal lines go to `journal`,
// which may be called from every worker's thread at once.
#include <atomic>
#include <functional>
#include <string>

#include "core/dnc/DncConfig.h"

namespace quelvo {

using DncJournal = std::function<void(const std::string&)>;

// Makes the state and log folders and runs the workers; returns when all have
// ended. False (with the reason journalled) when a folder cannot be made.
bool RunDncService(const DncConfig& config, const std::atomic<bool>& shutdown, const DncJournal& journal);

}  // namespace quelvo
