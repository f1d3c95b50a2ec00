#pragma once

#include "iotool/CommandLine.h"

#include <cstdio>

namespace iotool {

/// Exit statuses of kontakty-io.
enum Exit { Done = 0, Failed = 1, WrongArguments = 2, SomeRefused = 3, ConflictsWait = 4 };

/// Runs an export, import or sync command; what it reports goes to `out` and
/// errors to `err`. Never throws.
int runCommand(const CommandLine &command, std::FILE *out, std::FILE *err);

} // namespace iotool
