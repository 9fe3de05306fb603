#pragma once

// Fixtures for the game file system under the real Windows C runtime:
// folders and files made at run time under C:\rumbelon-gamefs, the layer
// started for each test and shut down after it, and a count of the pool
// bytes in use so that refused calls can be shown to leave nothing behind.

#include "archive_bytes.h"

#include "gamefs/directory.h"
#include "gamefs/file_system.h"
#include "gamefs/game_file.h"
#include "gamefs/gamefs_internal.h"
#include "gamefs/text_line.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <string>

extern const char TestRoot[];  // "C:\rumbelon-gamefs\", no trailing backslash kept off

// Bytes of pool blocks (and large blocks) in use; compare two readings.
int64_t PoolBytesInUse();

// Items in a list, head excluded; 0 for null.
int ListLength(const List *list);

std::string CurrentDirectory();

void MakeFolder(const std::string &path);
void WriteBytes(const std::string &path, const std::string &bytes);
std::string ReadBytes(const std::string &path);  // "(missing)" when it does not open
void WriteArchive(const std::string &folder, const std::vector<TestEntry> &entries);
void RemoveTree(const std::string &path);

// Everything a GameFile's stream gives until the end, through ReadGameChar.
std::string ReadRest(GameFile *file);

// A fresh test root, the current directory in it, the layer started; all
// undone afterwards.
class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The folder TestRoot\name\ (with its backslash), made afresh.
    std::string Folder(const std::string &name);

    std::string savedDirectory;
};
