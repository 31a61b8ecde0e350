#pragma once
// What the development host knows: its databases with their record types,
// the current database, the settings key it hands the page, and the two
// recently-viewed lists (newest first). Plain text only, no platform headers.
#include <cstddef>
#include <string>
#include <vector>

struct DataBase {
  std::string name;
  std::vector<std::string> record_types;
  bool operator==(const DataBase& other) const {
    return name == other.name && record_types == other.record_types;
  }
};

struct RecordEntry {
  std::string data_base, host_data1, host_data2, label, detail;
  bool operator==(const RecordEntry& other) const {
    return data_base == other.data_base && host_data1 == other.host_data1 &&
           host_data2 == other.host_data2 && label == other.label && detail == other.detail;
  }
};

struct QueryEntry {
  std::string data_base, query_name;
  bool operator==(const QueryEntry& other) const {
    return data_base == other.data_base && query_name == other.query_name;
  }
};

struct HostData {
  std::string registry_key;
  std::string current_data_base;  // empty: no database open
  std::vector<DataBase> data_bases;
  std::vector<RecordEntry> records;
  std::vector<QueryEntry> queries;
  bool operator==(const HostData& other) const {
    return registry_key == other.registry_key && current_data_base == other.current_data_base &&
           data_bases == other.data_bases && records == other.records &&
           queries == other.queries;
  }
};

// The lists keep at most this many entries once the host adds one.
constexpr std::size_t kMostRecent = 20;

// The record types of `name` joined by line feeds; empty for an unknown name.
std::string RecordTypesText(const HostData& data, const std::string& name);

// The lists as the page reads them: five line-feed-terminated fields per
// entry and an empty line after each (queries fill fields 3 to 5 with nothing).
std::string RecordMruText(const std::vector<RecordEntry>& records);
std::string QueryMruText(const std::vector<QueryEntry>& queries);

// Puts `entry` first, dropping an equal entry further down and anything
// beyond kMostRecent.
void MoveToTop(std::vector<RecordEntry>& records, const RecordEntry& entry);
void MoveToTop(std::vector<QueryEntry>& queries, const QueryEntry& entry);

// Removes the first equal entry; false when there is none.
bool RemoveEntry(std::vector<RecordEntry>& records, const RecordEntry& entry);
bool RemoveEntry(std::vector<QueryEntry>& queries, const QueryEntry& entry);
