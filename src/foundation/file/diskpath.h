// Helpers for the real paths that the file layer builds from virtual names. Names are lower-cased
// for the file index, but the disk keeps whatever case the files were made with, so a path built
// from a name is matched against the disk one folder level at a time.
//
// Any thread may call these; they keep no state.
#pragma once

#include "foundation/str.h"

// The text with every backslash turned into "/".
str WithForwardSlashes(const str& path);

// base (taken as it is; empty for a path relative to the working folder) joined with relative
// ("/"-separated). When that path does not exist as spelled, each component of relative that is
// missing is looked up case-insensitively in its folder (the first match in byte order wins); the
// components from the first one that has no match on are kept as spelled.
str MatchDiskCase(const str& base, const str& relative);

// Creates the folders of a file path: at each "/" from position start on, the folder up to it is
// made when missing. False when a folder could not be made.
bool MakeFoldersOf(const str& path, unsigned int start);

// True for a path the caller may open for reading (and writing when asked).
bool CanAccess(const str& path, bool write);
