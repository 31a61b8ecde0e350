#pragma once
// The scripted tour: one step per line, played through real input messages
// (mouse clicks and key presses posted to the page's controls, menu commands
// to the frame), one step per timer tick so that each step's consequences,
// modal picker included, have run before the next one. Each step is logged
// as "script: <line>". Steps:
//   select records|queries <row>...   click the rows, Ctrl held from the second
//   double-click records|queries <row>
//   select types <index>              Down keys in the record-type box
//   click change|go|view|remove-records|run|remove-queries
//   pick <database> | cancel-pick     answer the open database picker
//   key tab|space|return|down|up|escape   to the focused control
//   menu new-record|run-query|refresh
// Blank lines and lines starting with '#' are skipped.
#include <windows.h>

#include <string>
#include <vector>

class ScriptRunner {
 public:
  // False with `error` naming the line when a step is unknown or malformed.
  bool Load(const std::string& text, std::string& error);
  // Plays the next step; false when none is left. A step that cannot be
  // played (disabled button, no picker, no such row) is logged and ends the
  // tour with `failed` set.
  bool Step(HWND frame, HWND page);
  bool failed() const noexcept { return failed_; }

 private:
  struct Line {
    int number;
    std::string text;
    std::vector<std::string> words;
  };
  bool Play(const Line& line, HWND frame, HWND page, std::string& problem);

  std::vector<Line> lines_;
  size_t next_ = 0;
  bool failed_ = false;
};
