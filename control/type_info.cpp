#include "control/control_ids.h"

#include "include/PellwickHost.h"

TypeInfoCache g_activity_ctrl_dispatch_info(kPellwickLibId, kPellwickLibMajor, kPellwickLibMinor,
                                            IID_IHvActivityCtrl, ThisModule,
                                            kPellwickLibLcid);
TypeInfoCache g_activity_ctrl_class_info(kPellwickLibId, kPellwickLibMajor, kPellwickLibMinor,
                                         CLSID_ActivityCtrl, ThisModule, kPellwickLibLcid);
