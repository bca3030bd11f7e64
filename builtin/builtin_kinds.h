#pragma once
// The plug-in and source kinds the program carries itself, registered at
// start-up before the kinds of the plug-in libraries.
#include <span>

#include "lv/lorvane_interface.h"
#include "lv/plug_desc.h"
#include "lv/source_desc.h"

namespace lv {
class PlugRegistry;
}

namespace builtin {

// One row of the built-in kinds' table: exactly one of the two is set. The
// functions make the descriptor on their first call (a static object that
// lives until exit).
struct BuiltinKind {
  lv::PlugDesc* (*plugKind)() = nullptr;
  lv::SourceDesc* (*sourceKind)() = nullptr;
};

// The rows in registration order.
std::span<const BuiltinKind> BuiltinKinds();

// The module handle the built-in kinds are registered with: the program's
// own resource table.
lv::ModuleHandle ProgramModule();

// Registers every row of the table, in order.
void RegisterBuiltinKinds(lv::PlugRegistry& registry);

}  // namespace builtin
