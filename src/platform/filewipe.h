#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zentrix::platform {

/// Called for each block an overwrite writes: the pass (from 0) and the
/// block's length. Tests count the blocks with it.
using WipeBlockHook = std::function<void(int pass, size_t length)>;

/// Overwrites a regular file's whole length in place, once per byte of
/// `passBytes`, each pass from offset 0 in blocks of `blockSize` (the last one
/// shorter; an empty file gets one empty block per pass). With `syncEachPass`
/// every pass reaches the disk before the next begins, so the cache cannot
/// merge them; without it the data is synced once at the end, so that the
/// truncation that follows cannot drop the overwrite unwritten. A link, a
/// directory or a special file is not opened (EINVAL; a link: ELOOP), nor a
/// file with other names (EMLINK): they share its data. Write errors are not
/// reported: the deletion that follows decides. Returns 0 or the errno of the
/// open.
int OverwriteFile(const std::string& hostPath, size_t blockSize,
                  const std::vector<uint8_t>& passBytes, bool syncEachPass,
                  const WipeBlockHook& onBlock = {});

/// Cuts a regular file to zero length without following a final link; a file
/// with other names is left whole (EMLINK). Returns 0 or the errno.
int TruncateFile(const std::string& hostPath);

/// Removes a file, link or special file by its path; never a directory, and a
/// link goes itself, never what it points to. Returns 0 or the errno.
int RemoveFileEntry(const std::string& hostPath);

} // namespace zentrix::platform
