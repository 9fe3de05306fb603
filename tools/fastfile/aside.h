#pragma once

// Files and folders made aside: under a temporary name beside their place,
// and moved there only when complete, so that whoever looks at the place
// finds what stood there before or the whole new one, never a cut-off one.
// A run that is killed leaves its work under the temporary names.

#include <string>

struct Aside {
    std::string place;      // where it goes; empty for a file that goes with the folder made aside it is in
    std::string temporary;  // where it is made; when empty, Begin picks a name
    int file = -1;          // a file's descriptor until CloseAside, written with WriteTo
    bool folder = false;
};

// Makes a new file for aside->place, exclusively, so that nothing standing
// where it is made is ever written through or removed: under the temporary
// name given, or else under a fresh one beside the place that no entry can
// have (longer than 12 characters) and that nothing had. False with *why.
bool BeginAside(Aside *aside, std::string *why);

// Makes a new folder beside aside->place, under a fresh name as BeginAside
// picks one.
bool BeginFolderAside(Aside *aside, std::string *why);

// Closes the file: false, with errno, when the system reports only now that
// a write failed.
bool CloseAside(Aside *aside);

// Moves what was made aside, complete (a file closed), into its place. A
// file replaces what stands there, and never writes through it: a regular
// file, a link (not what it points to) or a special file such as a pipe,
// as tar replaces them; a folder there is kept, and the move fails. A
// folder takes its place only where nothing stands, not even an empty
// folder. On failure what was made aside is removed, and *why says why.
bool FinishAside(Aside *aside, std::string *why);

// Removes what was made aside, a folder with whatever is in it; links in it
// go themselves, and are never followed.
void AbandonAside(Aside *aside);
