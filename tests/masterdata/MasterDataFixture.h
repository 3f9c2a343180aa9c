#pragma once

#include "support/ProgramFixture.h"

// Drives a master-data window as a user does: typing into the floating editors, keys, mouse presses on cells.
using MasterDataFixture = ProgramFixture;
