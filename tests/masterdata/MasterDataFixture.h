#pragma once

#include "platform/dialogs/MsgBox.h"
#include "shell/Progress.h"
#include "support/ProgramFixture.h"

#include <QHeaderView>

// Drives a master-data window as a user does: typing into the floating editors, keys, mouse presses on cells.
using MasterDataFixture = ProgramFixture;
