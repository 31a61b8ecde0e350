#pragma once
// The base that carries IHvProjectList for CActivityCtrl, which implements
// its seven methods.
#include "include/PellwickHost.h"

class CProjectListImpl : public IHvProjectList {
 protected:
  CProjectListImpl() noexcept = default;
  ~CProjectListImpl() = default;
};
