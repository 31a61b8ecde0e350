#pragma once
// The development host's data file, a line-based text:
//   # comment            blank lines and comments are skipped
//   key <path>           settings key under HKEY_CURRENT_USER handed to the page
//   current <name>       the open database; omitted or empty: none
//   database <name>      a database; the "type" lines after it are its record types
//   type <name>
//   record <db>|<data1>|<data2>|<label>|<detail>   recently viewed, newest first
//   query <db>|<name>
// Fields of record and query lines are separated by '|'; a '|' or '\' inside
// a field is written "\|" or "\\". A trailing carriage return is dropped.
// Plain text only, no platform headers.
#include <string>

#include "host_data.h"

struct DataFileError {
  int line = 0;  // 1-based; 0 when no error
  std::string message;
};

// Reads `text` into `data`. On an error returns false, describes the first
// faulty line in `error` and leaves `data` unchanged.
bool ParseDataFile(const std::string& text, HostData& data, DataFileError& error);

// The text ParseDataFile reads back into an equal HostData.
std::string PrintDataFile(const HostData& data);
