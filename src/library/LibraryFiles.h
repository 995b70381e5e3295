// Library files on disk: the empty library template, the writing of new libraries, and what
// the user may do with a library file.
//
// Error rule: a library that cannot be written throws LibraryFileError; the questions about a
// file answer false when it cannot be looked at.
#pragma once

#include <span>
#include <stdexcept>
#include <string>

namespace quillon::library {

// A library file that could not be written; the message names the file and the cause.
class LibraryFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Returns the empty library template: a 2048-byte SQLite database holding the table
// "abbreviations" (entry INTEGER PRIMARY KEY, direction, abb, abbtext) and no rows.
std::span<const unsigned char> EmptyLibraryTemplate();

// Returns the file that extractEmptyDatabase writes for path: path itself when it contains
// ".abb" anywhere (case-sensitive), else path without leading blanks plus ".abb".
std::string EmptyLibraryTarget(const std::string& path);

// Writes the template as the whole content of EmptyLibraryTarget(path), replacing a file that
// is there. The write is atomic: a failure leaves any previous file as it was.
// Throws LibraryFileError when the file cannot be written (a read-only file or folder).
void extractEmptyDatabase(const std::string& path);

// Returns true when an ordinary file is at path.
bool LibraryFileExists(const std::string& path);

// Returns true when the running user (by the effective ids) may change the library at path:
// the file and its folder, where the database keeps its journal, are writable.
bool LibraryFileWritable(const std::string& path);

enum class CreateOutcome { kCreated, kDeclined, kFailed };

// The manager's "Create a new database" once a path is chosen: makes EmptyLibraryTarget(path)
// the open library;
// when a file is there asks "File already exist, overwrite" (anything but Yes leaves no library
// open); writes the template and gives it the table layout of new libraries.
// Throws LibraryFileError when the template cannot be written.
CreateOutcome CreateLibrary(const std::string& path);

}  // namespace quillon::library
