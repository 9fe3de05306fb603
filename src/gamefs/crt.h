#pragma once

// The Windows C runtime's directory functions, default translation mode and
// program path, which the file layer uses. On other systems (the sanitizer
// build) crt_shim.cpp stands in for them over POSIX, so that the same code
// runs under the sanitizers; there a backslash is an ordinary character of
// a file name, and there are no drives.

#ifdef _WIN32

#include <direct.h>
#include <fcntl.h>
#include <stdlib.h>

#else

#include <stddef.h>

enum { _MAX_PATH = 260, _O_TEXT = 0x4000, _O_BINARY = 0x8000 };

// No stream is translated here; the mode is kept only to be read back.
extern int _fmode;
// Null: the program's path is unknown, so its folder is the empty string.
extern char **__argv;

int _getdrive();
int _chdrive(int drive);
char *_getcwd(char *buffer, int size);
int _chdir(const char *path);
// A relative path is joined to the current directory; "." and ".." are
// left for the system to resolve. Null when the result does not fit.
char *_fullpath(char *full, const char *path, size_t size);
// Only the drive and the folder are taken apart and put together here.
void _splitpath(const char *path, char *drive, char *folder, char *name, char *extension);
void _makepath(char *path, const char *drive, const char *folder, const char *name, const char *extension);

#endif
