#include "server/module.h"

const wchar_t kPellwickAppId[] = L"{4CA564D7-4F81-4C2C-9429-6609A57D26A5}";

void CPellwickModule::AddCommonReplacements(std::vector<ScriptVariable>& variables) const {
  variables.push_back({L"APPID", kPellwickAppId});
}

namespace {
// Constructed before anything else of the component, so it is the image's
// module object (ThisModule()).
CPellwickModule g_module;
}  // namespace

CPellwickModule& PellwickModule() noexcept { return g_module; }
