#pragma once
// The DLL's control in a recording container: ControlTest's fresh, registered
// control plus a FakeContainer whose active object is that control. TearDown
// checks that every reference the control took on the container came back.
#include <memory>
#include <string>
#include <vector>

#include "common/fake_container.h"
#include "common/mock_host.h"
#include "control/control_fixture.h"

// `count` entries for either recently-viewed list of a mock host.
std::string MruText(int count);

// The direct children of `window`, in child order.
std::vector<HWND> Children(HWND window);

// The brush the window answers for its dialog background (0 without one).
HBRUSH DialogBrush(HWND window);

class WiredTest : public ControlTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The control's DoVerb with the container's site, window and position.
  HRESULT Verb(LONG verb, IUnknown* object = nullptr);
  // The control window through IOleWindow; null when there is none.
  HWND Window(IUnknown* object = nullptr);

  std::unique_ptr<FakeContainer> container;
  // The thread's windows with the container made (its own and the IME's).
  int windows_with_container = 0;

 private:
  int windows_before_ = 0;
};
