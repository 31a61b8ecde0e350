#!/usr/bin/env bash
# scripts/check-layers on small trees: a clean one, whose includes, comments
# and CMake lines come close to a reach without making one, passes; each copy
# of it with one reach added fails with that reach's line and nothing else.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
check=$here/../../scripts/check-layers
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 passed=0

clean=$work/clean
mkdir -p "$clean"/{resources/de,include,framework,page,control,server}
cd "$clean" || exit 1
printf '#define IDD_PAGE 104\n' >resources/resource_ids.h
printf '#include "resource_ids.h"\n' >resources/Pellwick.rc
printf '#include "../resource_ids.h"\n' >resources/de/Pellwick_de.rc
printf 'add_library(pellwick_resources OBJECT Pellwick.rc)\n' >resources/CMakeLists.txt
printf '#include <objbase.h>\n' >include/PellwickHost.h
printf '#pragma once\n' >framework/text.h
printf '#include "framework/text.h"\n#include "include/PellwickHost.h"\n' >framework/text.cpp
cat >framework/CMakeLists.txt <<'EOF'
add_library(pellwick_framework STATIC text.cpp)
target_include_directories(pellwick_framework PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
EOF
printf '#pragma once\n' >page/page_window.h
cat >page/page_window.cpp <<'EOF'
#include <windows.h>
#include <oaidl.h>
#include "page_window.h"
#include "../framework/text.h"
#include "framework/text.h"
// The control talks to IOleClientSite and IOleInPlaceSite, then tells the page.
/* Not here:
#include "control/activity_ctrl.h" */
static const char kNote[] = "IOleObject";
HRESULT Name(LPOLESTR name, IDispatch* host);
EOF
cat >page/CMakeLists.txt <<'EOF'
add_library(pellwick_page STATIC page_window.cpp ${CMAKE_CURRENT_SOURCE_DIR}/page_window.h)
# A string may hold what would open a command or start a comment.
set_target_properties(pellwick_page PROPERTIES LABELS "(#")
# The control (pellwick_control) embeds it.
target_link_libraries(pellwick_page PUBLIC pellwick_framework  # not $<TARGET_OBJECTS:pellwick_control>
                      $<$<CONFIG:Release>:pellwick_framework>)
EOF
printf '#include <ocidl.h>\n#include "page/page_window.h"\nIOleClientSite* site;\n' >control/activity_ctrl.h
printf '#include "activity_ctrl.h"\n' >control/activity_ctrl.cpp
cat >control/CMakeLists.txt <<'EOF'
add_library(pellwick_control STATIC activity_ctrl.cpp ${PELLWICK_ROOT}/page/page_window.h
            $<TARGET_OBJECTS:pellwick_resources>)
target_link_libraries(pellwick_control PUBLIC pellwick_page)
EOF
printf '#include "control/activity_ctrl.h"\n' >server/module.cpp
cat >server/CMakeLists.txt <<'EOF'
add_library(pellwick_server STATIC module.cpp)
target_link_libraries(pellwick_server PUBLIC pellwick_control)
EOF
cd - >/dev/null || exit 1

check_tree() {  # folder, expected status, expected lines...
  local tree=$1 expected=$2
  shift 2
  local status=0 output line
  output=$("$check" "$tree" 2>&1) || status=$?
  local ok=1
  [ "$status" -eq "$expected" ] || ok=0
  for line in "$@"; do grep -qxF -- "$line" <<<"$output" || ok=0; done
  if [ "$ok" -eq 1 ]; then passed=$((passed + 1)); else
    failures=$((failures + 1))
    echo "FAILED: $case_name: wanted status $expected and:"; printf '    %s\n' "$@"
    echo "  check-layers exited $status and said:"; sed 's/^/    /' <<<"$output"
  fi
}
# reach NAME FILE LINE MESSAGE: a copy of the clean tree with LINE added to
# FILE fails with "FILE:N: MESSAGE", N being the added line's number.
reach() {
  case_name=$1
  local tree=$work/case$((passed + failures)) file=$2
  cp -r "$clean" "$tree"
  printf '%s\n' "$3" >>"$tree/$file"
  check_tree "$tree" 1 "$file:$(wc -l <"$tree/$file"): $4" "check-layers: 1 problem(s)"
}

case_name="clean tree"
check_tree "$clean" 0 "check-layers: 0 problem(s)"

reach "quoted include from above" control/activity_ctrl.cpp '#include "server/module.h"' \
  "includes server/module.h from above control/"
reach "angle-bracket include from above" framework/text.cpp '#include <page/page_window.h>' \
  "includes page/page_window.h from above framework/"
reach "relative include from above" page/page_window.cpp '#include "../control/activity_ctrl.h"' \
  "includes ../control/activity_ctrl.h (control/activity_ctrl.h) from above page/"
reach "relative include out of the repository" page/page_window.cpp '#  include "../../x.h"' \
  "includes ../../x.h from outside the repository"

reach "ole2.h in the page" page/page_window.h '#include <ole2.h>' \
  "the page includes OLE container header ole2.h"
reach "exdisp.h in the page" page/page_window.cpp '#include <exdisp.h>' \
  "the page includes OLE container header exdisp.h"
reach "container interface in page code" page/page_window.h 'void Attach(IOleInPlaceFrame* frame);' \
  "the page names OLE container interface IOleInPlaceFrame"
reach "container interface's IID in page code" page/page_window.cpp 'REFIID kSite = IID_IOleClientSite;' \
  "the page names OLE container interface IID_IOleClientSite"

reach "source from above by the root" page/CMakeLists.txt \
  'target_sources(pellwick_page PRIVATE ${PELLWICK_ROOT}/control/activity_ctrl.cpp)' \
  "pellwick_page lists control/activity_ctrl.cpp from above page/"
reach "source from above by a relative path" framework/CMakeLists.txt \
  'add_library(framework_extra OBJECT ../server/module.cpp)' \
  "framework_extra lists server/module.cpp from above framework/"
reach "objects from above" page/CMakeLists.txt \
  'add_library(page_extra OBJECT $<TARGET_OBJECTS:pellwick_control>)' \
  "add_library(page_extra ...) names pellwick_control from above in \$<TARGET_OBJECTS:pellwick_control>"
reach "library from above" control/CMakeLists.txt \
  'target_link_libraries(pellwick_control PRIVATE pellwick_server)' \
  "pellwick_control links pellwick_server from above"
reach "library from above in a generator expression" page/CMakeLists.txt \
  'target_link_libraries(pellwick_page PRIVATE $<$<CONFIG:Debug>:$<LINK_ONLY:pellwick_control>>)' \
  "pellwick_page links pellwick_control from above in \$<\$<CONFIG:Debug>:\$<LINK_ONLY:pellwick_control>>"
reach "the repository root as include folder" framework/CMakeLists.txt \
  'target_include_directories(pellwick_framework PUBLIC $<BUILD_INTERFACE:${PELLWICK_ROOT}>)' \
  "pellwick_framework includes from the repository root, above framework/"

echo "check_layers_test: $passed passed, $failures failed"
[ "$failures" -eq 0 ]
