// The tintvale program; its body is shared with the Python package's `tintvale` command.
#include "tool_commands.h"

int main(int argc, char** argv) { return tool::Main(argc, argv); }
