#pragma once

// The library's messages reach no logger until something asks for the console: the file
// watcher does so when the first watcher is created.
namespace ZedConsoleLogger {
// Registers the console logger with the developer formatter, once per process.
void installOnce();
}  // namespace ZedConsoleLogger
