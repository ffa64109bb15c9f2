// Writing a file so that it is there whole or not at all. A share, a sync
// engine or the teacher's window may read it at any moment, and the disk may
// be full: the old file stays as it was until the new one is whole beside it.
#pragma once

#include <string>
#include <string_view>

// Writes bytes to a temporary file beside path, checks every write and
// renames it over path. Never writes over the old file in place: where the
// folder refuses the temporary file the write fails and the old file stays.
// Empty on success, else a text for the user naming the file.
std::string writeWholeFile(const std::string& path, std::string_view bytes);

// Adds bytes to the end of path (made when missing) in one write; a write
// that does not go through whole is taken back, so the file ends as before.
// Empty on success, else a text for the user naming the file.
std::string appendWhole(const std::string& path, std::string_view bytes);

// The text for a file that could not be written, with the reason when known.
std::string cannotWrite(const std::string& path, const std::string& reason = {});
