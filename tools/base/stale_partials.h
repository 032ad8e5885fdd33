// Temporary output files that a run killed outright (SIGKILL, a power cut)
// had no chance to remove: the next run that writes into their folder
// removes them, so they do not pile up unseen (their names start with a dot).
#pragma once

#include <filesystem>

namespace zonara_tool {

// Removes, once a run per folder, the files in `folder` (empty: the current
// one) named as this tool names its temporary files whose writer is gone:
// owned by this user, regular files, and named with the id of no running
// process. Another user's, or a live run's, are never touched. On a network
// file system, where a process id names a process of some other machine,
// the file must also have been left alone for STALE_ON_NETWORK_AFTER.
// Never fails: what cannot be removed stays.
void RemoveStalePartials(const std::filesystem::path &folder);

}  // namespace zonara_tool
