#include "host_data.h"

#include <algorithm>

namespace {
template <class Entry>
void MoveEntryToTop(std::vector<Entry>& entries, const Entry& entry) {
  const auto old = std::find(entries.begin(), entries.end(), entry);
  if (old != entries.end()) entries.erase(old);
  entries.insert(entries.begin(), entry);
  if (entries.size() > kMostRecent) entries.resize(kMostRecent);
}

template <class Entry>
bool RemoveFirst(std::vector<Entry>& entries, const Entry& entry) {
  const auto found = std::find(entries.begin(), entries.end(), entry);
  if (found == entries.end()) return false;
  entries.erase(found);
  return true;
}

void AppendFields(std::string& text, std::initializer_list<const std::string*> fields) {
  for (const std::string* field : fields) {
    text += *field;
    text += '\n';
  }
  text += '\n';
}
}  // namespace

std::string RecordTypesText(const HostData& data, const std::string& name) {
  std::string text;
  for (const DataBase& base : data.data_bases) {
    if (base.name != name) continue;
    for (std::size_t i = 0; i < base.record_types.size(); ++i) {
      if (i) text += '\n';
      text += base.record_types[i];
    }
    break;
  }
  return text;
}

std::string RecordMruText(const std::vector<RecordEntry>& records) {
  std::string text;
  for (const RecordEntry& r : records)
    AppendFields(text, {&r.data_base, &r.host_data1, &r.host_data2, &r.label, &r.detail});
  return text;
}

std::string QueryMruText(const std::vector<QueryEntry>& queries) {
  const std::string none;
  std::string text;
  for (const QueryEntry& q : queries)
    AppendFields(text, {&q.data_base, &q.query_name, &none, &none, &none});
  return text;
}

void MoveToTop(std::vector<RecordEntry>& records, const RecordEntry& entry) {
  MoveEntryToTop(records, entry);
}
void MoveToTop(std::vector<QueryEntry>& queries, const QueryEntry& entry) {
  MoveEntryToTop(queries, entry);
}
bool RemoveEntry(std::vector<RecordEntry>& records, const RecordEntry& entry) {
  return RemoveFirst(records, entry);
}
bool RemoveEntry(std::vector<QueryEntry>& queries, const QueryEntry& entry) {
  return RemoveFirst(queries, entry);
}
