#pragma once

// Exit statuses of the command line.
namespace CliStatus {
constexpr int Ok = 0;
constexpr int NoRecord = 1; // the report found nothing
constexpr int BadArguments = 2;
constexpr int Failure = 3; // database or report failure
} // namespace CliStatus
