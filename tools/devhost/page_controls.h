#pragma once
// The page's controls that the tour works, by the dialog IDs a window
// inspector shows. The host interface names none of them, so the tour keeps
// its own; a control the page renumbered is one the tour cannot find.
enum PageControl {
  kChangeDataBaseButton = 202,
  kRecordsList = 203,
  kViewRecordButton = 204,
  kRunQueryButton = 205,
  kQueriesList = 207,
  kGoButton = 208,
  kRemoveRecordsButton = 211,
  kRemoveQueriesButton = 212,
  kRecordTypesBox = 1277,
};
