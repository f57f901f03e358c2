// The dialog that asks for the days, the register's unique number and the read mode.
#pragma once

#include "plugin/HostApi.h"

namespace tarvel {

const DialogTemplate* importDialogTemplate();

}  // namespace tarvel
