#pragma once
// The commands of the main dialog, toolkit-free: the desktop program and the
// console front end both drive these, and neither re-implements a sequence.

#include "app/command_sequence.hpp"
#include "app/copy_command.hpp"
#include "app/download_command.hpp"
#include "app/flash_commands.hpp"
#include "app/full_operation.hpp"
#include "app/selection_commands.hpp"
