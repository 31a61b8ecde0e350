#include "data_file.h"

#include <cstddef>
#include <vector>

namespace {
struct Line {
  int number;
  std::string keyword, value;
  std::size_t value_column;  // 1-based column of the value's first byte
};

bool Fail(DataFileError& error, int line, std::string message) {
  error.line = line;
  error.message = std::move(message);
  return false;
}

// Splits at unescaped '|' and undoes the escapes.
bool SplitFields(const Line& line, std::vector<std::string>& fields, DataFileError& error) {
  fields.assign(1, std::string());
  for (std::size_t i = 0; i < line.value.size(); ++i) {
    const char c = line.value[i];
    if (c == '|') {
      fields.emplace_back();
    } else if (c != '\\') {
      fields.back() += c;
    } else if (i + 1 < line.value.size() &&
               (line.value[i + 1] == '|' || line.value[i + 1] == '\\')) {
      fields.back() += line.value[++i];
    } else {
      return Fail(error, line.number,
                  "a backslash must be followed by '|' or '\\' (column " +
                      std::to_string(line.value_column + i) + ")");
    }
  }
  return true;
}

bool Fields(const Line& line, std::size_t count, std::vector<std::string>& fields,
            DataFileError& error) {
  if (!SplitFields(line, fields, error)) return false;
  if (fields.size() == count) return true;
  return Fail(error, line.number,
              "'" + line.keyword + "' needs " + std::to_string(count) +
                  " fields separated by '|', found " + std::to_string(fields.size()));
}

std::string Escaped(const std::string& field) {
  std::string text;
  for (char c : field) {
    if (c == '|' || c == '\\') text += '\\';
    text += c;
  }
  return text;
}

Line Split(const std::string& text, int number) {
  std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) start = text.size();
  const std::size_t end = text.find(' ', start);
  Line line{number, text.substr(start, end - start), std::string(), text.size() + 1};
  if (end != std::string::npos) {
    line.value = text.substr(end + 1);
    line.value_column = end + 2;
  }
  return line;
}

struct Reader {
  HostData data;
  int key_line = 0, current_line = 0;
  DataFileError& error;

  bool Take(const Line& line) {
    std::vector<std::string> f;
    if (line.keyword == "key") {
      if (key_line) return Twice(line, key_line);
      key_line = line.number;
      data.registry_key = line.value;
    } else if (line.keyword == "current") {
      if (current_line) return Twice(line, current_line);
      current_line = line.number;
      data.current_data_base = line.value;
    } else if (line.keyword == "database") {
      for (const DataBase& base : data.data_bases)
        if (base.name == line.value)
          return Fail(error, line.number, "database '" + line.value + "' is listed twice");
      data.data_bases.push_back({line.value, {}});
    } else if (line.keyword == "type") {
      if (data.data_bases.empty())
        return Fail(error, line.number, "'type' before any 'database' line");
      data.data_bases.back().record_types.push_back(line.value);
    } else if (line.keyword == "record") {
      if (!Fields(line, 5, f, error)) return false;
      data.records.push_back({f[0], f[1], f[2], f[3], f[4]});
    } else if (line.keyword == "query") {
      if (!Fields(line, 2, f, error)) return false;
      data.queries.push_back({f[0], f[1]});
    } else {
      return Fail(error, line.number,
                  "unknown keyword '" + line.keyword +
                      "' (expected key, current, database, type, record or query)");
    }
    return true;
  }

  bool Twice(const Line& line, int first) {
    return Fail(error, line.number,
                "second '" + line.keyword + "' line (the first is line " +
                    std::to_string(first) + ")");
  }

  bool Finish() {
    if (data.current_data_base.empty()) return true;
    for (const DataBase& base : data.data_bases)
      if (base.name == data.current_data_base) return true;
    return Fail(error, current_line,
                "current database '" + data.current_data_base + "' has no 'database' line");
  }
};
}  // namespace

bool ParseDataFile(const std::string& text, HostData& data, DataFileError& error) {
  Reader reader{HostData(), 0, 0, error};
  std::size_t start = 0;
  for (int number = 1; start < text.size(); ++number) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string raw = text.substr(start, end - start);
    start = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    const Line line = Split(raw, number);
    if (line.keyword.empty() || line.keyword[0] == '#') continue;
    if (!reader.Take(line)) return false;
  }
  if (!reader.Finish()) return false;
  data = std::move(reader.data);
  error = DataFileError();
  return true;
}

std::string PrintDataFile(const HostData& data) {
  std::string text = "# Pellwick development host data\n";
  if (!data.registry_key.empty()) text += "key " + data.registry_key + "\n";
  if (!data.current_data_base.empty()) text += "current " + data.current_data_base + "\n";
  for (const DataBase& base : data.data_bases) {
    text += "database " + base.name + "\n";
    for (const std::string& type : base.record_types) text += "  type " + type + "\n";
  }
  for (const RecordEntry& r : data.records)
    text += "record " + Escaped(r.data_base) + "|" + Escaped(r.host_data1) + "|" +
            Escaped(r.host_data2) + "|" + Escaped(r.label) + "|" + Escaped(r.detail) + "\n";
  for (const QueryEntry& q : data.queries)
    text += "query " + Escaped(q.data_base) + "|" + Escaped(q.query_name) + "\n";
  return text;
}
