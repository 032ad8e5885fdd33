// zonara: drives the Zonara effect module through the simulated host from
// the command line (see tools/commands/run_tool.cpp).
#include "tools/commands/run_tool.h"

int main(int argc, char **argv) { return zonara_tool::RunTool(argc, argv); }
