#include "script_runner.h"

#include <cstdlib>
#include <sstream>

#include "devhost_ids.h"
#include "host_log.h"
#include "page_controls.h"
#include "picker.h"

namespace {
struct Name {
  const char* word;
  int id;
};
constexpr Name kButtons[] = {{"change", kChangeDataBaseButton},
                             {"go", kGoButton},
                             {"view", kViewRecordButton},
                             {"remove-records", kRemoveRecordsButton},
                             {"run", kRunQueryButton},
                             {"remove-queries", kRemoveQueriesButton}};
constexpr Name kLists[] = {{"records", kRecordsList}, {"queries", kQueriesList},
                           {"types", kRecordTypesBox}};
constexpr Name kKeys[] = {{"tab", VK_TAB},   {"space", VK_SPACE},   {"return", VK_RETURN},
                          {"down", VK_DOWN}, {"up", VK_UP},         {"escape", VK_ESCAPE}};
constexpr Name kMenu[] = {{"new-record", IDM_NEW_DEFAULT_RECORD},
                          {"run-query", IDM_RUN_DEFAULT_QUERY},
                          {"refresh", IDM_REFRESH_LISTS}};

template <size_t N>
int Find(const Name (&names)[N], const std::string& word) {
  for (const Name& name : names)
    if (word == name.word) return name.id;
  return 0;
}

bool Row(const std::string& word, int& row) {
  char* end = nullptr;
  const long value = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end || value < 0) return false;
  row = static_cast<int>(value);
  return true;
}

void Post(HWND window, UINT message, WPARAM keys, POINT at) {
  PostMessageA(window, message, keys, MAKELPARAM(at.x, at.y));
}

// A left click at `at` in `window`'s client area, as the mouse sends it.
void Click(HWND window, POINT at, WPARAM keys = 0, bool twice = false) {
  Post(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
  Post(window, WM_LBUTTONUP, keys, at);
  if (!twice) return;
  Post(window, WM_LBUTTONDBLCLK, MK_LBUTTON | keys, at);
  Post(window, WM_LBUTTONUP, keys, at);
}

POINT Centre(HWND window) {
  RECT area;
  GetClientRect(window, &area);
  return {area.right / 2, area.bottom / 2};
}

bool RowPoint(HWND list, int row, POINT& at) {
  RECT item;
  if (SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
      row >= SendMessageA(list, LB_GETCOUNT, 0, 0))
    return false;
  at = {item.left + 4, (item.top + item.bottom) / 2};
  return true;
}

bool Usable(HWND window, const std::string& what, std::string& problem) {
  if (!window) problem = what + " does not exist";
  else if (!IsWindowEnabled(window)) problem = what + " is disabled";
  return problem.empty();
}
}  // namespace

bool ScriptRunner::Load(const std::string& text, std::string& error) {
  std::istringstream in(text);
  std::string raw;
  for (int number = 1; std::getline(in, raw); ++number) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    Line line{number, raw, {}};
    std::istringstream words(raw);
    for (std::string word; words >> word;) line.words.push_back(word);
    if (line.words.empty() || line.words[0][0] == '#') continue;
    const std::string& verb = line.words[0];
    const size_t count = line.words.size();
    const std::string argument = count > 1 ? line.words[1] : std::string();
    int row = 0;
    bool valid = false;
    if (verb == "select" || verb == "double-click") {
      valid = count >= 3 && Find(kLists, argument) &&
              (verb == "select" || count == 3) && (argument != "types" || count == 3);
      for (size_t i = 2; valid && i < count; ++i) valid = Row(line.words[i], row);
    } else if (verb == "click") {
      valid = count == 2 && Find(kButtons, argument);
    } else if (verb == "menu") {
      valid = count == 2 && Find(kMenu, argument);
    } else if (verb == "key") {
      valid = count == 2 && Find(kKeys, argument);
    } else if (verb == "pick") {
      valid = count >= 2;
    } else if (verb == "cancel-pick") {
      valid = count == 1;
    }
    if (!valid) {
      error = "line " + std::to_string(number) + ": cannot read step '" + raw + "'";
      lines_.clear();
      return false;
    }
    lines_.push_back(std::move(line));
  }
  return true;
}

bool ScriptRunner::Step(HWND frame, HWND page) {
  if (failed_ || next_ >= lines_.size()) return false;
  const Line& line = lines_[next_++];
  LogLine("script: " + line.text);
  std::string problem;
  if (!Play(line, frame, page, problem)) {
    LogLine("script: line " + std::to_string(line.number) + " cannot be played: " + problem);
    failed_ = true;
    return false;
  }
  return true;
}

bool ScriptRunner::Play(const Line& line, HWND frame, HWND page, std::string& problem) {
  const std::string& verb = line.words[0];
  const std::string argument = line.words.size() > 1 ? line.words[1] : std::string();
  if (verb == "menu") {
    PostMessageA(frame, WM_COMMAND, MAKEWPARAM(Find(kMenu, argument), 0), 0);
    return true;
  }
  if (verb == "key") {
    // To the focused control, through the host's message loop and so through
    // the page's TranslateAccelerator, as a key press arrives.
    const HWND focus = GetFocus();
    if (!focus) return Usable(nullptr, "a focused window", problem);
    const WPARAM key = static_cast<WPARAM>(Find(kKeys, argument));
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
    return true;
  }
  if (verb == "pick" || verb == "cancel-pick") {
    const HWND picker = FindWindowA("#32770", kPickerCaption);
    if (!picker) return Usable(nullptr, "the database picker", problem);
    if (verb == "cancel-pick") {
      Click(GetDlgItem(picker, IDCANCEL), Centre(GetDlgItem(picker, IDCANCEL)));
      return true;
    }
    const std::string name = line.text.substr(line.text.find("pick") + 5);
    const HWND list = GetDlgItem(picker, IDC_PICKER_LIST);
    const LRESULT row =
        SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(name.c_str()));
    POINT at;
    if (row == LB_ERR || !RowPoint(list, static_cast<int>(row), at))
      return Usable(nullptr, "database '" + name + "' in the picker", problem);
    Click(list, at);
    Click(GetDlgItem(picker, IDOK), Centre(GetDlgItem(picker, IDOK)));
    return true;
  }
  if (verb == "click") {
    const HWND button = GetDlgItem(page, Find(kButtons, argument));
    if (!Usable(button, "button " + argument, problem)) return false;
    Click(button, Centre(button));
    return true;
  }
  const HWND list = GetDlgItem(page, Find(kLists, argument));
  if (!Usable(list, argument, problem)) return false;
  int row = 0;
  if (argument == "types") {
    // The record-type box takes keys: from the first item, Down `row` times.
    Row(line.words[2], row);
    SetFocus(list);
    PostMessageA(list, WM_KEYDOWN, VK_HOME, 0);
    for (int i = 0; i < row; ++i) PostMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
    return true;
  }
  for (size_t i = 2; i < line.words.size(); ++i) {
    POINT at;
    Row(line.words[i], row);
    if (!RowPoint(list, row, at))
      return Usable(nullptr, "row " + line.words[i] + " of " + argument, problem);
    Click(list, at, i > 2 ? MK_CONTROL : 0, verb == "double-click");
  }
  return true;
}
