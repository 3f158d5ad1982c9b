#pragma once
// A settings file read and written as one piece: read only when it is a regular file of a sane
// size, written by replacing it whole, so that a crash at any moment leaves either the old file
// or the new one.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zynta::settings {

// A settings file larger than this is damaged: it reads as empty, like any unreadable content.
inline constexpr std::size_t MaxSettingsBytes = 1 << 20;

// The whole file; nullopt when it is missing or cannot be opened or read, or is not a regular
// file (a FIFO, a device, a link to one: never opened in a way that could block). A regular
// file over MaxSettingsBytes reads as "".
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Where a write of `path` goes: the target of a symbolic link to a regular file, else `path`
// itself (a link to a device or a dangling link is replaced by the file).
std::filesystem::path WriteTargetOf(const std::filesystem::path& path);

// Replaces `target` with `text` at once: a temporary file in the same folder is written,
// flushed to disk, given the old file's permission bits and renamed over the target, then the
// folder is flushed. False when any step fails; no temporary file is left behind then.
bool ReplaceWholeFile(const std::filesystem::path& target, std::string_view text);

// Removes the temporary files that ReplaceWholeFile leaves for `target` when the process is
// killed mid-write, once they are older than `minimumAge` seconds (a younger one may belong to
// another copy of the program writing right now).
void RemoveStaleTemporaries(const std::filesystem::path& target, int minimumAge = 60);

}  // namespace zynta::settings
