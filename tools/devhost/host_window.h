#pragma once
// The development host's frame window: it embeds one ActivityCtrl filling its
// client area, owns the host object and the container site, answers the
// host's menu, and makes the host's calls into the page after the page call
// that caused them has returned. With a script it plays the tour and, at its
// end, saves a screenshot and closes itself.
#include <windows.h>

#include <memory>
#include <string>

#include "activity_host.h"
#include "container_site.h"
#include "embedded_control.h"
#include "script_runner.h"

struct HostOptions {
  std::wstring dll;         // empty: create the registered class
  std::wstring data_file;   // read at start, rewritten after each change
  std::wstring screenshot;  // written at the end of a script; empty: none
  ScriptRunner* script = nullptr;
};

class HostWindow : private HostEvents {
 public:
  HostWindow(HostData data, const HostOptions& options);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // Creates the window, embeds and activates the control. On failure the
  // message says which step failed.
  bool Open(std::string& problem);
  // Runs the message loop until the window is gone.
  void Run();
  // Whether the page gave back every reference it took on the site and host.
  bool CleanlyClosed(std::string& problem) const;
  bool ScriptFailed() const noexcept { return options_.script && options_.script->failed(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(int id);
  void FinishScript();

  bool PickDataBase(const HostData& data, std::string& choice) override;
  void DataBaseChanged() override;
  void ListsChanged() override;
  std::string DefaultRecordType() override;

  HostOptions options_;
  HWND window_ = nullptr;
  HACCEL accelerators_ = nullptr;  // a resource: freed with the module
  ActivityHost host_;
  std::unique_ptr<ContainerSite> site_;
  EmbeddedControl control_;
};
