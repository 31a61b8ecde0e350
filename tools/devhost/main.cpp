// The Pellwick development host: embeds ActivityCtrl in a frame window and
// serves it from a data file, as a Halvern host application would.
//   devhost [--dll PATH | --regfree] [--data FILE] [--sample FILE] [--script FILE]
//           [--screenshot FILE]
// Without --data the file is %APPDATA%\Pellwick\devhost.txt, copied from the
// sample (devhost-sample.txt beside the program) on first run. --regfree
// creates the control through the assembly manifest beside the program, with
// nothing registered.
// Exit codes: 0 done, 2 bad arguments or data file, 3 the control failed,
// 4 the script could not be played, 5 the control kept references.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "data_file.h"
#include "host_window.h"

namespace {
// The control's assembly manifest, beside the DLL and this program.
const wchar_t kAssemblyManifest[] = L"Pellwick.ActivityCtrl.manifest";

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::string Narrow(const std::wstring& text) {
  std::string result;
  for (wchar_t c : text) result += c < 0x80 ? static_cast<char>(c) : '?';
  return result;
}

bool ReadWholeFile(const std::wstring& file, std::string& text) {
  const HANDLE in = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (in == INVALID_HANDLE_VALUE) return false;
  text.clear();
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(in, buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  CloseHandle(in);
  return true;
}

// The per-user data file, seeded from the sample the first time.
bool UserDataFile(const std::wstring& sample, std::wstring& file) {
  wchar_t app_data[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, app_data)))
    return false;
  const std::wstring folder = std::wstring(app_data) + L"\\Pellwick";
  CreateDirectoryW(folder.c_str(), nullptr);
  file = folder + L"\\devhost.txt";
  if (GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  if (CopyFileW(sample.c_str(), file.c_str(), TRUE)) return true;
  std::fprintf(stderr, "devhost: cannot copy the sample %s to %s\n", Narrow(sample).c_str(),
               Narrow(file).c_str());
  return false;
}

int Usage() {
  std::fputs("usage: devhost [--dll PATH | --regfree] [--data FILE] [--sample FILE] "
             "[--script FILE] [--screenshot FILE]\n",
             stderr);
  return 2;
}

// OLE for the whole run; the window and the control are gone before it ends.
struct Ole {
  HRESULT hr = OleInitialize(nullptr);
  ~Ole() {
    if (SUCCEEDED(hr)) OleUninitialize();
  }
};

// Shows the window with the control in it until it is closed; the exit code.
int RunHost(HostData data, const HostOptions& options) {
  Ole ole;
  if (FAILED(ole.hr)) return 3;
  std::string problem;
  HostWindow host(std::move(data), options);
  if (!host.Open(problem)) {
    std::fprintf(stderr, "devhost: %s\n", problem.c_str());
    return 3;
  }
  host.Run();
  if (!host.CleanlyClosed(problem)) {
    std::fprintf(stderr, "devhost: %s\n", problem.c_str());
    return 5;
  }
  return host.ScriptFailed() ? 4 : 0;
}

// RunHost inside the control's assembly manifest, so that COM finds the
// class there instead of in the registry. Active for the whole run: the
// control is created, and runs, inside it.
int RunHostRegistrationFree(HostData data, const HostOptions& options) {
  const std::wstring manifest = ProgramFolder() + kAssemblyManifest;
  ACTCTXW description = {};
  description.cbSize = sizeof description;
  description.lpSource = manifest.c_str();
  const HANDLE assembly = CreateActCtxW(&description);
  ULONG_PTR cookie = 0;
  if (assembly == INVALID_HANDLE_VALUE || !ActivateActCtx(assembly, &cookie)) {
    std::fprintf(stderr, "devhost: cannot activate %s: error %lu\n", Narrow(manifest).c_str(),
                 GetLastError());
    if (assembly != INVALID_HANDLE_VALUE) ReleaseActCtx(assembly);
    return 3;
  }
  const int exit_code = RunHost(std::move(data), options);
  DeactivateActCtx(0, cookie);
  ReleaseActCtx(assembly);
  return exit_code;
}
}  // namespace

int main() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  HostOptions options;
  std::wstring sample = ProgramFolder() + L"devhost-sample.txt", script_file;
  bool regfree = false;
  for (int i = 1; i < count; ++i) {
    const std::wstring name = arguments[i];
    if (name == L"--regfree") {
      regfree = true;
      continue;
    }
    if (i + 1 >= count) return Usage();
    const std::wstring value = arguments[++i];
    if (name == L"--dll") options.dll = value;
    else if (name == L"--data") options.data_file = value;
    else if (name == L"--sample") sample = value;
    else if (name == L"--script") script_file = value;
    else if (name == L"--screenshot") options.screenshot = value;
    else return Usage();
  }
  LocalFree(arguments);
  if (regfree && !options.dll.empty()) return Usage();

  if (options.data_file.empty() && !UserDataFile(sample, options.data_file)) return 2;
  std::string text;
  if (!ReadWholeFile(options.data_file, text)) {
    std::fprintf(stderr, "devhost: cannot read %s\n", Narrow(options.data_file).c_str());
    return 2;
  }
  HostData data;
  DataFileError error;
  if (!ParseDataFile(text, data, error)) {
    // The file is left exactly as it is, so that nothing in it is lost.
    std::fprintf(stderr, "%s:%d: %s\n", Narrow(options.data_file).c_str(), error.line,
                 error.message.c_str());
    return 2;
  }
  ScriptRunner script;
  if (!script_file.empty()) {
    std::string steps, problem;
    if (!ReadWholeFile(script_file, steps)) {
      std::fprintf(stderr, "devhost: cannot read %s\n", Narrow(script_file).c_str());
      return 2;
    }
    if (!script.Load(steps, problem)) {
      std::fprintf(stderr, "%s: %s\n", Narrow(script_file).c_str(), problem.c_str());
      return 2;
    }
    options.script = &script;
  }

  return regfree ? RunHostRegistrationFree(std::move(data), options)
                 : RunHost(std::move(data), options);
}
