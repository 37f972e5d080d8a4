// Filling the file index at start-up: the asset manifest (names to hide) and the scan of the
// asset folder and the data folders, which also mounts the archives it finds.
//
// Main thread, at start-up; files may be opened on other threads meanwhile (the index locks).
#pragma once

#include "foundation/str.h"

// Reads the manifest, then scans the asset folder "assets" (under the working folder) and, unless
// the program runs inside a host window (setting "activex" = "1"), the user and common data
// folders under the prefixes "user:" and "common:".
//
// The manifest is "final.txt", or "firstpeek.txt" when the setting "firstpeek" is on, in the
// working folder; one under 100,000 bytes is read as words (separated by blanks, tabs and line
// ends) naming asset files to hide, lower-cased; the word "-*" forgets the words before it.
void LoadAssetManifest();

// Indexes a real folder and its subfolders under a virtual prefix, after mounting the folder's
// archives, so loose files win over archive members. An empty prefix is derived from the folder:
// "assets" and "assets/x" give "" and "x"; "." gives "". Hidden names, ".svn" folders and links
// to folders are passed over. Keys are lower-cased; locations keep the disk's spelling, with "/"
// for every backslash of the folder. A prefix is followed by "/" in the keys: the data folders'
// files are indexed as "user:/name" and "common:/name".
void ScanAssetFolder(const str& prefix, const str& folder);

// Whether the working folder holds the asset folder "assets" (a folder, or a link to one).
bool HasAssetFolder();

// Forgets the hidden names.
void ClearAssetManifest();
