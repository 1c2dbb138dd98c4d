#pragma once

#include <functional>
#include <string>

namespace sapidoro {

// The steps of a save, in order; each can fail, and tests make each fail through the seam.
enum class SaveStep {
    Lock,         // the folder's advisory lock
    Open,         // opening and mapping the file
    CreateTemp,   // the temporary file beside it
    Write,        // each write into the temporary file
    Sync,         // flushing the temporary file to disk
    Permissions,  // giving it the old file's permissions
    ReadBack,     // reading the new text back
    Backup,       // keeping the old version as "~"
    Rename,       // putting the new file in place
    SyncFolder,   // flushing the folder
};

// Test seam: called before each step with how often that step already ran in this save; a
// non-zero return is taken as the errno with which the step failed. Empty: no faults.
using FaultInjector = std::function<int(SaveStep step, int count)>;
void SetFaultInjector(FaultInjector injector);

// The errno the seam makes this step fail with, or 0.
int InjectedFault(SaveStep step, int count = 0);

// What an errno value means, in Italian, as a reason following a colon.
std::string ReasonText(int error);

// The save error of a step that failed with `error`, for the file named `fileName`.
[[noreturn]] void ThrowStepFailure(SaveStep step, int error, const std::string &fileName);

}  // namespace sapidoro
