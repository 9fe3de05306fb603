#pragma once

// Every stand-in of the demo disc notes that it ran, so that a user or a
// test can see what the menu started and where: one line appended to
// "C:\rumbelon-demo.log" per start, four fields separated by tabs (the
// program's own path, its process id in decimal, its current directory,
// its command line as it received it), then a carriage return and a line
// feed.

extern const char DemoLogPath[];

// Appends this process's line. Silent when the log cannot be written: the
// stand-in still does its work.
void LogThisRun();
